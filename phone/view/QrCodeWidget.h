#pragma once
// A QR code drawn sharp: every module a whole number of device pixels, the
// light border (quiet zone) white in any theme, centred in the widget.
#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>

#include "PhoneQr.h"

namespace qv::phone {

class QrCodeWidget : public QWidget {
 public:
  explicit QrCodeWidget(QWidget* parent = nullptr);

  // The text to encode; "" shows nothing.
  void SetText(const QString& text);
  [[nodiscard]] const QString& Text() const { return text_; }
  [[nodiscard]] const std::optional<QrMatrix>& Matrix() const { return matrix_; }
  // The picture of the code for a square `side` device pixels wide: the
  // largest whole module that fits, white around it. Null without a code.
  [[nodiscard]] QImage Render(int side) const;
  // Device pixels per module at the widget's present size and pixel ratio.
  [[nodiscard]] int ModulePixels() const;

  [[nodiscard]] QSize sizeHint() const override { return {360, 360}; }
  [[nodiscard]] QSize minimumSizeHint() const override { return {240, 240}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  [[nodiscard]] int SidePixels() const;

  QString text_;
  std::optional<QrMatrix> matrix_;
};

}  // namespace qv::phone
