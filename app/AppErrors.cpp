#include "AppErrors.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

namespace qv {
namespace {

void ShowMessageBox(const QString& text) {
  // Parented to the active window so the box stays above it; a null parent
  // still works when no window is up (e.g. during start-up).
  QMessageBox::critical(QApplication::activeWindow(), QCoreApplication::applicationName(), text);
}

ErrorPresenter& Presenter() {
  static ErrorPresenter presenter;
  return presenter;
}

}  // namespace

ErrorPresenter SetErrorPresenter(ErrorPresenter presenter) { return std::exchange(Presenter(), std::move(presenter)); }

QString ErrorText(const std::exception& e) { return QString::fromUtf8(e.what()); }

void ReportError(const QString& text) {
  if (const auto& p = Presenter()) {
    p(text);
    return;
  }
  // The box runs a nested event loop in which the timers keep ticking; a
  // handler that fails on every tick would otherwise pile up one box per
  // tick. While a box is open, the same text is not shown a second time.
  static QStringList open;
  if (open.contains(text)) return;
  open.append(text);
  ShowMessageBox(text);
  open.removeOne(text);
}

void ReportError(const std::exception& e) { ReportError(ErrorText(e)); }

void ReportError(const std::exception_ptr& error) {
  if (!error) return;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    ReportError(e);
  } catch (...) {
    ReportError(QStringLiteral("Unknown error"));
  }
}

}  // namespace qv
