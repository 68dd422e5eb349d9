#include "AppErrors.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>

namespace qv {
namespace {

void ShowMessageBox(const QString& text, const QString& detail) {
  // Parented to the active window so the box stays above it; a null parent
  // still works when no window is up (e.g. during start-up).
  auto box = MakeErrorBox(text, detail, QApplication::activeWindow());
  const QPointer<QMessageBox> alive(box.get());
  box->exec();
  // A parent window closed while the box was up has taken the box with it.
  if (!alive) (void)box.release();
}

// The application's one error report, process-wide on purpose: errors reach
// it from free functions, timer and signal handlers and Qt's event dispatch
// (ReportError(std::exception_ptr)), none of which has an owner to hand a
// presenter or a detail source through.
ErrorPresenter& Presenter() {
  static ErrorPresenter presenter;
  return presenter;
}

ErrorDetailSource& DetailSource() {
  static ErrorDetailSource source;
  return source;
}

}  // namespace

ErrorPresenter SetErrorPresenter(ErrorPresenter presenter) { return std::exchange(Presenter(), std::move(presenter)); }

ErrorDetailSource SetErrorDetailSource(ErrorDetailSource source) {
  return std::exchange(DetailSource(), std::move(source));
}

QString ErrorText(const std::exception& e) { return QString::fromUtf8(e.what()); }

QString ErrorDetail(const std::exception& e) {
  const ErrorDetailSource& source = DetailSource();
  if (!source) return {};
  // The detail only helps; its failure must not keep the error itself from
  // being shown.
  try {
    return source(e);
  } catch (...) {
    return {};
  }
}

std::unique_ptr<QMessageBox> MakeErrorBox(const QString& text, const QString& detail, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                                           QMessageBox::Ok, parent);
  // Messages and advice are shown as written, never read as markup.
  box->setTextFormat(Qt::PlainText);
  if (!detail.isEmpty()) {
    box->setInformativeText(detail);
    // The box guesses the detail's format on its own; its label is found by its text.
    for (QLabel* label : box->findChildren<QLabel*>())
      if (label->text() == detail) label->setTextFormat(Qt::PlainText);
  }
  return box;
}

void ReportError(const QString& text) { ReportError(text, QString()); }

void ReportError(const QString& text, const QString& detail) {
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
  ShowMessageBox(text, detail);
  open.removeOne(text);
}

void ReportError(const std::exception& e) { ReportError(ErrorText(e), ErrorDetail(e)); }

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
