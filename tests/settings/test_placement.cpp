#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "AppPaths.h"
#include "AppUtils.h"
#include "Placemnt.h"
#include "support/TestEnv.h"

namespace fs = std::filesystem;

// A fixed-size dialog that centres itself on the screen until told otherwise,
// as the settings dialog does.
class TForm2 : public QDialog, public qv::PositionRule {
  Q_OBJECT
 public:
  TForm2() { setFixedSize(281, 345); }
  bool CentresOnShow() const override { return centre; }
  void UseDesignedPosition() override { centre = false; }

  bool centre = true;
  QPoint centredAt{-1, -1};
  TFormPlacement* FormPlacement1 = new TFormPlacement(this);

 protected:
  void showEvent(QShowEvent* e) override {
    if (centre) {
      QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
      QSize frame = frameGeometry().size();
      centredAt =
          screen.topLeft() + QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2);
      move(centredAt);
    }
    QDialog::showEvent(e);
  }
};

// A sizeable window that may refuse to close; it calls BeforeDestroy() from
// its destructor when asked to.
class TSizeableWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TSizeableWindow(bool storeInDestructor = false) : store_in_destructor_(storeInDestructor) {
    resize(300, 200);
    move(40, 30);
  }
  ~TSizeableWindow() override {
    if (store_in_destructor_) placement.BeforeDestroy();
  }

  bool acceptClose = true;
  TFormPlacement placement{this};

 protected:
  void closeEvent(QCloseEvent* e) override { e->setAccepted(acceptClose); }

 private:
  bool store_in_destructor_;
};

namespace {

std::string Suffix() {
  QSize s = QGuiApplication::primaryScreen()->size();
  return "(" + std::to_string(s.width()) + "x" + std::to_string(s.height()) + ")";
}

int Ppi() { return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()); }

std::string NormPos(QPoint p, QSize s) {
  return std::to_string(p.x()) + "," + std::to_string(p.y()) + "," + std::to_string(p.x() + s.width()) + "," +
         std::to_string(p.y() + s.height());
}

// A placement file with the given lines in section `section`.
void WriteSection(const fs::path& file, const std::string& section, const std::string& lines) {
  qvtest::WriteFile(file, "[" + section + "]\n" + lines);
}

std::string Read(const fs::path& file, const std::string& section, const std::string& key) {
  return TIniFile(file).ReadString(section, key, "<missing>");
}

struct Fixture : ::testing::Test {
  qvtest::ScratchDir dir;
  fs::path file = dir / "placement.INI";
  std::vector<std::string> errors;

  void Use(TFormPlacement& p) {
    p.SetIniFileName(file.string());
    p.ErrorReporter = [this](const std::exception& e) { errors.emplace_back(e.what()); };
  }
};

using Placement = Fixture;

}  // namespace

TEST_F(Placement, DefaultsNameTheFileAfterTheProgramAndTheSectionAfterTheWindow) {
  TForm2 d;
  TFormPlacement& p = *d.FormPlacement1;
  EXPECT_TRUE(p.Active());
  EXPECT_TRUE(p.Options().contains(fpState));
  EXPECT_TRUE(p.Options().contains(fpPosition));
  EXPECT_FALSE(p.Options().contains(fpActiveControl));
  EXPECT_EQ(p.Version(), 0);
  EXPECT_FALSE(p.PreventResize());
  EXPECT_TRUE(p.MinMaxInfo().DefaultMinMaxInfo());
  EXPECT_EQ(p.Section(), "TForm2");
  EXPECT_EQ(p.IniFilePath(), qv::UserConfigDir() / (qv::ExecutableName() + ".INI"));
  p.SetIniSection("Other");
  EXPECT_EQ(p.Section(), "Other");
}

