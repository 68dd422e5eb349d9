// The workshop view's job controls with a stand-in owner: what each control
// calls, what the job's state offers and shows, the list of keys drawn over
// the window, and the tool bar at 1280 pixels in both languages.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "FakeSource.h"
#include "TWorkshopView.h"
#include "support/QtWait.h"

namespace {

using namespace qv::workshop;

class Job : public ::testing::Test {
 protected:
  void SetUp() override {
    view = std::make_unique<TWorkshopView>(source, WorkshopInputs{});
    view->SetLanguage(ViewLanguage::For(QLocale(QLocale::German)));
    view->show();
    view->activateWindow();
    ASSERT_TRUE(qvtest::WaitFor([&] { return view->isActiveWindow(); }));
  }
  // An owner that says yes to everything unless told otherwise.
  void Own() {
    state.port = QStringLiteral("/dev/ttyUSB0");
    auto hook = [this](const char* name, std::function<void(JobState&)> change) {
      return [this, name, change] {
        calls.emplace_back(name);
        if (refuse) return;
        change(state);
        view->SetJobState(state);
      };
    };
    JobActions a;
    a.startScan = hook("startScan", [](JobState& s) { s.scanning = true; });
    a.stopScan = hook("stopScan", [](JobState& s) { s.scanning = false; });
    a.startRecording = hook("startRecording", [](JobState& s) { s.recording = true; });
    a.stopRecording = hook("stopRecording", [](JobState& s) { s.recording = false; });
    a.openReplay = hook("openReplay", [](JobState& s) {
      s.scanning = false;
      s.replaying = true;
      s.startAllowed = false;
    });
    a.pauseReplay = hook("pauseReplay", [](JobState& s) { s.paused = !s.paused; });
    a.endReplay = hook("endReplay", [](JobState& s) {
      s.replaying = s.paused = false;
      s.startAllowed = true;
    });
    view->SetJobActions(std::move(a));
    view->SetJobState(state);
  }
  QAction* Act(const char* name) {
    auto* a = view->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
  }
  // Which of the job's controls can be used now, in tool bar order.
  std::string Offered() {
    std::string out;
    for (const char* n : {"StartScan", "StopScan", "Record", "Replay", "PauseReplay", "EndReplay"})
      if (Act(n)->isEnabled()) out += std::string(out.empty() ? "" : " ") + n;
    return out;
  }
  QString JobLine() { return view->findChild<QLabel*>("JobState")->text(); }
  void Key(int key) { QTest::keyClick(view->centralWidget(), static_cast<Qt::Key>(key)); }

