#pragma once
// The drawing area of the workshop view: shows the view's picture in one
// copy and asks for a fresh one when its size or pixel ratio changes.
#include <QWidget>

namespace qv::workshop {

class TWorkshopView;

class WorkshopCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit WorkshopCanvas(TWorkshopView& view);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TWorkshopView& view_;
};

}  // namespace qv::workshop
