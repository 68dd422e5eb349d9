#pragma once
// Containers of the main window: the client area, which shows the picture the
// last redraw tick left and keeps a panel aligned to its top, and a raised
// panel whose children can be anchored to its right edge.
#include <QFrame>
#include <QImage>
#include <QWidget>
#include <vector>

namespace qv {

class TPanel : public QFrame {
 public:
  explicit TPanel(QWidget* parent = nullptr);

  // Keeps child's left edge rightGap pixels left of the panel's right edge.
  void AnchorRight(QWidget* child, int rightGap);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Anchor {
    QWidget* child;
    int rightGap;
  };
  std::vector<Anchor> anchors_;
};

class TClientArea : public QWidget {
 public:
  explicit TClientArea(QWidget* parent = nullptr);

  // The panel stretched over the full width at the top.
  void SetTopPanel(QWidget* panel, int height);

  // The picture the displays draw into; always the size of this widget. When
  // the widget grows, the new parts show the plain background.
  [[nodiscard]] QImage& Picture();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitPicture();

  QWidget* top_panel_ = nullptr;
  int top_height_ = 0;
  QImage picture_;
};

}  // namespace qv
