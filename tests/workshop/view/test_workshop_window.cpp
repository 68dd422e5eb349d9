// The workshop view's window with a stand-in calculation: what it reads of
// the measurement state on its tick, when it redraws, its keys, hold,
// snapshots and what it tells assistive technology.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <filesystem>
#include <fstream>
#include <vector>

#include "FakeSource.h"
#include "RenderTestSupport.h"
#include "TWorkshopView.h"
#include "support/QtWait.h"
#include "support/TestEnv.h"

namespace {

using namespace qv::workshop;
using wstest::FakeSource;

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkshopInputs in;
    in.active = [this] { return portOpen; };
    in.maximaFrames = [this] { return frames; };
    in.maxima = [this] { return maxima; };
    view = std::make_unique<TWorkshopView>(source, std::move(in));
    view->SetLanguage(ViewLanguage::For(QLocale(QLocale::German)));
    view->SetSnapshotFolder(folder.path() / "shots");
    view->show();
    view->activateWindow();
    // Shortcuts reach the active window only.
    ASSERT_TRUE(qvtest::WaitFor([&] { return view->isActiveWindow(); }));
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(view->centralWidget(), static_cast<Qt::Key>(key), mods);
  }
  // The text of the view's part called `name`, read as the AT-SPI bridge
  // reads it: through the text interface (the accessible value agrees).
  QString Accessible(const QString& name) {
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(view->centralWidget());
    if (!root) return QStringLiteral("<no interface>");
    for (int i = 0; i < root->childCount(); ++i) {
      QAccessibleInterface* child = root->child(i);
      if (!child || child->text(QAccessible::Name) != name) continue;
      QAccessibleTextInterface* text = child->textInterface();
      if (!text) return QStringLiteral("<no text interface>");
      const QString shown = text->text(0, text->characterCount());
      EXPECT_EQ(child->text(QAccessible::Value), shown) << name.toStdString();
      return shown;
    }
    return QStringLiteral("<missing>");
  }

  qvtest::ScratchDir folder;
  FakeSource source;
  bool portOpen = true;
  std::uint64_t frames = 0;
  std::array<std::int32_t, 4> maxima{350, 340, 360, 345};
  std::unique_ptr<TWorkshopView> view;
};

TEST_F(Window, HandsOverThePortsStateTheMaximaFrameCountAndMaximaAtEveryTick) {
  view->Tick();
  ASSERT_FALSE(source.looks.empty());
  EXPECT_TRUE(source.looks.back().portOpen);
  EXPECT_EQ(source.looks.back().maximaFrames, 0u);
  frames = 7;
  maxima = {300, 301, 302, 303};
  view->Tick();
  const MeasurementLook first = source.looks.back();
  EXPECT_EQ(first.maximaFrames, 7u);
  EXPECT_EQ(first.maxima, maxima);
  portOpen = false;
  view->Tick();
  EXPECT_FALSE(source.looks.back().portOpen);
  // The time comes from a steady clock: it never goes back.
  EXPECT_GE(source.looks.back().seconds, first.seconds);
}

TEST_F(Window, RedrawsOnlyWhenTheReadingChangedAndTicksOnItsOwn) {
  source.Set(wstest::Live(1, 2, 3, 4));
  view->Tick();
  const auto drawn = view->Redraws();
  for (int i = 0; i < 5; ++i) view->Tick();
  EXPECT_EQ(view->Redraws(), drawn);
  source.Set(wstest::Live(1, 2, 3, 14));
  view->Tick();
  EXPECT_EQ(view->Redraws(), drawn + 1);
  // Its own timer reads the source about every 50 ms.
  const std::size_t reads = source.looks.size();
  EXPECT_TRUE(qvtest::WaitFor([&] { return source.looks.size() >= reads + 3; }, 5000));
  // The picture has the canvas's size at its pixel ratio.
  EXPECT_EQ(view->Picture().deviceIndependentSize().toSize(), view->centralWidget()->size());
}

TEST_F(Window, FollowsItsSizeFromTheSmallestUp) {
  view->resize(300, 200);
  EXPECT_GE(view->width(), TWorkshopView::kMinSize.width());
  EXPECT_GE(view->height(), TWorkshopView::kMinSize.height());
  source.Set(wstest::Live(1, 2, 3, 4));
  view->resize(1600, 900);
  ASSERT_TRUE(qvtest::WaitFor(
      [&] { return view->Picture().deviceIndependentSize().toSize() == view->centralWidget()->size(); }));
  EXPECT_GT(view->Picture().width(), 1500);
}

