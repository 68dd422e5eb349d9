// The workshop view's guidance tone and engine guard with stand-ins: the
// switch and its key, volume and cylinder kept in the store, the shown
// difference handed to the sound, "no sound output", and the guard's running
// time, notice and drift from a session fed by hand on a fake clock.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cmath>
#include <memory>
#include <vector>

#include "AccessibleParts.h"
#include "EngineGuard.h"
#include "FakeSource.h"
#include "GuardPanel.h"
#include "Measurement.h"
#include "RenderTestSupport.h"
#include "Session.h"
#include "TWorkshopView.h"
#include "ToneControls.h"
#include "ToneSound.h"
#include "support/QtWait.h"

namespace {

using namespace qv::workshop;
using qv::tone::GuidanceInput;
using qv::tone::kFurthestOff;

class MemoryStore : public ViewSettingsStore {
 public:
  ViewSettings Load(std::string& problem) override {
    problem.clear();
    return stored;
  }
  std::string Save(const ViewSettings& s) override {
    ++saves;
    stored = s;
    return {};
  }
  ViewSettings stored;
  int saves = 0;
};

class FakeSound : public ToneSound {
 public:
  void SetOn(bool on) override {
    switches.push_back(on);
    playing = on;
  }
  void SetInput(const GuidanceInput& in) override {
    if (playing) heard.push_back(in);
    last = in;
  }
  void SetVolume(double v) override { volume = v; }
  bool Unavailable() const override { return unavailable; }
  void Report(bool u) {
    unavailable = u;
    if (OnChanged) OnChanged();
  }
  std::vector<bool> switches;
  std::vector<GuidanceInput> heard;  // inputs handed over while playing
  GuidanceInput last;
  bool playing = false;
  bool unavailable = false;
  double volume = -1;
};

QString PartValue(const QWidget& view, const QString& name) {
  for (const AccessiblePart* p : view.findChildren<AccessiblePart*>())
    if (p->accessibleName() == name) return p->Value();
  ADD_FAILURE() << "no accessible part " << name.toStdString();
  return {};
}

class ToneView : public ::testing::Test {
 protected:
  void Make() {
    view = std::make_unique<TWorkshopView>(source, WorkshopInputs{}, &store);
    view->SetLanguage(ViewLanguage::For(QLocale(QLocale::German)));
    view->SetToneSound(&sound);
    view->show();
    view->activateWindow();
    ASSERT_TRUE(qvtest::WaitFor([&] { return view->isActiveWindow(); }));
  }
  void TearDown() override { view.reset(); }
  QAction* Act(const char* name) { return view->findChild<QAction*>(QString::fromLatin1(name)); }
  QAction* Item(const char* menu, const QString& text) {
    for (QAction* a : view->findChild<QMenu*>(QString::fromLatin1(menu))->actions())
      if (a->text() == text) return a;
    ADD_FAILURE() << "no " << text.toStdString() << " in " << menu;
    return nullptr;
  }
  QString State() { return view->findChild<QLabel*>("ToneState")->text(); }
  bool StateShown() { return view->findChild<QLabel*>("ToneState")->isVisibleTo(view.get()); }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(view->centralWidget(), static_cast<Qt::Key>(key), mods);
  }
  void Show(const Reading& r) {
    source.Set(r);
    view->Tick();
  }

  wstest::FakeSource source;
  MemoryStore store;
  FakeSound sound;
  std::unique_ptr<TWorkshopView> view;
};

