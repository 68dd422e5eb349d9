// The workshop view's window with a stand-in calculation: what it reads of
// the measurement state on its tick, when it redraws, its keys, hold,
// snapshots and what it tells assistive technology.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImageReader>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <filesystem>
#include <fstream>

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
    in.portOpen = [this] { return portOpen; };
    in.frames = [this] { return frames; };
    in.lastFrameHadMaxima = [this] { return lastHadMaxima; };
    in.maxima = [this] { return maxima; };
    view = std::make_unique<TWorkshopView>(source, std::move(in));
    view->SetText(ViewText::For(QLocale(QLocale::German)));
    view->SetSnapshotFolder(folder.path() / "shots");
    view->show();
    view->activateWindow();
    // Shortcuts reach the active window only.
    ASSERT_TRUE(qvtest::WaitFor([&] { return view->isActiveWindow(); }));
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(view->centralWidget(), static_cast<Qt::Key>(key), mods);
  }
  // The accessible value of the view's part called `name`.
  QString Accessible(const QString& name) {
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(view->centralWidget());
    if (!root) return QStringLiteral("<no interface>");
    for (int i = 0; i < root->childCount(); ++i) {
      QAccessibleInterface* child = root->child(i);
      if (child && child->text(QAccessible::Name) == name) return child->text(QAccessible::Value);
    }
    return QStringLiteral("<missing>");
  }

  qvtest::ScratchDir folder;
  FakeSource source;
  bool portOpen = true;
  std::uint64_t frames = 0;
  bool lastHadMaxima = true;
  std::array<std::int32_t, 4> maxima{350, 340, 360, 345};
  std::unique_ptr<TWorkshopView> view;
};

TEST_F(Window, HandsOnEachNewMaximaFrameOnceAndNothingElse) {
  view->Tick();
  EXPECT_TRUE(source.added.empty());  // no frame yet
  EXPECT_TRUE(source.lastPortOpen);
  frames = 1;
  view->Tick();
  view->Tick();
  ASSERT_EQ(source.added.size(), 1u);
  EXPECT_EQ(source.added[0].maxima, maxima);
  // A frame that carried only a channel record is no maxima frame.
  frames = 2;
  lastHadMaxima = false;
  view->Tick();
  EXPECT_EQ(source.added.size(), 1u);
  frames = 3;
  lastHadMaxima = true;
  maxima = {300, 301, 302, 303};
  view->Tick();
  ASSERT_EQ(source.added.size(), 2u);
  EXPECT_EQ(source.added[1].maxima, maxima);
  EXPECT_GE(source.added[1].seconds, source.added[0].seconds);
  portOpen = false;
  view->Tick();
  EXPECT_FALSE(source.lastPortOpen);
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
  const int reads = source.reads;
  EXPECT_TRUE(qvtest::WaitFor([&] { return source.reads >= reads + 3; }, 5000));
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
  EXPECT_TRUE(Accessible("Urteil").contains("HOLD"));
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
  view->findChild<QSpinBox*>("Tolerance")->setValue(25);
  EXPECT_EQ(source.choices.toleranceMbar, 25);
  auto* damping = view->findChild<QComboBox*>("Damping");
  damping->setCurrentIndex(0);
  emit damping->activated(0);
  EXPECT_EQ(source.choices.dampingSeconds, 0);
  auto* zoom = view->findChild<QComboBox*>("Zoom");
  zoom->setCurrentIndex(5);
  emit zoom->activated(5);
  EXPECT_EQ(source.choices.zoom, 100);
  view->findChild<QAction*>("PairMode")->trigger();
  EXPECT_TRUE(source.choices.pairMode);
  view->findChild<QAction*>("Night")->trigger();
  EXPECT_EQ(view->Renderer().Kind(), ThemeKind::Night);
  EXPECT_EQ(view->Picture().pixelColor(1, view->Picture().height() / 2), QColor(0, 0, 0));
}