TEST_F(Placement, FirstOpeningIsCentredAndClosingWritesEveryKeyInOrder) {
  TForm2 d;
  Use(*d.FormPlacement1);
  d.show();
  EXPECT_EQ(d.pos(), d.centredAt);
  EXPECT_TRUE(d.FormPlacement1->PlacementRestored());
  EXPECT_FALSE(fs::exists(file));
  int stores = 0;
  d.FormPlacement1->OnSavePlacement = [&] { ++stores; };
  d.accept();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(stores, 1);
  EXPECT_TRUE(d.FormPlacement1->PlacementSaved());
  const std::string pos = NormPos(d.centredAt, d.size());
  EXPECT_EQ(qvtest::ReadFile(file),
            "[TForm2]\n"
            "FormVersion=0\n"
            "Flags=0\n"
            "ShowCmd=1\n"
            "PixelsPerInch=" +
                std::to_string(Ppi()) +
                "\n"
                "MinMaxPos" +
                Suffix() +
                "=0,0,0,0\n"
                "MinMaxPos=0,0,0,0\n"
                "NormPos" +
                Suffix() + "=" + pos +
                "\n"
                "NormPos=" +
                pos +
                "\n"
                "Visible=0\n");
  EXPECT_TRUE(errors.empty());
}

TEST_F(Placement, AMovedDialogReopensThereWithItsOwnSize) {
  {
    TForm2 d;
    Use(*d.FormPlacement1);
    d.show();
    d.move(120, 80);
    d.reject();
    EXPECT_EQ(Read(file, "TForm2", "NormPos"), NormPos({120, 80}, {281, 345}));
  }
  // Another size in the file does not change the fixed-size dialog.
  TIniFile(file).WriteString("TForm2", "NormPos" + Suffix(), "120,80,900,700");
  TForm2 d;
  Use(*d.FormPlacement1);
  d.show();
  EXPECT_EQ(d.pos(), QPoint(120, 80));
  EXPECT_EQ(d.size(), QSize(281, 345));
  EXPECT_FALSE(d.centre);  // its own centring rule is switched off
}

TEST_F(Placement, AModalOpeningIsLoadedAndStoredLikeAnyOther) {
  WriteSection(file, "TForm2", "NormPos=33,44,0,0\n");
  TForm2 d;
  Use(*d.FormPlacement1);
  QPoint shownAt;
  QTimer::singleShot(0, &d, [&] {
    shownAt = d.pos();
    d.move(55, 66);
    d.accept();
  });
  EXPECT_EQ(d.exec(), QDialog::Accepted);
  EXPECT_EQ(shownAt, QPoint(33, 44));
  EXPECT_EQ(Read(file, "TForm2", "NormPos"), NormPos({55, 66}, {281, 345}));
}

TEST_F(Placement, AnotherPixelDensityIsIgnoredAndOverwrittenAtTheNextClose) {
  WriteSection(file, "TForm2", "PixelsPerInch=" + std::to_string(Ppi() + 24) + "\nNormPos=10,10,291,355\n");
  TForm2 d;
  Use(*d.FormPlacement1);
  d.show();
  EXPECT_EQ(d.pos(), d.centredAt);
  EXPECT_TRUE(d.centre);
  d.accept();
  EXPECT_EQ(Read(file, "TForm2", "PixelsPerInch"), std::to_string(Ppi()));
  EXPECT_EQ(Read(file, "TForm2", "NormPos"), NormPos(d.centredAt, d.size()));
}

TEST_F(Placement, TheKeyForThisResolutionWinsOverThePlainOne) {
  struct Case {
    std::string lines;
    QPoint expected;
  };
  const Case cases[] = {
      {"NormPos=10,20,291,365\n", {10, 20}},
      {"NormPos" + Suffix() + "=50,60,331,405\nNormPos=10,20,291,365\n", {50, 60}},
      {"NormPos" + Suffix() + "=\nNormPos=10,20,291,365\n", {10, 20}},
      {"NormPos(1x1)=70,80,0,0\nNormPos=10,20,291,365\n", {10, 20}},
  };
  for (const auto& c : cases) {
    WriteSection(file, "TForm2", c.lines);
    TForm2 d;
    Use(*d.FormPlacement1);
    d.show();
    EXPECT_EQ(d.pos(), c.expected) << c.lines;
  }
}

