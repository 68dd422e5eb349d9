// The pieces around the main window: error report, timers, lamps, artwork and
// the command line.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPalette>
#include <QSet>
#include <QTimer>

#include <stdexcept>

#include "AppErrors.h"
#include "Artwork.h"
#include "CommandLine.h"
#include "MainWindowTestSupport.h"
#include "Shape.h"
#include "Timer.h"
#include "support/TestEnv.h"

namespace {

using qvtest::CapturedErrors;
using qvtest::WaitFor;

TEST(AppErrors, GuardedReportsWhatEscapesAndCarriesOn) {
  CapturedErrors errors;
  EXPECT_TRUE(qv::Guarded([] {}));
  EXPECT_FALSE(qv::Guarded([] { throw std::runtime_error("Unable to open com port (win error code: 2)"); }));
  EXPECT_FALSE(qv::Guarded([] { throw 42; }));
  EXPECT_FALSE(qv::Guarded([] {
    throw std::runtime_error(
        "\xC3\x9C"
        "berdruck");
  }));
  ASSERT_EQ(errors.texts.size(), 3);
  EXPECT_EQ(errors.texts[0], "Unable to open com port (win error code: 2)");
  EXPECT_FALSE(errors.texts[1].isEmpty());
  EXPECT_EQ(errors.texts[2], QString::fromUtf8("\xC3\x9C"
                                               "berdruck"));
}

TEST(AppErrors, AnErrorRepeatedWhileItsBoxIsOpenDoesNotStackBoxes) {
  const qv::ErrorPresenter previous = qv::SetErrorPresenter({});
  QSet<QWidget*> boxes;
  bool repeated = false;
  // One timer reports the same error again from inside the open box's event
  // loop, as a failing timer handler would; another closes whatever box is up.
  QTimer repeat, closer;
  repeat.setInterval(5);
  closer.setInterval(50);
  QObject::connect(&repeat, &QTimer::timeout, [&] {
    if (!QApplication::activeModalWidget() || repeated) return;
    repeated = true;
    qv::ReportError(QStringLiteral("Unable to open com port (win error code: 2)"));
  });
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      boxes.insert(box);
      if (repeated) static_cast<QDialog*>(box)->done(0);
    }
  });
  repeat.start();
  closer.start();
  qv::ReportError(QStringLiteral("Unable to open com port (win error code: 2)"));
  qv::SetErrorPresenter(previous);
  EXPECT_TRUE(repeated);
  EXPECT_EQ(boxes.size(), 1);
}

TEST(Timer, EnablingARunningTimerKeepsItsSchedule) {
  qv::TTimer timer(10000);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(timer.Active());
  timer.SetEnabled(true);
  ASSERT_TRUE(timer.Active());
  // Let some time pass so a restart would push the deadline back out.
  QElapsedTimer t;
  t.start();
  while (timer.RemainingTime() >= 9950 && t.elapsed() < 10000) QApplication::processEvents();
  const int before = timer.RemainingTime();
  ASSERT_LT(before, 9950);
  timer.SetEnabled(true);
  EXPECT_LE(timer.RemainingTime(), before);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Active());
}

TEST(Timer, TicksWhileEnabledAndNotWithoutInterval) {
  qv::TTimer timer(5);
  int ticks = 0;
  timer.OnTimer = [&] {
    if (++ticks == 3) timer.SetEnabled(false);
  };
  timer.SetEnabled(true);
  EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }));
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(ticks, 3);

  timer.SetInterval(0);
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.Active());
  timer.SetInterval(-5);
  EXPECT_FALSE(timer.Active());
  timer.SetInterval(50);
  EXPECT_TRUE(timer.Active());
  EXPECT_EQ(timer.Interval(), 50);
}

TEST(Shape, PaintsItsBrushInsideABlackOutline) {
  qv::TShape led;
  led.resize(16, 11);
  led.SetBrushColor(clMaroon);
  EXPECT_EQ(led.BrushColor(), clMaroon);
  QImage img = led.grab().toImage();
  EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(img.pixelColor(15, 10), QColor(Qt::black));
  EXPECT_EQ(img.pixelColor(8, 5), QColor(0x80, 0, 0));
  led.SetBrushColor(clLime);
  img = led.grab().toImage();
  EXPECT_EQ(img.pixelColor(8, 5), QColor(0, 0xFF, 0));
}