TEST_F(Window, HoldFreezesUntilPressedAgainAndShowsItsMark) {
  source.Set(wstest::Live(1, 2, 3, 4));
  view->Tick();
  Key(Qt::Key_H);
  EXPECT_TRUE(view->Held());
  EXPECT_TRUE(source.held);
  view->Tick();
  EXPECT_TRUE(view->Shown().held);
  const QRectF hold = view->Renderer().Layout().hold;
  EXPECT_GT(wstest::Count(view->Picture(), hold, view->Renderer().Colours().text), 100);
  EXPECT_TRUE(Accessible("Ergebnis").contains("HOLD"));
  Key(Qt::Key_H);
  EXPECT_FALSE(view->Held());
  view->Tick();
  EXPECT_EQ(wstest::Count(view->Picture(), hold, view->Renderer().Colours().text), 0);
}

TEST_F(Window, KeysChooseTheReferenceAndResetTheDamping) {
  Key(Qt::Key_3);
  EXPECT_EQ(source.choices.reference, ReferenceKind::Cylinder);
  EXPECT_EQ(source.choices.referenceCylinder, 2);
  EXPECT_EQ(view->findChild<QComboBox*>("Reference")->currentIndex(), 4);
  Key(Qt::Key_1);
  EXPECT_EQ(source.choices.referenceCylinder, 0);
  Key(Qt::Key_Space);
  EXPECT_EQ(source.resets, 1);
}

TEST_F(Window, TheControlsSetTheChoices) {
  auto* unit = view->findChild<QComboBox*>("Unit");
  ASSERT_NE(unit, nullptr);
  ASSERT_EQ(unit->count(), 6);
  unit->setCurrentIndex(3);
  emit unit->activated(3);
  EXPECT_EQ(source.choices.unit, Unit::InchHg);
  // The tolerance is shown and set in the chosen unit, within 1 to 50 mBar;
  // switching the unit does not move it by the unit's rounding.
  auto* tolerance = view->findChild<QDoubleSpinBox*>("Tolerance");
  EXPECT_EQ(source.choices.toleranceMbar, 10);
  EXPECT_DOUBLE_EQ(tolerance->value(), 0.30);  // 10 mBar = 0.2953 inHg
  EXPECT_DOUBLE_EQ(tolerance->minimum(), 0.03);
  EXPECT_DOUBLE_EQ(tolerance->maximum(), 1.47);
  EXPECT_TRUE(tolerance->suffix().endsWith("inHg"));
  tolerance->setValue(0.74);
  EXPECT_NEAR(source.choices.toleranceMbar, 0.74 / 0.02953, 1e-6);
  const double chosen = source.choices.toleranceMbar;
  unit->setCurrentIndex(0);
  emit unit->activated(0);
  EXPECT_EQ(source.choices.toleranceMbar, chosen);
  EXPECT_EQ(tolerance->value(), 25);
  EXPECT_TRUE(tolerance->suffix().endsWith("mBar"));
  tolerance->setValue(50);
  EXPECT_EQ(source.choices.toleranceMbar, 50);
  tolerance->setValue(25);
  EXPECT_EQ(source.choices.toleranceMbar, 25);
  // Damping and zoom are chosen in the tool bar's menu, one item checked.
  auto* damping = view->findChild<QMenu*>("Damping");
  ASSERT_NE(damping, nullptr);
  ASSERT_EQ(damping->actions().size(), 6);
  EXPECT_TRUE(damping->actions()[3]->isChecked());  // 1 s
  damping->actions()[0]->trigger();
  EXPECT_EQ(source.choices.dampingSeconds, 0);
  EXPECT_TRUE(damping->actions()[0]->isChecked());
  EXPECT_FALSE(damping->actions()[3]->isChecked());
  auto* zoom = view->findChild<QMenu*>("Zoom");
  ASSERT_NE(zoom, nullptr);
  zoom->actions()[5]->trigger();
  EXPECT_EQ(source.choices.zoom, 100);
  view->SetChoices(source.choices);  // shown again: the menus keep the choice
  EXPECT_TRUE(zoom->actions()[5]->isChecked());
  view->findChild<QAction*>("PairMode")->trigger();
  EXPECT_TRUE(source.choices.pairMode);
  view->findChild<QAction*>("Night")->trigger();
  EXPECT_EQ(view->Renderer().Kind(), ThemeKind::Night);
  EXPECT_EQ(view->Picture().pixelColor(1, view->Picture().height() / 2), QColor(0, 0, 0));
}