TEST_F(ToneView, OffByDefaultTheSwitchAndKeyTStartAndStopItAndTheStoreKeepsIt) {
  Make();
  QAction* tone = Act("Tone");
  ASSERT_NE(tone, nullptr);
  EXPECT_TRUE(view->Controls()->actions().contains(tone));
  EXPECT_EQ(tone->text(), "Ton");
  EXPECT_FALSE(tone->isChecked());
  EXPECT_TRUE(sound.switches.empty());  // off: the sound is never started
  EXPECT_FALSE(StateShown());
  EXPECT_EQ(PartValue(*view, QString::fromUtf8("Führton")), "aus");

  tone->trigger();
  EXPECT_EQ(sound.switches, std::vector<bool>{true});
  EXPECT_TRUE(store.stored.tone.on);
  EXPECT_TRUE(StateShown());
  EXPECT_EQ(State(), QString::fromUtf8("Ton folgt größte Abweichung"));
  EXPECT_EQ(PartValue(*view, QString::fromUtf8("Führton")), QString::fromUtf8("an, folgt größte Abweichung"));

  Key(Qt::Key_T);
  EXPECT_FALSE(tone->isChecked());
  EXPECT_EQ(sound.switches, (std::vector<bool>{true, false}));
  EXPECT_FALSE(store.stored.tone.on);
  Key(Qt::Key_T);
  EXPECT_TRUE(tone->isChecked());
  EXPECT_TRUE(sound.playing);

  // No tone from a hidden window; it comes back with the window.
  view->hide();
  EXPECT_FALSE(sound.playing);
  EXPECT_TRUE(store.stored.tone.on);
  view->show();
  EXPECT_TRUE(sound.playing);

  // Both keys are in the list of keys.
  const std::vector<ShortcutLine> lines = view->Shortcuts();
  auto listed = [&](const char* k, const char* what) {
    return std::find(lines.begin(), lines.end(), ShortcutLine{QString::fromUtf8(k), QString::fromUtf8(what)}) !=
           lines.end();
  };
  EXPECT_TRUE(listed("T", "Ton"));
  EXPECT_TRUE(listed("Umschalt+T", "Ton folgt: nächster Zylinder"));
}

TEST_F(ToneView, VolumeAndCylinderAreChosenInTheMenuKeptAndRestored) {
  Make();
  Item("ToneVolume", QStringLiteral("25 %"))->trigger();
  EXPECT_EQ(store.stored.tone.volumePercent, 25);
  EXPECT_DOUBLE_EQ(sound.volume, 0.25);
  Item("ToneCylinder", QStringLiteral("Zylinder 3"))->trigger();
  EXPECT_EQ(store.stored.tone.cylinder, 2);
  // Shift+T moves on: 4, then the one furthest off, then 1.
  Key(Qt::Key_T, Qt::ShiftModifier);
  EXPECT_EQ(store.stored.tone.cylinder, 3);
  Key(Qt::Key_T, Qt::ShiftModifier);
  EXPECT_EQ(store.stored.tone.cylinder, kFurthestOff);
  Key(Qt::Key_T, Qt::ShiftModifier);
  EXPECT_EQ(store.stored.tone.cylinder, 0);
  EXPECT_TRUE(sound.switches.empty());  // choosing does not switch the tone on

  // A new view takes what was kept: on, the volume, the cylinder.
  store.stored.tone = {true, 75, 1};
  view.reset();
  sound.switches.clear();
  Make();
  EXPECT_TRUE(Act("Tone")->isChecked());
  EXPECT_TRUE(Item("ToneVolume", QStringLiteral("75 %"))->isChecked());
  EXPECT_FALSE(Item("ToneVolume", QStringLiteral("50 %"))->isChecked());
  EXPECT_TRUE(Item("ToneCylinder", QStringLiteral("Zylinder 2"))->isChecked());
  EXPECT_EQ(sound.switches, std::vector<bool>{true});
  EXPECT_DOUBLE_EQ(sound.volume, 0.75);
  EXPECT_EQ(State(), "Ton folgt Zylinder 2");
  EXPECT_EQ(PartValue(*view, QString::fromUtf8("Führton")), "an, folgt Zylinder 2");
}

TEST_F(ToneView, TheSoundGetsTheFollowedDifferenceAsShownAfterEachChange) {
  Make();
  Act("Tone")->trigger();
  Show(wstest::Live(2, -25.4, 4, 0));
  ASSERT_FALSE(sound.heard.empty());
  GuidanceInput in = sound.heard.back();
  EXPECT_DOUBLE_EQ(in.difference, -25);  // rounded as the number on screen
  EXPECT_DOUBLE_EQ(in.tolerance, 10);
  EXPECT_TRUE(in.live);
  EXPECT_FALSE(in.inSync);
  // A tick that shows nothing new hands nothing new over.
  const std::size_t before = sound.heard.size();
  view->Tick();
  EXPECT_EQ(sound.heard.size(), before);

  // The chosen cylinder instead of the one furthest off, at once.
  Item("ToneCylinder", QStringLiteral("Zylinder 3"))->trigger();
  EXPECT_DOUBLE_EQ(sound.heard.back().difference, 4);
  Item("ToneCylinder", QString::fromUtf8("größte Abweichung"))->trigger();
  EXPECT_DOUBLE_EQ(sound.heard.back().difference, -25);

  // Inside the band and SYNCHRON: the verdict goes over as shown.
  Show(wstest::Live(1, -2, 3, 0));
  in = sound.heard.back();
  EXPECT_TRUE(in.inSync);
  EXPECT_DOUBLE_EQ(in.difference, 3);
  // No scan: nothing to follow, silence.
  Show(Reading{});
  EXPECT_FALSE(sound.heard.back().live);
}

