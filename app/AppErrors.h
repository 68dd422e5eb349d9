#pragma once
// The application's one error report. Every handler of the main window runs
// through Guarded(): an error escaping it is shown to the user and the event
// loop goes on, so no single failed operation ends the program.
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

class QMessageBox;
class QWidget;

namespace qv {

// Shows one error text to the user. The default opens a modal critical
// message box titled with the application name; tests install their own.
using ErrorPresenter = std::function<void(const QString& text)>;

// Replaces the presenter and returns the previous one. An empty function
// restores the message box.
ErrorPresenter SetErrorPresenter(ErrorPresenter presenter);

// The text of an error as the user sees it (the message, taken as UTF-8).
[[nodiscard]] QString ErrorText(const std::exception& e);

// Supplies what is shown under an error's message, in smaller print: what the
// system says about it and what the user can do. Empty for nothing. The
// default has nothing to add; the program puts in the port's advice.
using ErrorDetailSource = std::function<QString(const std::exception& e)>;

// Replaces the detail source and returns the previous one.
ErrorDetailSource SetErrorDetailSource(ErrorDetailSource source);

// The detail for an error; empty without a source, or when the source fails.
[[nodiscard]] QString ErrorDetail(const std::exception& e);

// The message box of the error report: critical, titled with the application
// name, the text as it is and the detail (when there is one) below it.
[[nodiscard]] std::unique_ptr<QMessageBox> MakeErrorBox(const QString& text, const QString& detail,
                                                        QWidget* parent = nullptr);

void ReportError(const std::exception& e);
void ReportError(const QString& text);
// With a presenter installed, only the text reaches it.
void ReportError(const QString& text, const QString& detail);

// Reports the error held by `error` (anything thrown, std::exception or not).
void ReportError(const std::exception_ptr& error);

// Runs fn; whatever it throws is reported and swallowed. Returns whether fn
// ran to its end.
template <typename Fn>
bool Guarded(Fn&& fn) {
  try {
    std::forward<Fn>(fn)();
    return true;
  } catch (...) {
    ReportError(std::current_exception());
    return false;
  }
}

}  // namespace qv