TEST(Artwork, ExitGlyphIsAGreenSignOnBlackInAGreyFrame) {
  const QImage g = qv::ExitGlyph();
  ASSERT_EQ(g.size(), QSize(32, 32));
  int green = 0, black = 0;
  for (int y = 2; y < 30; ++y)
    for (int x = 2; x < 30; ++x) {
      const QColor c = g.pixelColor(x, y);
      if (c.green() > 150 && c.red() < 60 && c.blue() < 60) ++green;
      if (c == QColor(Qt::black)) ++black;
    }
  EXPECT_GT(green, 60);
  EXPECT_GT(black, 400);
  for (int i = 0; i < 32; ++i) {
    for (const QColor& c : {g.pixelColor(i, 0), g.pixelColor(0, i), g.pixelColor(i, 31), g.pixelColor(31, i)}) {
      EXPECT_EQ(c.red(), c.green());
      EXPECT_EQ(c.green(), c.blue());
      EXPECT_GE(c.red(), 64);
    }
  }
  // The arrow's tip points right: its rightmost green pixel lies on the
  // head's middle row, above the lettering.
  int tipX = -1, tipY = -1;
  for (int y = 2; y < 18; ++y)
    for (int x = 2; x < 30; ++x)
      if (g.pixelColor(x, y).green() > 150 && x > tipX) tipX = x, tipY = y;
  EXPECT_GT(tipX, 20);
  EXPECT_EQ(tipY, 10);
}

TEST(Artwork, IconIsABlueAndOliveGlobeOnTransparencyAtEverySize) {
  for (int size : {16, 32, 48, 64, 128, 256, 7}) {
    const QImage icon = qv::AppIconImage(size);
    ASSERT_EQ(icon.size(), QSize(size, size));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << size;
    EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0) << size;
    EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << size;
    if (size < 16) continue;
    int sea = 0, land = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const QColor c = icon.pixelColor(x, y);
        if (c.alpha() < 255) continue;
        if (c.blue() > c.red() + 60 && c.blue() > c.green()) ++sea;
        if (c.red() > 60 && c.green() > 60 && c.blue() < c.red() / 2 && std::abs(c.red() - c.green()) < 40) ++land;
      }
    EXPECT_GT(sea, size * size / 8) << size;
    EXPECT_GT(land, size * size / 20) << size;
  }
  EXPECT_THROW((void)qv::AppIconImage(0), std::invalid_argument);
}

TEST(Artwork, WritesEveryPackagedSizeAsPng) {
  qvtest::ScratchDir dir;
  const auto files = qv::WriteAppIconPngs(dir.path());
  ASSERT_EQ(files.size(), qv::AppIconSizes().size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    QImage back(QString::fromStdString(files[i].string()));
    EXPECT_EQ(back.width(), qv::AppIconSizes()[i]);
    EXPECT_TRUE(back.hasAlphaChannel());
  }
  // A regular file where the folder should be.
  qvtest::WriteFile(dir / "file", "x");
  EXPECT_THROW(qv::WriteAppIconPngs(dir / "file"), std::runtime_error);
}

TEST(CommandLine, ReadsTheProgramsOptions) {
  using A = qv::CommandLine::Action;
  EXPECT_EQ(qv::ParseCommandLine({"quorvel"}).action, A::Run);
  EXPECT_EQ(qv::ParseCommandLine({"quorvel", "--help"}).action, A::Help);
  EXPECT_EQ(qv::ParseCommandLine({"quorvel", "--version", "--bogus"}).action, A::Version);

  auto cl = qv::ParseCommandLine({"quorvel", "--port", "/dev/ttyUSB0"});
  EXPECT_EQ(cl.action, A::Run);
  EXPECT_EQ(cl.port, "/dev/ttyUSB0");
  cl = qv::ParseCommandLine({"quorvel", "--port=COM3"});
  EXPECT_EQ(cl.port, "COM3");
  EXPECT_EQ(qv::ParseCommandLine({"quorvel"}).port, std::nullopt);
  cl = qv::ParseCommandLine({"quorvel", "--record", "/tmp/rec", "--port=p"});
  EXPECT_EQ(cl.record, "/tmp/rec");
  EXPECT_EQ(cl.replay, std::nullopt);
  cl = qv::ParseCommandLine({"quorvel", "--replay=scan.qvrec"});
  EXPECT_EQ(cl.replay, "scan.qvrec");
  EXPECT_EQ(cl.record, std::nullopt);

  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"quorvel", "--bogus"},
                                             {"quorvel", "--port"},
                                             {"quorvel", "--port="},
                                             {"quorvel", "file.txt"},
                                             {"quorvel", "-platform"},
                                             {"quorvel", "--help=x"},
                                             {"quorvel", "--record"},
                                             {"quorvel", "--replay="},
                                             {"quorvel", "--record", "d", "--replay", "f"}}) {
    cl = qv::ParseCommandLine(bad);
    EXPECT_EQ(cl.action, A::Error) << bad.back();
    EXPECT_FALSE(cl.error.empty());
    EXPECT_EQ(cl.error.find('\n'), std::string::npos);
  }
}

TEST(CommandLine, HandsQtsOwnOptionsOn) {
  const auto cl =
      qv::ParseCommandLine({"quorvel", "-platform", "offscreen", "--port", "p", "-reverse", "--style=fusion"});
  EXPECT_EQ(cl.action, qv::CommandLine::Action::Run);
  EXPECT_EQ(cl.toolkitArgs,
            (std::vector<std::string>{"quorvel", "-platform", "offscreen", "-reverse", "--style=fusion"}));
  EXPECT_NE(qv::UsageText("quorvel").find("--port NAME"), std::string::npos);
}

}  // namespace