TEST_F(Placement, MissingOrUnreadableWordsFallBackToTheCurrentPlace) {
  // Words 3 and 4 default to the current right and bottom edge, so a sizeable
  // window's size follows from them. The window has been shown once, so that
  // its frame is known (before that a move() places the client area).
  struct Case {
    std::string normPos;
    QPoint pos;
    int right, bottom;  // -1: the current edge
  };
  for (const auto& c : {Case{"100,200", {100, 200}, -1, -1}, Case{" 30 ,, 40  abc,250", {30, 40}, -1, 250},
                        Case{"0x20,$10,420,316", {32, 16}, 420, 316}}) {
    TSizeableWindow w;
    Use(w.placement);
    w.placement.SetActive(false);
    w.show();
    w.hide();
    w.placement.SetActive(true);
    WriteSection(file, "TSizeableWindow", "NormPos=" + c.normPos + "\n");
    const QPoint start = w.pos();
    w.show();
    EXPECT_EQ(w.pos(), c.pos) << c.normPos;
    const int right = c.right < 0 ? start.x() + 300 : c.right;
    const int bottom = c.bottom < 0 ? start.y() + 200 : c.bottom;
    EXPECT_EQ(w.size(), QSize(right - c.pos.x(), bottom - c.pos.y())) << c.normPos;
  }
}

TEST_F(Placement, NothingIsAppliedWhenRightIsNotBeyondLeftOrTheWindowWouldBeOffScreen) {
  for (const char* normPos : {"300,10,300,50", "300,10,200,50", "5000,5000,5300,5200",
                              "2147483647,2147483647,-2147483648,0", "-2147483648,0,2147483647,10"}) {
    WriteSection(file, "TSizeableWindow", std::string("NormPos=") + normPos + "\n");
    TSizeableWindow w;
    Use(w.placement);
    w.show();
    EXPECT_EQ(w.pos(), QPoint(40, 30)) << normPos;
    EXPECT_EQ(w.size(), QSize(300, 200)) << normPos;
  }
  // A fixed-size dialog takes its own size, so only the position counts.
  WriteSection(file, "TForm2", "NormPos=50,60,10,10\n");
  TForm2 d;
  Use(*d.FormPlacement1);
  d.show();
  EXPECT_EQ(d.pos(), QPoint(50, 60));
}

TEST_F(Placement, AnOlderFormVersionIsNotAppliedButAllowsTheNextStore) {
  WriteSection(file, "TForm2", "FormVersion=1\nNormPos=10,20,291,365\n");
  TForm2 d;
  Use(*d.FormPlacement1);
  d.FormPlacement1->SetVersion(2);
  int restores = 0;
  d.FormPlacement1->OnRestorePlacement = [&] { ++restores; };
  d.show();
  EXPECT_EQ(d.pos(), d.centredAt);
  EXPECT_EQ(restores, 0);
  EXPECT_TRUE(d.FormPlacement1->PlacementRestored());
  d.accept();
  EXPECT_EQ(Read(file, "TForm2", "FormVersion"), "2");
  d.FormPlacement1->SetVersion(1);
  d.show();
  EXPECT_EQ(restores, 1);
  EXPECT_FALSE(d.FormPlacement1->PlacementSaved());  // cleared by the load
}

TEST_F(Placement, AWindowNeverShownIsNeverStored) {
  {
    TForm2 d;
    Use(*d.FormPlacement1);
    d.close();
    d.FormPlacement1->StorePlacement();
  }
  {
    auto w = std::make_unique<TSizeableWindow>();
    Use(w->placement);
  }
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(errors.empty());
}

TEST_F(Placement, AFailedStoreIsReportedAndRetriedAtDestruction) {
  qvtest::WriteFile(dir / "blocker", "a file where the folder should be");
  const fs::path blocked = dir / "blocker" / "p.INI";
  {
    TForm2 d;
    Use(*d.FormPlacement1);
    d.FormPlacement1->SetIniFileName(blocked.string());
    d.show();
    d.move(150, 90);
    d.accept();
    EXPECT_FALSE(d.isVisible());  // the close went on
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "In " + blocked.string() + " kann nicht geschrieben werden");
    EXPECT_FALSE(d.FormPlacement1->PlacementSaved());
    // The folder can be written by the time the program ends.
    fs::remove(dir / "blocker");
    fs::create_directory(dir / "blocker");
  }
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(Read(blocked, "TForm2", "Visible"), "1");
  EXPECT_EQ(Read(blocked, "TForm2", "NormPos"), NormPos({150, 90}, {281, 345}));
}