TEST_F(Window, ZeroAdjustmentSaysWhatHappened) {
  view->findChild<QAction*>("Zero")->trigger();
  EXPECT_TRUE(source.zeroed);
  EXPECT_EQ(view->StatusText(), "Nullabgleich gespeichert");
  // Refused for the spread: how far apart, in the unit shown.
  source.zeroOutcome = {ZeroOutcome::Refusal::kSpread, 62.4};
  view->findChild<QAction*>("Zero")->trigger();
  EXPECT_TRUE(view->StatusText().startsWith("Nullabgleich abgelehnt: die vier Kanäle liegen 62 mBar auseinander"))
      << view->StatusText().toStdString();
  source.zeroOutcome = {ZeroOutcome::Refusal::kNoData, 0};
  view->findChild<QAction*>("Zero")->trigger();
  EXPECT_EQ(view->StatusText(), "Nullabgleich nicht möglich: keine aktuellen Messwerte");
  // Done, but the file would not take the offsets.
  source.zeroOutcome = {};
  source.notStored = "disk full";
  view->findChild<QAction*>("Zero")->trigger();
  EXPECT_EQ(view->StatusText(), ViewLanguage::FromEnvironment().F(TextId::kSettingsNotSaved, {"disk full"}));
  source.notStored.clear();
  view->findChild<QAction*>("ClearZero")->trigger();
  EXPECT_FALSE(source.zeroed);
  EXPECT_EQ(view->StatusText(), QString::fromUtf8("Nullabgleich gelöscht"));
}

TEST_F(Window, F11GoesFullScreenAndEscapeLeavesIt) {
  Key(Qt::Key_F11);
  EXPECT_TRUE(qvtest::WaitFor([&] { return view->isFullScreen(); }));
  EXPECT_FALSE(view->Controls()->isVisible());
  Key(Qt::Key_Escape);
  EXPECT_TRUE(qvtest::WaitFor([&] { return !view->isFullScreen(); }));
  EXPECT_TRUE(view->Controls()->isVisible());
}

TEST_F(Window, SnapshotWritesAPictureAndACsvLine) {
  source.Set(wstest::Live(-1.25, 8.75, -11.25, 3.75));
  view->Tick();
  Key(Qt::Key_S, Qt::ControlModifier);
  const std::filesystem::path dir = folder.path() / "shots";
  std::vector<std::filesystem::path> pngs;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.path().extension() == ".png") pngs.push_back(e.path());
  ASSERT_EQ(pngs.size(), 1u) << view->StatusText().toStdString();
  EXPECT_TRUE(view->StatusText().contains(QString::fromStdString(pngs[0].string())));
  QImageReader reader(QString::fromStdString(pngs[0].string()));
  EXPECT_EQ(reader.format(), "png");
  const QImage saved = reader.read();
  EXPECT_EQ(saved.size(), view->Picture().size());

  Key(Qt::Key_S, Qt::ControlModifier);  // a second one gets a name of its own
  std::ifstream csv(dir / "snapshots.csv");
  std::vector<std::string> lines;
  for (std::string l; std::getline(csv, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0],
            "time,unit,reference,reference value,tolerance,value 1,value 2,value 3,value 4,difference 1,"
            "difference 2,difference 3,difference 4,scatter 1,scatter 2,scatter 3,scatter 4,zeroed,verdict\r");
  // The model's line: "." and ASCII minus whatever the screen uses, the verdict in English.
  EXPECT_NE(lines[1].find(",mBar,mean,-250.0,10.0,-251,-241,-261,-246,-1,+9,-11,+4,0.8,0.8,0.8,0.8,no,"
                          "Cyl. 3: -11 mBar\r"),
            std::string::npos)
      << lines[1];
  int pictures = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) pictures += e.path().extension() == ".png";
  EXPECT_EQ(pictures, 2);
}

