#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>

#include "AppErrors.h"
#include "CPort.h"
#include "EComPort.h"
#include "PortErrorReport.h"
#include "support/PtyPair.h"
#include "support/TestEnv.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// What a shown error box held.
struct ShownBox {
  bool shown = false;
  QString title, text, detail;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs report, which may open the error box modally; reads the box as soon as
// it is up and closes it. Gives up on a box after 10 s.
ShownBox CaptureBox(const std::function<void()>& report) {
  ShownBox seen;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = {true, box->windowTitle(), box->text(), box->informativeText(), box->icon()};
    box->accept();
  });
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, [] {
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  poll.start();
  giveUp.start(10000);
  report();
  return seen;
}

// Leaves the process-wide report as it found it.
class ErrorDetailTest : public ::testing::Test {
 protected:
  qv::ErrorPresenter presenter = qv::SetErrorPresenter({});
  qv::ErrorDetailSource source = qv::SetErrorDetailSource({});
  ~ErrorDetailTest() override {
    qv::SetErrorPresenter(presenter);
    qv::SetErrorDetailSource(source);
  }
};

TEST_F(ErrorDetailTest, BoxShowsTextAndDetailAsWritten) {
  QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
  auto box = qv::MakeErrorBox(QStringLiteral("Unable to open com port (win error code: 13)"),
                              QStringLiteral("a <b>line</b>\n    sudo usermod -aG dialout $USER"));
  EXPECT_EQ(box->icon(), QMessageBox::Critical);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Quorvel"));
  EXPECT_EQ(box->text(), QStringLiteral("Unable to open com port (win error code: 13)"));
  EXPECT_EQ(box->informativeText(), QStringLiteral("a <b>line</b>\n    sudo usermod -aG dialout $USER"));
  EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
  // Markup in a message or its advice is shown, not interpreted.
  for (QLabel* l : box->findChildren<QLabel*>()) {
    if (!l->text().isEmpty()) {
      EXPECT_EQ(l->textFormat(), Qt::PlainText) << l->text().toStdString();
    }
  }

  EXPECT_EQ(qv::MakeErrorBox(QStringLiteral("x"), QString())->informativeText(), QString());
}

TEST_F(ErrorDetailTest, DetailComesFromTheSourceAndNeverFails) {
  const std::runtime_error error("broken");
  EXPECT_EQ(qv::ErrorDetail(error), QString());

  const std::exception* asked = nullptr;
  qv::SetErrorDetailSource([&asked](const std::exception& e) {
    asked = &e;
    return QStringLiteral("more");
  });
  EXPECT_EQ(qv::ErrorDetail(error), QStringLiteral("more"));
  EXPECT_EQ(asked, &error);

  auto previous = qv::SetErrorDetailSource([](const std::exception&) -> QString { throw std::logic_error("no"); });
  ASSERT_TRUE(previous);
  EXPECT_EQ(previous(error), QStringLiteral("more"));
  EXPECT_EQ(qv::ErrorDetail(error), QString());
  // ... and the error itself is still reported.
  const ShownBox box = CaptureBox([&] { qv::ReportError(error); });
  EXPECT_TRUE(box.shown);
  EXPECT_EQ(box.text, QStringLiteral("broken"));
  EXPECT_EQ(box.detail, QString());
}

TEST_F(ErrorDetailTest, ReportShowsTheDetailUnderTheUnchangedMessage) {
  qv::SetErrorDetailSource([](const std::exception&) { return QStringLiteral("what to do"); });
  const ShownBox box = CaptureBox([] { qv::ReportError(EComPort(1, 2)); });
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.icon, QMessageBox::Critical);
  EXPECT_EQ(box.text, QStringLiteral("Unable to open com port (win error code: 2)"));
  EXPECT_EQ(box.detail, QStringLiteral("what to do"));

  // A presenter (as the tests of the windows use) gets the message alone.
  QStringList texts;
  qv::SetErrorPresenter([&texts](const QString& t) { texts << t; });
  EXPECT_FALSE(CaptureBox([] { qv::ReportError(EComPort(1, 2)); }).shown);
  EXPECT_EQ(texts, QStringList{QStringLiteral("Unable to open com port (win error code: 2)")});
}

TEST_F(ErrorDetailTest, PortErrorsGetTheAdviceForTheirPort) {
  qvtest::ScratchDir dir;
  TComPort port(nullptr);
  const std::string missing = (dir / "ttyUSB5").string();
  port.SetPort(missing);

  EXPECT_EQ(qv::PortErrorReportDetail(std::runtime_error("x"), &port), QString());
  EXPECT_EQ(qv::PortErrorReportDetail(EComPort(1, ENOENT), nullptr), QString());
  EXPECT_EQ(qv::PortErrorReportDetail(EComPort(14), &port), QString());
  const QString detail = qv::PortErrorReportDetail(EComPort(1, ENOENT), &port);
  EXPECT_THAT(detail.toStdString(), StartsWith(missing + ": " + std::strerror(ENOENT) + ".\n"));
  EXPECT_THAT(detail.toStdString(), HasSubstr("not plugged in"));
}

TEST_F(ErrorDetailTest, BusyPortOpenedTwiceNamesThisProgram) {
  qvtest::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  TComPort first(nullptr);
  first.SetPort(pty.slave());
  first.Open();

  auto second = std::make_unique<TComPort>(nullptr);
  second->SetPort(pty.slave());
  qv::InstallPortErrorDetail(*second);
  ShownBox box;
  try {
    second->Open();
    ADD_FAILURE() << "a port held by another opened twice";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.Code(), 1);
    EXPECT_EQ(e.WinCode(), EBUSY);
    box = CaptureBox([&e] { qv::ReportError(e); });
  }
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.text.toStdString(), "Unable to open com port (win error code: " + std::to_string(EBUSY) + ")");
  const std::string comm = [] {
    std::string s = qvtest::ReadFile("/proc/self/comm");
    return s.substr(0, s.find('\n'));
  }();
  EXPECT_THAT(box.detail.toStdString(), StartsWith(pty.slave() + ": " + std::strerror(EBUSY) + ".\n"));
  EXPECT_THAT(box.detail.toStdString(),
              HasSubstr("Another program has the port open: " + comm + " (process " + std::to_string(getpid()) + ")"));

  // Once the port is gone, its errors get no advice rather than a stale one.
  second.reset();
  EXPECT_EQ(qv::ErrorDetail(EComPort(1, EBUSY)), QString());
  first.Close();
}

}  // namespace