TEST_F(Placement, DestructionStoresOnceWhicheverSideStartsIt) {
  for (bool fromOwnerDestructor : {false, true}) {
    fs::remove(file);
    auto w = std::make_unique<TSizeableWindow>(fromOwnerDestructor);
    Use(w->placement);
    int stores = 0;
    w->placement.OnSavePlacement = [&] { ++stores; };
    w->show();
    w->move(70, 90);
    w->resize(320, 240);
    w.reset();
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(Read(file, "TSizeableWindow", "Visible"), "1");
    EXPECT_EQ(Read(file, "TSizeableWindow", "NormPos"), NormPos({70, 90}, {320, 240}));
  }
  // A dialog destroyed while shown: its base destructors hide it, and the
  // section still carries its own class name.
  fs::remove(file);
  {
    auto d = std::make_unique<TForm2>();
    Use(*d->FormPlacement1);
    d->show();
    d->move(20, 25);
  }
  EXPECT_EQ(Read(file, "TForm2", "Visible"), "1");
  EXPECT_EQ(Read(file, "TForm2", "NormPos"), NormPos({20, 25}, {281, 345}));
  EXPECT_EQ(TIniFile(file).ReadSection("QDialog").size(), 0u);
  // A store after the last showing leaves nothing for destruction to do.
  fs::remove(file);
  {
    TForm2 d;
    Use(*d.FormPlacement1);
    d.show();
    d.accept();
  }
  EXPECT_EQ(Read(file, "TForm2", "Visible"), "0");
}

TEST_F(Placement, OnlyAnAcceptedCloseIsStored) {
  TSizeableWindow w;
  Use(w.placement);
  w.show();
  w.acceptClose = false;
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(fs::exists(file));
  w.acceptClose = true;
  EXPECT_TRUE(w.close());
  EXPECT_EQ(Read(file, "TSizeableWindow", "Visible"), "0");
  EXPECT_TRUE(w.placement.PlacementSaved());
  // Switched off: no load on show, no store on close.
  fs::remove(file);
  w.placement.SetActive(false);
  w.show();
  w.close();
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(Placement, TheWindowStateIsStoredAndRestored) {
  {
    TSizeableWindow w;
    Use(w.placement);
    w.show();
    w.move(60, 50);
    w.setWindowState(Qt::WindowMaximized);
    w.close();
    EXPECT_EQ(Read(file, "TSizeableWindow", "ShowCmd"), "3");
    // The normal place, not the maximised one.
    EXPECT_EQ(Read(file, "TSizeableWindow", "NormPos"), NormPos({60, 50}, {300, 200}));
  }
  struct Case {
    int showCmd;
    Qt::WindowStates state;
  };
  for (auto c : {Case{3, Qt::WindowMaximized}, Case{2, Qt::WindowMinimized}, Case{6, Qt::WindowMinimized},
                 Case{9, Qt::WindowNoState}, Case{0, Qt::WindowNoState}}) {
    TIniFile(file).WriteInteger("TSizeableWindow", "ShowCmd", c.showCmd);
    TSizeableWindow w;
    Use(w.placement);
    w.setWindowState(Qt::WindowMaximized);
    w.show();
    EXPECT_EQ(w.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), c.state) << c.showCmd;
  }
}

TEST_F(Placement, ActiveControlAndSizeLimitsWhenAskedFor) {
  TSizeableWindow w;
  Use(w.placement);
  auto* edit = new QWidget(&w);
  edit->setObjectName("Edit1");
  edit->setFocusPolicy(Qt::StrongFocus);
  w.placement.SetOptions({fpPosition, fpActiveControl});
  TWinMinMaxInfo limits;
  limits.MinTrackWidth = 250;
  limits.MaxTrackHeight = 400;
  w.placement.SetMinMaxInfo(limits);
  w.show();
  EXPECT_EQ(w.minimumWidth(), 250);
  EXPECT_EQ(w.maximumHeight(), 400);
  edit->setFocus();
  w.close();
  EXPECT_EQ(Read(file, "TSizeableWindow", "ActiveControl"), "Edit1");
  EXPECT_EQ(Read(file, "TSizeableWindow", "ShowCmd"), "1");
  w.placement.SetPreventResize(true);
  w.show();
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
}

#include "test_placement.moc"