TEST_F(ToneView, WithoutSoundOutputTheViewSaysSoInBothLanguages) {
  Make();
  Act("Tone")->trigger();
  sound.Report(true);
  EXPECT_EQ(State(), QString::fromUtf8("Keine Tonausgabe verfügbar"));
  EXPECT_TRUE(PartValue(*view, QString::fromUtf8("Führton")).endsWith(QString::fromUtf8("Keine Tonausgabe verfügbar")));
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  EXPECT_EQ(State(), "No sound output available");
  EXPECT_EQ(Act("Tone")->text(), "Tone");
  EXPECT_EQ(PartValue(*view, "Guidance tone"), "on, follows furthest off, No sound output available");
  // Everything else goes on: the readings are shown.
  Show(wstest::Live(2, -25, 4, 0));
  EXPECT_EQ(view->Shown().channels[1].difference, -25);
  sound.Report(false);
  EXPECT_EQ(State(), "Tone follows furthest off");
  // Switched off, nothing is said of the output.
  Act("Tone")->trigger();
  sound.Report(true);
  EXPECT_FALSE(StateShown());
}

// ---- the engine guard -----------------------------------------------------------

qv::FrameReport MaximaReport() {
  qv::FrameReport r;
  r.maxima = qv::RecordOutcome::kDecoded;
  return r;
}

class GuardView : public ToneView {
 protected:
  void SetUp() override {
    session.Subscribe(guard);
    Make();
    view->SetEngineGuard(&guard);
  }
  void TearDown() override {
    view.reset();
    session.Unsubscribe(guard);
  }
  // Frames every 0.1 s for `seconds`, the mean D(c) from `mean` of the time
  // since this call began.
  template <typename F>
  void Run(double seconds, F mean) {
    const double start = now;
    const long n = std::lround(seconds / 0.1);
    for (long i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) * 0.1;
      now = start + t;
      for (std::size_t c = 0; c < 4; ++c)
        state.MAXIMA[c] = static_cast<std::int32_t>(std::lround(100 - mean(t) + (c % 2 ? 2 : -2)));
      session.FrameDecoded(state, MaximaReport(), ++count);
    }
    now = start + seconds;
    view->Tick();
  }
  void Idle(double seconds) {
    Run(seconds, [](double) { return -250.0; });
  }
  QString Running() { return view->findChild<QLabel*>("EngineRunning")->text(); }
  QString Drift() { return view->findChild<QLabel*>("IdleDrift")->text(); }
  bool NoticeShown() { return view->findChild<QToolBar*>("EngineNoticeBar")->isVisibleTo(view.get()); }
  QString Notice() { return view->findChild<QLabel*>("EngineNotice")->text(); }

  double now = 1000;
  qv::session::Session session{[this] { return now; }};
  TMeasurement state;
  qv::guard::EngineGuard guard;
  std::uint64_t count = 0;
};

TEST_F(GuardView, RunningTimeThenTheNoticeAfterTenMinutesWhichCanBeDismissed) {
  EXPECT_FALSE(view->findChild<QLabel*>("EngineRunning")->isVisibleTo(view.get()));  // no scan
  session.ScanStarted("/dev/ttyUSB0");
  Idle(754.1);
  EXPECT_EQ(Running(), QString::fromUtf8("Motor läuft: 12:34"));
  EXPECT_EQ(PartValue(*view, "Motorlaufzeit"), QString::fromUtf8("Motor läuft: 12:34"));
  ASSERT_TRUE(NoticeShown());
  EXPECT_EQ(Notice(), QString::fromUtf8("Der Motor läuft seit 12 Minuten im Leerlauf. Temperatur und Lüfter "
                                        "prüfen oder eine Pause einlegen."));
  EXPECT_EQ(PartValue(*view, "Motorhinweis"), Notice());
  EXPECT_EQ(Drift(), "");  // a steady idle does not drift

  // The notice blocks nothing: the readings and the keys go on.
  Key(Qt::Key_H);
  EXPECT_TRUE(view->Held());
  Key(Qt::Key_H);

  view->findChild<QToolButton*>("DismissNotice")->click();
  EXPECT_FALSE(NoticeShown());
  EXPECT_EQ(PartValue(*view, "Motorhinweis"), "");
  Idle(599);
  EXPECT_FALSE(NoticeShown());
  Idle(2);
  EXPECT_TRUE(NoticeShown());  // another ten minutes of running

  // In English, the same.
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  EXPECT_EQ(Running(), "Engine running: 22:35");
  EXPECT_EQ(Notice(), "The engine has idled for 22 minutes. Check its temperature and fan, or pause.");
  EXPECT_EQ(view->findChild<QToolButton*>("DismissNotice")->text(), "Dismiss");
  EXPECT_EQ(PartValue(*view, "Engine notice"), Notice());

  // A new scan starts from zero.
  session.ScanStopped();
  view->Tick();
  EXPECT_FALSE(NoticeShown());
  EXPECT_FALSE(view->findChild<QLabel*>("EngineRunning")->isVisibleTo(view.get()));
  session.ScanStarted("/dev/ttyUSB0");
  Idle(5);
  EXPECT_EQ(Running(), "Engine running: 0:04");
}