TEST_F(Window, ZeroAdjustmentSaysWhatHappened) {
  view->findChild<QAction*>("Zero")->trigger();
  EXPECT_TRUE(source.zeroed);
  EXPECT_TRUE(view->StatusText().contains("Nullabgleich"));
  source.zeroAllowed = false;
  view->findChild<QAction*>("Zero")->trigger();
  EXPECT_EQ(view->StatusText(), "refused");
  view->findChild<QAction*>("ClearZero")->trigger();
  EXPECT_FALSE(source.zeroed);
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
  EXPECT_EQ(lines[0].rfind("time,unit,reference,tolerance,absolute1", 0), 0u);
  EXPECT_NE(lines[1].find(",mBar,\"Mittelwert\",10.000,-251.250,-241.250,-261.250,-246.250,"
                          "-1.250,8.750,-11.250,3.750,0.800,0.800,0.800,0.800,\"Zyl. 3: "),
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
  EXPECT_TRUE(view->StatusText().contains("kann nicht angelegt")) << view->StatusText().toStdString();
  EXPECT_EQ(qvtest::ReadFile(blocked), "not a folder");

  // A CSV file that cannot be appended to: the picture is saved, the message says the line is not.
  const std::filesystem::path dir = folder.path() / "ro";
  std::filesystem::create_directories(dir / "snapshots.csv");  // a folder where the file should be
  view->SetSnapshotFolder(dir);
  view->Snapshot();
  EXPECT_TRUE(view->StatusText().contains("snapshots.csv")) << view->StatusText().toStdString();
}

TEST_F(Window, AccessibleValuesFollowTheDisplay) {
  source.Set(wstest::Live(-1.25, 8.75, -11.25, 3.75));
  view->Tick();
  EXPECT_EQ(Accessible("Zylinder 2 Differenz"), "+9 mBar");
  EXPECT_EQ(Accessible("Zylinder 3 Differenz"), QString::fromUtf8("\u221211 mBar"));
  EXPECT_EQ(Accessible("Zylinder 1 Absolutwert"), QString::fromUtf8("\u2212251 mBar"));
  EXPECT_EQ(Accessible("Bezug"), "Mittelwert");
  EXPECT_EQ(Accessible("Einheit"), "mBar");
  EXPECT_EQ(Accessible("Urteil"), "Zyl. 3: \u221211 mBar");

  Reading r = wstest::Live(1, 2, 3, 4);
  r.referenceKind = ReferenceKind::Cylinder;
  r.referenceCylinder = 3;
  r.unit = Unit::KiloPascal;
  source.Set(r);
  view->Tick();
  EXPECT_EQ(Accessible("Urteil"), "SYNCHRON");
  EXPECT_EQ(Accessible("Bezug"), "Zylinder 4");
  EXPECT_EQ(Accessible("Einheit"), "kPa");
  EXPECT_EQ(Accessible("Zylinder 4 Differenz"), "+4,0 kPa");

  r.status = Status::NoScan;
  source.Set(r);
  view->Tick();
  EXPECT_EQ(Accessible("Urteil"), "Kein Scan");
  EXPECT_EQ(Accessible("Zylinder 4 Differenz"), "");  // no numbers without a scan
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
  store.loadProblem = "damaged line 3";
  auto view = std::make_unique<TWorkshopView>(source, WorkshopInputs{}, &store);
  EXPECT_EQ(store.saves, 0);  // loading stores nothing, least of all over a damaged file
  EXPECT_EQ(source.choices.unit, Unit::KiloPascal);
  EXPECT_TRUE(source.choices.pairMode);
  EXPECT_EQ(view->Renderer().Kind(), ThemeKind::Night);
  EXPECT_EQ(view->SnapshotFolder(), "/somewhere/else");
  EXPECT_EQ(view->StatusText(), "damaged line 3");
  EXPECT_EQ(view->findChild<QComboBox*>("Unit")->currentText(), "kPa");

  view->findChild<QSpinBox*>("Tolerance")->setValue(7);
  EXPECT_EQ(store.saves, 1);
  EXPECT_EQ(store.stored.choices.toleranceMbar, 7);
  EXPECT_EQ(store.stored.choices.unit, Unit::KiloPascal);
  view->SetTheme(ThemeKind::Day);
  EXPECT_EQ(store.stored.theme, ThemeKind::Day);

  store.saveProblem = "disk full";
  view->SetSnapshotFolder({});
  EXPECT_EQ(view->StatusText(), "disk full");

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