  wstest::FakeSource source;
  std::unique_ptr<TWorkshopView> view;
  JobState state;
  std::vector<std::string> calls;
  bool refuse = false;
};

TEST_F(Job, WithoutAnOwnerNothingCanBeStartedAndThePortIsNone) {
  EXPECT_EQ(Offered(), "");
  EXPECT_EQ(JobLine(), "Anschluss: keiner");
  Act("StartScan")->trigger();  // disabled: nothing happens, nothing breaks
}

TEST_F(Job, EachControlCallsItsHookAndTheStateDecidesWhatIsOffered) {
  Own();
  EXPECT_EQ(Offered(), "StartScan Record Replay");
  EXPECT_EQ(JobLine(), "Anschluss: /dev/ttyUSB0");
  Act("StartScan")->trigger();
  EXPECT_EQ(Offered(), "StopScan Record Replay");
  EXPECT_EQ(JobLine(), QString::fromUtf8("Anschluss: /dev/ttyUSB0 · Scan läuft"));

  // The check mark follows what the owner says, not the click.
  refuse = true;
  Act("Record")->trigger();
  EXPECT_FALSE(Act("Record")->isChecked());
  refuse = false;
  Act("Record")->trigger();
  EXPECT_TRUE(Act("Record")->isChecked());
  EXPECT_EQ(JobLine(), QString::fromUtf8("Anschluss: /dev/ttyUSB0 · Scan läuft · Aufnahme"));
  Act("StopScan")->trigger();
  Act("Record")->trigger();
  EXPECT_FALSE(Act("Record")->isChecked());

  // A replay: no scan can start and no recording begin; it can pause and end.
  Act("Replay")->trigger();
  EXPECT_EQ(Offered(), "Replay PauseReplay EndReplay");
  EXPECT_FALSE(Act("PauseReplay")->isChecked());
  Act("PauseReplay")->trigger();
  EXPECT_TRUE(Act("PauseReplay")->isChecked());
  Act("PauseReplay")->trigger();
  EXPECT_FALSE(Act("PauseReplay")->isChecked());
  EXPECT_EQ(JobLine(), QString::fromUtf8("Anschluss: /dev/ttyUSB0 · Wiedergabe"));
  Act("EndReplay")->trigger();
  EXPECT_EQ(Offered(), "StartScan Record Replay");

  EXPECT_EQ(calls,
            (std::vector<std::string>{"startScan", "startRecording", "startRecording", "stopScan", "stopRecording",
                                      "openReplay", "pauseReplay", "pauseReplay", "endReplay"}));
  // A recording still armed when a replay begins can be stopped during it.
  state.recording = true;
  state.replaying = true;
  view->SetJobState(state);
  EXPECT_TRUE(Act("Record")->isEnabled());
}

// ---- the list of keys ---------------------------------------------------------------

TEST_F(Job, F1AndQuestionMarkListEveryKeyOverTheWindowAndEscF1QuestionMarkOrAClickCloseIt) {
  const QImage before = view->grab().toImage();
  Key(Qt::Key_F1);
  ASSERT_TRUE(view->ShortcutsShown());
  auto* overlay = view->findChild<QWidget*>("ShortcutHelp");
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(overlay->geometry(), view->rect());
  // Drawn over the picture: its light day background goes dark.
  const QImage over = view->grab().toImage();
  const QPoint corner = view->centralWidget()->geometry().topLeft() + QPoint(4, 4);
  EXPECT_GT(before.pixelColor(corner).lightness() - over.pixelColor(corner).lightness(), 100);

  // Every key of every action of the view is listed, with what it does.
  const std::vector<ShortcutLine> lines = view->Shortcuts();
  std::set<QString> listed;
  for (const ShortcutLine& l : lines) {
    EXPECT_FALSE(l.what.isEmpty()) << l.keys.toStdString();
    for (const QString& k : l.keys.split(QStringLiteral(", "))) listed.insert(k);
  }
  const ViewLanguage german = ViewLanguage::For(QLocale(QLocale::German));
  int keys = 0;
  for (const QAction* a : view->findChildren<QAction*>())
    for (const QKeySequence& k : a->shortcuts()) {
      ++keys;
      EXPECT_TRUE(listed.count(KeyName(k, german))) << k.toString().toStdString();
    }
  EXPECT_EQ(static_cast<int>(listed.size()), keys);
  auto has = [&](const char* k, const char* what) {
    return std::find(lines.begin(), lines.end(), ShortcutLine{QString::fromUtf8(k), QString::fromUtf8(what)}) !=
           lines.end();
  };
  EXPECT_TRUE(has("Strg+S", "Schnappschuss"));
  EXPECT_TRUE(has("Leertaste", "Dämpfung zurücksetzen"));
  EXPECT_TRUE(has("H", "Halten"));
  EXPECT_TRUE(has("3", "Bezug: Zylinder 3"));
  EXPECT_TRUE(has("F11", "Vollbild"));
  EXPECT_TRUE(has("F1, ?", "Tastenkürzel"));
  EXPECT_TRUE(has("Esc", "Vollbild verlassen, Tastenkürzel schließen"));
  // What the overlay draws is that list.
  EXPECT_EQ(static_cast<ShortcutHelp*>(overlay)->Lines(), lines);

  Key(Qt::Key_Escape);
  EXPECT_FALSE(view->ShortcutsShown());
  Key(Qt::Key_Question);
  EXPECT_TRUE(view->ShortcutsShown());
  Key(Qt::Key_Question);
  EXPECT_FALSE(view->ShortcutsShown());
  Key(Qt::Key_F1);
  QTest::mouseClick(overlay, Qt::LeftButton, Qt::NoModifier, overlay->rect().center());
  EXPECT_FALSE(view->ShortcutsShown());
  // The keys behind it work again: the list took none of them for good.
  Key(Qt::Key_H);
  EXPECT_TRUE(view->Held());
}

TEST_F(Job, InEnglishTheKeysAndTheirWordsAreEnglishAndEscClosesTheListBeforeFullScreen) {
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  Key(Qt::Key_F11);
  ASSERT_TRUE(qvtest::WaitFor([&] { return view->isFullScreen(); }));
  Key(Qt::Key_F1);
  ASSERT_TRUE(view->ShortcutsShown());
  QStringList all;
  for (const ShortcutLine& l : view->Shortcuts()) all << l.keys + QLatin1Char(' ') + l.what;
  const QString text = all.join('\n');
  EXPECT_TRUE(text.contains("Ctrl+S Snapshot")) << text.toStdString();
  EXPECT_TRUE(text.contains("Space Reset damping")) << text.toStdString();
  EXPECT_TRUE(text.contains("F1, ? Keyboard shortcuts")) << text.toStdString();
  EXPECT_TRUE(text.contains("2 Reference: Cylinder 2")) << text.toStdString();
  for (const char* word : {"Strg", "Leertaste", "Schnappschuss", "Bezug", "Vollbild"})
    EXPECT_FALSE(text.contains(QString::fromUtf8(word))) << word;
  // The first Esc closes the list, the second leaves full screen.
  Key(Qt::Key_Escape);
  EXPECT_FALSE(view->ShortcutsShown());
  EXPECT_TRUE(view->isFullScreen());
  Key(Qt::Key_Escape);
  EXPECT_TRUE(qvtest::WaitFor([&] { return !view->isFullScreen(); }));
}

// ---- the tool bar's width -----------------------------------------------------------

// Every action in `menu` and its submenus.
void Collect(const QMenu* menu, std::set<const QAction*>& into) {
  for (const QAction* a : menu->actions()) {
    into.insert(a);
    if (a->menu()) Collect(a->menu(), into);
  }
}

TEST_F(Job, TheToolBarFits1280PixelsInBothLanguagesAndEveryActionStaysReachable) {
  Own();
  state.port = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  state.scanning = state.recording = true;
  view->SetJobState(state);
  view->resize(1280, 800);
  QToolBar* bar = view->Controls();
  auto* extension = bar->findChild<QToolButton*>("qt_toolbar_ext_button");
  ASSERT_NE(extension, nullptr);
  for (QLocale::Language language : {QLocale::German, QLocale::English}) {
    view->SetLanguage(ViewLanguage::For(QLocale(language)));
    ASSERT_TRUE(qvtest::WaitFor([&] { return view->width() == 1280 && bar->width() >= 1270; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(extension->isVisible()) << QLocale::languageToString(language).toStdString();
    for (QAction* a : bar->actions()) {
      if (a->isSeparator()) continue;
      const QWidget* w = bar->widgetForAction(a);
      ASSERT_NE(w, nullptr) << a->objectName().toStdString();
      EXPECT_TRUE(w->isVisible()) << a->objectName().toStdString();
      EXPECT_TRUE(bar->rect().contains(w->geometry())) << a->objectName().toStdString();
    }
  }
  // Every named action is on the tool bar, in its menu, or a key in the list of keys.
  const QList<QAction*> onBar = bar->actions();
  std::set<const QAction*> reachable(onBar.begin(), onBar.end());
  for (const QAction* a : onBar)
    if (a->menu()) Collect(a->menu(), reachable);
  for (const QAction* a : view->findChildren<QAction*>()) {
    if (a->objectName().isEmpty() || reachable.count(a)) continue;
    EXPECT_FALSE(a->shortcuts().isEmpty()) << a->objectName().toStdString() << " cannot be reached";
  }
  std::set<const QAction*> more;
  Collect(view->MoreMenu(), more);
  for (const char* rare : {"Night", "ClearZero", "SnapshotFolder", "Reconnect", "FullScreen", "Shortcuts"})
    EXPECT_TRUE(more.count(Act(rare))) << rare;
  EXPECT_EQ(view->findChild<QMenu*>("Damping")->actions().size(), 6);
  EXPECT_EQ(view->findChild<QMenu*>("Zoom")->actions().size(), 6);
}

// ---- the phone view's switch and the shown reading ----------------------------------

TEST_F(Job, ThePhoneSwitchInTheMenuFollowsItsOwnerAndTheShownReadingIsHeardAtEachChange) {
  std::set<const QAction*> more;
  Collect(view->MoreMenu(), more);
  QAction* phone = Act("Phone");
  EXPECT_TRUE(more.count(phone));
  EXPECT_EQ(phone->text(), QStringLiteral("Telefon"));
  // The owner refuses: the check mark stays off; it agrees: on.
  std::vector<bool> asked;
  bool agree = false;
  view->OnPhone = [&](bool on) {
    asked.push_back(on);
    if (!on || agree) view->SetPhone(on);
  };
  phone->trigger();
  EXPECT_FALSE(phone->isChecked());
  EXPECT_FALSE(view->Phone());
  agree = true;
  phone->trigger();
  EXPECT_TRUE(phone->isChecked());
  phone->trigger();
  EXPECT_FALSE(phone->isChecked());
  EXPECT_EQ(asked, (std::vector<bool>{true, true, false}));
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  EXPECT_EQ(phone->text(), QStringLiteral("Phone"));

  std::vector<std::uint64_t> heard;
  view->OnShown = [&](const Reading& r) { heard.push_back(r.serial); };
  Reading r;
  r.status = Status::Live;
  source.Set(r);
  view->Tick();
  view->Tick();  // unchanged: not heard again
  source.Set(r);
  view->Tick();
  EXPECT_EQ(heard, (std::vector<std::uint64_t>{source.reading.serial - 1, source.reading.serial}));
}

}  // namespace