TEST_F(GuardView, TheIdleDriftShowsFromItsThresholdInTheViewsUnitAndBothLanguages) {
  session.ScanStarted("/dev/ttyUSB0");
  Idle(60);
  // Deepening by 8 mBar over three minutes.
  Run(180, [](double t) { return -250.0 - 8.0 * t / 180.0; });
  EXPECT_EQ(Drift(), QString::fromUtf8("Leerlauf driftet: \u22128 mBar in 3 min"));
  EXPECT_EQ(PartValue(*view, "Leerlaufdrift"), Drift());
  EXPECT_FALSE(NoticeShown());  // four minutes are no ten
  // In the view's unit.
  ViewChoices c = view->Choices();
  c.unit = Unit::KiloPascal;
  view->SetChoices(c);
  view->Tick();
  EXPECT_EQ(Drift(), QString::fromUtf8("Leerlauf driftet: \u22120,8 kPa in 3 min"));
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  EXPECT_EQ(Drift(), QString::fromUtf8("Idle drifting: \u22120.8 kPa in 3 min"));
  EXPECT_EQ(PartValue(*view, "Idle drift"), Drift());
  // Steady again for long enough: the drift line goes.
  Idle(180);
  EXPECT_EQ(Drift(), "");
  EXPECT_FALSE(view->findChild<QLabel*>("IdleDrift")->isVisibleTo(view.get()));
}

TEST_F(GuardView, TheNoticeTimeComesFromTheStoreAndGoesToTheGuard) {
  view.reset();
  store.stored.guard.noticeAfterSeconds = 120;
  Make();
  view->SetEngineGuard(&guard);
  EXPECT_DOUBLE_EQ(guard.Settings().noticeAfterSeconds, 120);
  session.ScanStarted("/dev/ttyUSB0");
  Idle(125);
  EXPECT_TRUE(NoticeShown());
  EXPECT_EQ(Notice(), QString::fromUtf8("Der Motor läuft seit 2 Minuten im Leerlauf. Temperatur und Lüfter "
                                        "prüfen oder eine Pause einlegen."));
  // The view's own changes keep it.
  view->SetTheme(ThemeKind::Night);
  EXPECT_DOUBLE_EQ(store.stored.guard.noticeAfterSeconds, 120);
  // A time not in the menu checks none of its choices.
  for (const QAction* a : view->findChild<QMenu*>("EngineNoticeAfter")->actions()) EXPECT_FALSE(a->isChecked());

  // Chosen in the menu "Weitere": kept, and the guard goes by it at once.
  Item("EngineNoticeAfter", QStringLiteral("5 min"))->trigger();
  EXPECT_DOUBLE_EQ(store.stored.guard.noticeAfterSeconds, 300);
  EXPECT_DOUBLE_EQ(guard.Settings().noticeAfterSeconds, 300);
  view->Tick();
  EXPECT_FALSE(NoticeShown());  // 125 s of running are not five minutes
  Idle(180);
  EXPECT_TRUE(NoticeShown());
  EXPECT_TRUE(Item("EngineNoticeAfter", QStringLiteral("5 min"))->isChecked());
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  EXPECT_EQ(view->findChild<QMenu*>("EngineNoticeAfter")->title(), "Engine notice after");
}

}  // namespace
