#pragma once
// A filled rectangle with a one-pixel black outline whose fill colour can be
// changed: the indicator lamps of the top panel.
#include <QWidget>

#include "GraphSettings.h"

namespace qv {

class TShape : public QWidget {
 public:
  explicit TShape(QWidget* parent = nullptr);

  [[nodiscard]] TColor BrushColor() const { return brush_; }
  // Repaints only when the colour changes.
  void SetBrushColor(TColor colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TColor brush_ = clWhite;
};

}  // namespace qv