TEST_F(Window, ASnapshotThatCannotBeWrittenSaysSoAndKeepsWhatWasThere) {
  const std::filesystem::path blocked = folder.path() / "file";
  qvtest::WriteFile(blocked, "not a folder");
  view->SetSnapshotFolder(blocked / "shots");
  view->Snapshot();
  EXPECT_TRUE(view->StatusText().startsWith("Schnappschuss nicht gespeichert: ")) << view->StatusText().toStdString();
  EXPECT_EQ(qvtest::ReadFile(blocked), "not a folder");

  // A CSV file that cannot be appended to: the picture is saved, the message says the line is not.
  const std::filesystem::path dir = folder.path() / "ro";
  std::filesystem::create_directories(dir / "snapshots.csv");  // a folder where the file should be
  view->SetSnapshotFolder(dir);
  view->Snapshot();
  EXPECT_TRUE(view->StatusText().startsWith("Bild gespeichert (")) << view->StatusText().toStdString();
  EXPECT_TRUE(view->StatusText().contains("snapshots.csv")) << view->StatusText().toStdString();
}

TEST_F(Window, AccessibleValuesFollowTheDisplay) {
  source.Set(wstest::Live(-1.25, 8.75, -11.25, 3.75));
  view->Tick();
  EXPECT_EQ(Accessible("Abweichung Zylinder 2"), "+9 mBar");
  EXPECT_EQ(Accessible("Abweichung Zylinder 3"), QString::fromUtf8("\u221211 mBar"));
  EXPECT_EQ(Accessible("Absolutwert Zylinder 1"), QString::fromUtf8("\u2212251 mBar"));
  EXPECT_EQ(Accessible("Absolutwert Zylinder 4"), QString::fromUtf8("\u2212246 mBar"));
  EXPECT_EQ(Accessible("Streuung Zylinder 1"), QString::fromUtf8("±0,8 mBar"));
  EXPECT_EQ(Accessible("Referenz"), "Mittelwert");
  EXPECT_EQ(Accessible("Einheit"), "mBar");
  EXPECT_EQ(Accessible("Toleranz"), QString::fromUtf8("±10 mBar"));
  EXPECT_EQ(Accessible("Ergebnis"), QString::fromUtf8("Zyl. 3: \u221211 mBar"));
  EXPECT_EQ(Accessible("Verbindung"), "");

  Reading r = wstest::Live(1, 2, 3, 4);
  r.referenceKind = ReferenceKind::Cylinder;
  r.referenceCylinder = 3;
  r.unit = Unit::KiloPascal;
  r.zeroed = true;
  source.Set(r);
  view->Tick();
  EXPECT_EQ(Accessible("Ergebnis"), "SYNCHRON (genullt)");
  EXPECT_EQ(Accessible("Referenz"), "Zylinder 4");
  EXPECT_EQ(Accessible("Einheit"), "kPa");
  EXPECT_EQ(Accessible("Abweichung Zylinder 4"), "+4,0 kPa");

  // Pairs: two of each, named for their cylinders; the other two parts are silent.
  r.pairMode = true;
  r.channelCount = 2;
  source.Set(r);
  view->Tick();
  EXPECT_EQ(Accessible("Abweichung Zylinder 3+4"), "+2,0 kPa");
  EXPECT_EQ(Accessible("Referenz"), "Paare 1+2 / 3+4");
  EXPECT_EQ(Accessible("Abweichung Zylinder 3"), "<missing>");

  r.pairMode = false;
  r.channelCount = 4;
  r.status = Status::NoScan;
  source.Set(r);
  view->Tick();
  EXPECT_EQ(Accessible("Ergebnis"), "Kein Scan (genullt)");
  EXPECT_EQ(Accessible("Abweichung Zylinder 4"), "");  // no numbers without a scan

  // In English every name and value is English.
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  source.Set(wstest::Live(1, 2, 14, -4));
  view->Tick();
  EXPECT_EQ(Accessible("Difference Cylinder 3"), "+14 mBar");
  EXPECT_EQ(Accessible("Verdict"), "Cyl. 3: +14 mBar");
  EXPECT_EQ(Accessible("Reference"), "Mean");
}

TEST_F(Window, EachAccessiblePartLiesOverWhatItNames) {
  source.Set(wstest::Live(-1.25, 8.75, -11.25, 3.75));
  view->Tick();
  QAccessibleInterface* root = QAccessible::queryAccessibleInterface(view->centralWidget());
  ASSERT_NE(root, nullptr);
  auto rectOf = [&](const QString& name) {
    for (int i = 0; i < root->childCount(); ++i)
      if (root->child(i)->text(QAccessible::Name) == name) return root->child(i)->rect();
    return QRect();
  };
  const WorkshopLayout& l = view->Renderer().Layout();
  const QPoint origin = view->centralWidget()->mapToGlobal(QPoint(0, 0));
  for (int c = 0; c < 4; ++c) {
    const auto i = static_cast<std::size_t>(c);
    const QString n = QString::number(c + 1);
    EXPECT_EQ(rectOf("Abweichung Zylinder " + n), l.channels[i].number.toRect().translated(origin)) << c;
    EXPECT_EQ(rectOf("Absolutwert Zylinder " + n), l.channels[i].absolute.toRect().translated(origin)) << c;
  }
  EXPECT_EQ(rectOf("Ergebnis"), l.verdict.toRect().translated(origin));
  // A screen reader finds the numbers in reading order, left to right.
  EXPECT_LT(rectOf("Abweichung Zylinder 1").left(), rectOf("Abweichung Zylinder 2").left());
  EXPECT_EQ(root->child(0)->role(), QAccessible::StaticText);
}

TEST_F(Window, TheReconnectSwitchIsOnByDefaultAndTellsItsOwner) {
  auto* action = view->findChild<QAction*>("Reconnect");
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(action->isChecked());
  EXPECT_TRUE(view->Reconnect());
  EXPECT_EQ(action->text(), "Automatisch neu verbinden");
  std::vector<bool> told;
  view->OnReconnectChanged = [&](bool on) { told.push_back(on); };
  action->trigger();
  EXPECT_FALSE(view->Reconnect());
  action->trigger();
  view->SetReconnect(true);  // no change: nothing told
  EXPECT_EQ(told, (std::vector<bool>{false, true}));
}

TEST_F(Window, AWaitForTheDeviceIsShownLargeAndNamed) {
  source.Set([] {
    Reading r;  // the port is closed while the device is waited for
    r.serial = 5;
    return r;
  }());
  view->Tick();
  const QRectF message = view->Renderer().Layout().message;
  const int plain = wstest::Count(view->Picture(), message, view->Renderer().Colours().text);
  view->SetConnectionNotice(ConnectionNotice::kWaiting);
  EXPECT_EQ(view->Renderer().Notice(), QString::fromUtf8("Verbindung verloren — warte auf das Gerät"));
  EXPECT_EQ(Accessible("Verbindung"), QString::fromUtf8("Verbindung verloren — warte auf das Gerät"));
  // Boxed and larger than "Kein Scan" alone: more ink in the message's place.
  EXPECT_GT(wstest::Count(view->Picture(), message, view->Renderer().Colours().text), plain);
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  EXPECT_EQ(view->Renderer().Notice(), QString::fromUtf8("Connection lost — waiting for the device"));
  EXPECT_EQ(Accessible("Connection"), QString::fromUtf8("Connection lost — waiting for the device"));
  view->SetConnectionNotice(ConnectionNotice::kLost);
  EXPECT_EQ(view->Renderer().Notice(), "Connection lost");
  // Connected again: "Kein Scan" alone, as before.
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::German)));
  view->SetConnectionNotice(ConnectionNotice::kNone);
  EXPECT_EQ(Accessible("Verbindung"), "");
  EXPECT_EQ(wstest::Count(view->Picture(), message, view->Renderer().Colours().text), plain);
}

TEST_F(Window, EveryControlSpeaksTheCataloguesLanguage) {
  auto texts = [&] {
    QStringList all{view->windowTitle()};
    for (QAction* a : view->findChildren<QAction*>()) all << a->text() << a->toolTip();
    for (QMenu* m : view->findChildren<QMenu*>()) all << m->title();
    for (auto* c : view->findChildren<QComboBox*>())
      for (int i = 0; i < c->count(); ++i) all << c->itemText(i);
    all << view->findChild<QDoubleSpinBox*>("Tolerance")->prefix();
    all.removeAll(QString());
    return all;
  };
  const QStringList german = texts();
  EXPECT_TRUE(german.contains("QUORVEL Werkstattansicht"));
  EXPECT_TRUE(german.contains("Bezug: Zyl. 3"));
  EXPECT_TRUE(german.contains(QString::fromUtf8("Dämpfung 0,25 s")));
  EXPECT_TRUE(german.contains("Skala automatisch"));
  EXPECT_TRUE(german.contains("Schnappschuss"));
  EXPECT_TRUE(german.contains("Stopp"));
  EXPECT_TRUE(german.contains("Wiedergabe beenden"));
  EXPECT_EQ(view->findChild<QLabel*>("JobState")->text(), "Anschluss: keiner");
  view->SetLanguage(ViewLanguage::For(QLocale(QLocale::English)));
  const QStringList english = texts();
  EXPECT_TRUE(english.contains("QUORVEL Workshop view"));
  EXPECT_TRUE(english.contains("Reference: Cyl. 3"));
  EXPECT_TRUE(english.contains("Damping 0.25 s"));
  EXPECT_TRUE(english.contains("Reconnect automatically"));
  EXPECT_TRUE(english.contains(QString::fromUtf8("Tolerance ±")));
  EXPECT_TRUE(english.contains("End replay"));
  EXPECT_TRUE(english.contains("More"));
  EXPECT_EQ(view->findChild<QLabel*>("JobState")->text(), "Port: none");
  // Not one German word is left over.
  for (const char* word : {"Bezug", "Dämpfung", "Schnappschuss", "Nullabgleich", "Zyl.", "Paare", "Wiedergabe",
                           "Aufnahme", "Weitere", "Tastenkürzel", "Stopp"})
    EXPECT_FALSE(english.join(' ').contains(QString::fromUtf8(word))) << word;
}

}  // namespace

namespace {

using namespace qv::workshop;

class FakeStore : public ViewSettingsStore {
 public:
  ViewSettings Load(std::string& problem) override {
    problem = loadProblem;
    return stored;
  }
  std::string Save(const ViewSettings& s) override {
    ++saves;
    if (saveProblem.empty()) stored = s;
    return saveProblem;
  }
  ViewSettings stored;
  std::string loadProblem, saveProblem;
  int saves = 0;
};

TEST(WindowSettings, ComeFromTheStoreAndGoBackWhenTheUserChangesOne) {
  wstest::FakeSource source;
  FakeStore store;
  store.stored.choices.unit = Unit::KiloPascal;
  store.stored.choices.pairMode = true;
  store.stored.theme = ThemeKind::Night;
  store.stored.snapshotFolder = "/somewhere/else";
  store.stored.reconnect = false;
  store.loadProblem = "damaged line 3";
  auto view = std::make_unique<TWorkshopView>(source, WorkshopInputs{}, &store);
  EXPECT_EQ(store.saves, 0);  // loading stores nothing, least of all over a damaged file
  EXPECT_EQ(source.choices.unit, Unit::KiloPascal);
  EXPECT_TRUE(source.choices.pairMode);
  EXPECT_EQ(view->Renderer().Kind(), ThemeKind::Night);
  EXPECT_EQ(view->SnapshotFolder(), "/somewhere/else");
  EXPECT_FALSE(view->Reconnect());
  EXPECT_FALSE(view->findChild<QAction*>("Reconnect")->isChecked());
  // The catalogue's sentence round the problem, in the environment's language.
  EXPECT_EQ(view->StatusText(), ViewLanguage::FromEnvironment().F(TextId::kSettingsDamaged, {"damaged line 3"}));
  EXPECT_EQ(view->findChild<QComboBox*>("Unit")->currentText(), "kPa");

  view->findChild<QDoubleSpinBox*>("Tolerance")->setValue(0.7);  // kPa
  EXPECT_EQ(store.saves, 1);
  EXPECT_EQ(store.stored.choices.toleranceMbar, 7);
  EXPECT_EQ(store.stored.choices.unit, Unit::KiloPascal);
  view->SetTheme(ThemeKind::Day);
  EXPECT_EQ(store.stored.theme, ThemeKind::Day);
  view->findChild<QAction*>("Reconnect")->trigger();
  EXPECT_TRUE(store.stored.reconnect);

  store.saveProblem = "disk full";
  view->SetSnapshotFolder({});
  EXPECT_EQ(view->StatusText(), ViewLanguage::FromEnvironment().F(TextId::kSettingsNotSaved, {"disk full"}));

  // The geometry is kept at closing and given back at the next opening.
  store.saveProblem.clear();
  view->show();
  view->resize(900, 560);
  view->close();
  EXPECT_FALSE(store.stored.geometry.empty());
  auto again = std::make_unique<TWorkshopView>(source, WorkshopInputs{}, &store);
  EXPECT_EQ(again->size(), QSize(900, 560));
}

}  // namespace
