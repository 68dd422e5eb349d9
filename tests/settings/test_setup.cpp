#include <gtest/gtest.h>
#include <sys/resource.h>
#include <QApplication>
#include <QCheckBox>

#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <csignal>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Displays.h"
#include "Measurement.h"
#include "RxCombos.h"
#include "SpinEdit.h"
#include "setup.h"
#include "support/QtWait.h"
#include "support/TestEnv.h"

namespace {

const std::string kDefaultsFile =
    "[COLOR]\n1=32768\n2=65280\n3=65535\n4=0\n5=0\n[SPEED]\n1=200\n2=10\n3=10\n[Einstellungen]\n3=0\n";

// The dialog on a private settings file, with its hooks recorded.
struct SetupDialogTest : ::testing::Test {
  qvtest::ScratchDir dir;
  std::filesystem::path iniPath = dir / "Quorvel.ini";
  std::unique_ptr<TForm2> form;
  std::vector<int> timerIntervals;
  std::vector<bool> mirrored;
  std::vector<std::string> errors;
  int portSetups = 0;
  std::optional<bool> answer;  // what the "Abbruch" question is answered with
  int questions = 0;

  void SetUp() override { MakeForm(iniPath); }

  void MakeForm(const std::filesystem::path& path) {
    form = std::make_unique<TForm2>(nullptr, path);
    form->SetTimer1Interval = [this](int ms) { timerIntervals.push_back(ms); };
    form->MirrorShowPixels = [this](bool on) { mirrored.push_back(on); };
    form->ShowPortSetup = [this] { ++portSetups; };
    form->ReportError = [this](const std::exception& e) { errors.emplace_back(e.what()); };
    form->ConfirmCancel = [this] {
      ++questions;
      return answer.value_or(false);
    };
  }

  void Open() {
    form->show();
    ASSERT_TRUE(form->isVisible());
  }

  static void ExpectDefaults(const TGraphSettings& s) {
    EXPECT_EQ(s.BackColor(), clGreen);
    EXPECT_EQ(s.GridColor(), clLime);
    EXPECT_EQ(s.DotsColor(), clYellow);
    EXPECT_EQ(s.GraphColor(), clBlack);
    EXPECT_EQ(s.FontColor(), clBlack);
    EXPECT_EQ(s.GraphSpeed(), 200);
    EXPECT_EQ(s.GridCountY(), 10);
    EXPECT_EQ(s.GridCountX(), 10);
    EXPECT_FALSE(s.ShowPixels());
  }
};

TEST_F(SetupDialogTest, StartsWithTheInitialControlValues) {
  EXPECT_EQ(form->BackColor(), clBlack);
  EXPECT_EQ(form->GridColor(), clBlack);
  EXPECT_EQ(form->DotsColor(), clBlack);
  EXPECT_EQ(form->GraphColor(), clBlack);
  EXPECT_EQ(form->FontColor(), clBlack);
  EXPECT_EQ(form->GraphSpeed(), 200);
  EXPECT_EQ(form->GridCountY(), 10);
  EXPECT_EQ(form->GridCountX(), 10);
  EXPECT_FALSE(form->ShowPixels());
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->SpinEdit1->MinValue(), 100);
  EXPECT_EQ(form->SpinEdit1->MaxValue(), 2000);
  for (TSpinEdit* f : {form->SpinEdit2, form->SpinEdit3}) {
    EXPECT_EQ(f->MinValue(), 3);
    EXPECT_EQ(f->MaxValue(), 20);
    EXPECT_EQ(f->Increment(), 1);
  }
}

TEST_F(SetupDialogTest, FirstStartWithoutAFileShowsTheDefaultsAndWritesNothing) {
  form->READ_INI();  // the main window's first show
  ExpectDefaults(*form);
  EXPECT_EQ(mirrored, std::vector<bool>{false});
  Open();
  ExpectDefaults(*form);
  form->Button2->click();  // "Abbruch", answered "&Nein"
  EXPECT_EQ(questions, 1);
  EXPECT_FALSE(std::filesystem::exists(iniPath));
  EXPECT_TRUE(timerIntervals.empty());

  // Shown without a file and without the first READ_INI: only three colours change.
  MakeForm(iniPath);
  form->SpinEdit1->SetValue(700);
  form->ColorComboBox4->SetColorValue(clBlue);
  Open();
  EXPECT_EQ(form->BackColor(), clGreen);
  EXPECT_EQ(form->GridColor(), clLime);
  EXPECT_EQ(form->DotsColor(), clYellow);
  EXPECT_EQ(form->GraphColor(), clBlue);
  EXPECT_EQ(form->FontColor(), clBlack);
  EXPECT_EQ(form->GraphSpeed(), 700);
  EXPECT_FALSE(std::filesystem::exists(iniPath));
}

TEST_F(SetupDialogTest, SavingTheDefaultsWritesTheFileByteForByteAndAppliesTheInterval) {
  form->READ_INI();
  Open();
  EXPECT_TRUE(timerIntervals.empty()) << "loading never touches the lamp timer";
  form->Button1->click();
  EXPECT_EQ(qvtest::ReadFile(iniPath), kDefaultsFile);
  EXPECT_EQ(timerIntervals, std::vector<int>{200});
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(errors.empty());

  // A changed interval takes effect with the next save only.
  Open();
  form->SpinEdit1->SetValue(650);
  EXPECT_EQ(timerIntervals, std::vector<int>{200});
  form->Button1->click();
  EXPECT_EQ(timerIntervals, (std::vector<int>{200, 650}));
}

TEST_F(SetupDialogTest, SavingOverAHandEditedFileChangesOnlyTheNineValues) {
  qvtest::WriteFile(iniPath,
                    "; Quorvel settings\r\n"
                    "[Other]\r\nx=1\r\n\r\n"
                    "[color]\r\n1 = 255\r\n9=keep\r\n4=0x0000FF\r\n\r\n"
                    "[Speed]\r\n# comment\r\n3=15\r\n1=5000\r\n");
  Open();  // loads the file
  EXPECT_EQ(form->BackColor(), clRed);
  EXPECT_EQ(form->GraphColor(), clRed);
  EXPECT_EQ(form->GridCountX(), 15);
  EXPECT_EQ(form->GraphSpeed(), 2000);
  form->ColorComboBox5->SetColorValue(clWhite);
  form->Button1->click();
  EXPECT_EQ(qvtest::ReadFile(iniPath),
            "; Quorvel settings\r\n"
            "[Other]\r\nx=1\r\n\r\n"
            "[color]\r\n1 = 255\r\n9=keep\r\n4=255\r\n2=65280\r\n3=65535\r\n5=16777215\r\n\r\n"
            "[Speed]\r\n# comment\r\n3=15\r\n1=2000\r\n2=10\r\n"
            "[Einstellungen]\r\n3=0\r\n");
}

TEST_F(SetupDialogTest, ValuesFromTheFileAreClampedOrDefaulted) {
  qvtest::WriteFile(iniPath,
                    "[COLOR]\n1=letters\n2=$FF0000\n3=0x123456\n4=0x0000FF\n5=-16\n"
                    "[SPEED]\n1=5000\n2=1\n3=junk\n[Einstellungen]\n3=7\n");
  form->READ_INI();
  EXPECT_EQ(form->BackColor(), clGreen);
  EXPECT_EQ(form->GridColor(), clBlue);
  EXPECT_EQ(form->DotsColor(), 0x123456) << "a colour outside the list stays the value";
  EXPECT_EQ(form->GraphColor(), 255);
  EXPECT_EQ(form->FontColor(), -16);
  EXPECT_EQ(form->SpinEdit1->text(), "2000");
  EXPECT_EQ(form->SpinEdit2->text(), "3");
  EXPECT_EQ(form->GridCountX(), 10);
  EXPECT_TRUE(form->ShowPixels());

  // ...and an unlisted colour is written back as it came.
  form->Button1->click();
  const std::string saved = qvtest::ReadFile(iniPath);
  EXPECT_NE(saved.find("3=1193046\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("5=-16\n"), std::string::npos) << saved;
}

TEST_F(SetupDialogTest, LoadingSetsColoursThenThePixelChoiceThenNumbersThenMirrors) {
  qvtest::WriteFile(iniPath, "[COLOR]\n1=255\n[SPEED]\n1=500\n[Einstellungen]\n3=1\n");
  std::vector<std::pair<TColor, int>> seenAtToggle;
  QObject::connect(form->CheckBox3, &QCheckBox::toggled, form.get(),
                   [&] { seenAtToggle.emplace_back(form->BackColor(), form->GraphSpeed()); });
  std::vector<int> speedAtMirror;
  form->MirrorShowPixels = [&](bool on) {
    speedAtMirror.push_back(form->GraphSpeed());
    form->CheckBox3->setChecked(on);  // what the main window's radio button writes back
  };
  form->READ_INI();
  EXPECT_EQ(seenAtToggle, (std::vector<std::pair<TColor, int>>{{clRed, 200}}));
  EXPECT_EQ(speedAtMirror, std::vector<int>{500});
  EXPECT_TRUE(form->ShowPixels());

  qvtest::WriteFile(iniPath, "[Einstellungen]\n3=0\n");
  form->MirrorShowPixels = [&](bool on) { mirrored.push_back(on); };
  form->READ_INI();
  EXPECT_EQ(mirrored, std::vector<bool>{false});
  EXPECT_FALSE(form->ShowPixels());
  EXPECT_TRUE(timerIntervals.empty());
  EXPECT_FALSE(form->isVisible()) << "loading neither shows nor closes the dialog";
}

TEST_F(SetupDialogTest, AbbruchWithJaReloadsTheFileAndWithNeinKeepsTheChanges) {
  qvtest::WriteFile(iniPath, "[COLOR]\n1=255\n");
  form->READ_INI();
  Open();
  form->ColorComboBox1->SetColorValue(clBlue);
  form->CheckBox3->setChecked(true);
  EXPECT_EQ(form->BackColor(), clBlue) << "the displays see the change while the dialog is open";

  answer = false;
  form->Button2->click();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->BackColor(), clBlue);
  EXPECT_TRUE(form->ShowPixels());

  answer = true;
  form->Button2->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->BackColor(), clRed);
  EXPECT_FALSE(form->ShowPixels());
  EXPECT_EQ(questions, 2);
  EXPECT_TRUE(timerIntervals.empty());
  EXPECT_EQ(qvtest::ReadFile(iniPath), "[COLOR]\n1=255\n");
}

TEST_F(SetupDialogTest, AbbruchAsksTheQuestionBoxAndItsJaButtonLeaves) {
  std::unique_ptr<QMessageBox> box(TForm2::MakeCancelQuestion(nullptr));
  EXPECT_EQ(box->windowTitle(), QString::fromUtf8("Bestätigung"));
  EXPECT_EQ(box->text(), QString::fromUtf8("Möchten Sie das Setup beenden ohne Änderungen abzuspeichern?"));
  EXPECT_EQ(box->icon(), QMessageBox::Question);
  QStringList texts;
  for (QAbstractButton* b : box->buttons()) texts << b->text();
  texts.sort();
  EXPECT_EQ(texts, (QStringList{"&Ja", "&Nein"}));

  // The real box, answered by clicking its buttons.
  auto answerWith = [](const QString& text) {
    QTimer::singleShot(0, [text] {
      QMessageBox* shown = nullptr;
      qvtest::WaitFor([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
          if (auto* m = qobject_cast<QMessageBox*>(w); m && m->isVisible()) shown = m;
        return shown != nullptr;
      });
      ASSERT_NE(shown, nullptr);
      for (QAbstractButton* b : shown->buttons())
        if (b->text() == text) b->click();
    });
  };
  form = std::make_unique<TForm2>(nullptr, iniPath);  // default question box
  form->ReportError = [this](const std::exception& e) { errors.emplace_back(e.what()); };
  Open();
  form->ColorComboBox2->SetColorValue(clWhite);
  answerWith("&Nein");
  form->Button2->click();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->GridColor(), clWhite);
  answerWith("&Ja");
  form->Button2->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->GridColor(), clLime);
  EXPECT_TRUE(errors.empty());
}

TEST_F(SetupDialogTest, ReopeningAfterTheFileWasDeletedResetsOnlyThreeColours) {
  qvtest::WriteFile(iniPath,
                    "[COLOR]\n1=255\n2=128\n3=0\n4=16711680\n5=16777215\n"
                    "[SPEED]\n1=900\n2=5\n3=7\n[Einstellungen]\n3=1\n");
  form->READ_INI();
  std::filesystem::remove(iniPath);
  Open();
  EXPECT_EQ(form->BackColor(), clGreen);
  EXPECT_EQ(form->GridColor(), clLime);
  EXPECT_EQ(form->DotsColor(), clYellow);
  EXPECT_EQ(form->GraphColor(), clBlue);
  EXPECT_EQ(form->FontColor(), clWhite);
  EXPECT_EQ(form->GraphSpeed(), 900);
  EXPECT_EQ(form->GridCountY(), 5);
  EXPECT_EQ(form->GridCountX(), 7);
  EXPECT_TRUE(form->ShowPixels());
  EXPECT_EQ(mirrored, std::vector<bool>{true}) << "no load, no mirroring";
}

TEST_F(SetupDialogTest, AnUnwritableFileStopsTheSaveAndKeepsTheDialogOpen) {
  qvtest::WriteFile(dir / "notafolder", "x");
  const auto blocked = dir / "notafolder" / "Quorvel.ini";
  MakeForm(blocked);
  Open();
  form->Button1->click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "In " + blocked.string() + " kann nicht geschrieben werden");
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(timerIntervals.empty());
}

TEST_F(SetupDialogTest, AWriteFailingHalfwayKeepsTheEarlierValues) {
  form->READ_INI();
  Open();
  // Room for the first four colour lines only; the fifth write meets EFBIG.
  const std::string firstFour = "[COLOR]\n1=32768\n2=65280\n3=65535\n4=0\n";
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = firstFour.size();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  form->Button1->click();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(qvtest::ReadFile(iniPath), firstFour);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "In " + iniPath.string() + " kann nicht geschrieben werden");
  EXPECT_TRUE(timerIntervals.empty());
  EXPECT_TRUE(form->isVisible());

  // With room again the same dialog saves everything.
  form->Button1->click();
  EXPECT_EQ(qvtest::ReadFile(iniPath), kDefaultsFile);
  EXPECT_FALSE(form->isVisible());
}

TEST_F(SetupDialogTest, ANumberTypedBeyondItsRangeIsSavedClamped) {
  form->READ_INI();
  Open();
  form->SpinEdit1->setText("5000");
  form->SpinEdit2->setText("");
  EXPECT_EQ(form->GraphSpeed(), 5000) << "read as typed while the field is edited";
  EXPECT_EQ(form->GridCountY(), 3);
  form->Button1->click();
  EXPECT_EQ(form->SpinEdit1->text(), "2000");
  EXPECT_EQ(timerIntervals, std::vector<int>{2000});
  EXPECT_NE(qvtest::ReadFile(iniPath).find("[SPEED]\n1=2000\n2=3\n"), std::string::npos);
}

TEST_F(SetupDialogTest, ComSetupOpensThePortDialogAndReportsItsErrors) {
  form->Button3->click();
  EXPECT_EQ(portSetups, 1);
  form->ShowPortSetup = [] { throw std::runtime_error("Unable to enumerate serial ports"); };
  form->Button3->click();
  EXPECT_EQ(errors, std::vector<std::string>{"Unable to enumerate serial ports"});
  EXPECT_FALSE(std::filesystem::exists(iniPath));
}

TEST_F(SetupDialogTest, EscapeAndEnterLeaveTheDialogOpen) {
  Open();
  for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    QKeyEvent ev(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &ev);
  }
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(questions, 0);
  EXPECT_FALSE(std::filesystem::exists(iniPath));
  for (QPushButton* b : {form->Button1, form->Button2, form->Button3}) {
    EXPECT_FALSE(b->isDefault());
    EXPECT_FALSE(b->autoDefault());
  }
}

TEST_F(SetupDialogTest, LaysOutItsControlsAsDesigned) {
  EXPECT_EQ(form->windowTitle(), "Setup");
  EXPECT_EQ(form->minimumSize(), QSize(281, 345));
  EXPECT_EQ(form->maximumSize(), QSize(281, 345));
  const Qt::WindowFlags flags = form->windowFlags();
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_FALSE(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint));
  EXPECT_TRUE(form->isModal());
  EXPECT_EQ(form->font().family(), "MS Sans Serif");
  EXPECT_EQ(form->font().pointSize(), 8);

  struct Expect {
    QWidget* w;
    QWidget* parent;
    QRect r;
    QString text;
  };
  QWidget* g = form->GroupBox2;
  const std::vector<Expect> table = {
      {form->Button3, form.get(), {8, 8, 75, 21}, "COM Setup"},
      {form->Button2, form.get(), {96, 8, 61, 21}, "Abbruch"},
      {form->Button1, form.get(), {168, 8, 106, 21}, "Speichern und Ende"},
      {form->GroupBox2, form.get(), {10, 50, 263, 287}, "Graph Settings"},
      {form->ColorComboBox4, g, {45, 20, 131, 22}, {}},
      {form->ColorComboBox1, g, {45, 45, 131, 22}, {}},
      {form->ColorComboBox2, g, {45, 70, 131, 22}, {}},
      {form->ColorComboBox3, g, {45, 95, 131, 22}, {}},
      {form->ColorComboBox5, g, {45, 119, 131, 22}, {}},
      {form->SpinEdit1, g, {48, 160, 73, 22}, "200"},
      {form->SpinEdit2, g, {48, 184, 73, 22}, "10"},
      {form->SpinEdit3, g, {48, 208, 73, 22}, "10"},
      {form->CheckBox3, g, {12, 245, 97, 17}, "Zeige Pixel"},
  };
  for (const Expect& e : table) {
    SCOPED_TRACE(e.w->objectName().toStdString());
    EXPECT_EQ(e.w->parentWidget(), e.parent);
    EXPECT_EQ(e.w->geometry(), e.r);
    if (auto* b = qobject_cast<QAbstractButton*>(e.w)) {
      EXPECT_EQ(b->text(), e.text);
    } else if (auto* f = qobject_cast<QLineEdit*>(e.w)) {
      EXPECT_EQ(f->text(), e.text);
    } else if (auto* box = qobject_cast<QGroupBox*>(e.w)) {
      EXPECT_EQ(box->title(), e.text);
    }
  }
  const std::vector<std::tuple<QLabel*, QPoint, QString>> labels = {
      {form->Label1, {10, 25}, "Graph"},       {form->Label5, {10, 50}, "Back"},
      {form->Label8, {10, 75}, "Grid"},        {form->Label9, {10, 100}, "Dots"},
      {form->Label7, {10, 124}, "Font"},       {form->Label2, {10, 164}, "Speed"},
      {form->Label3, {122, 164}, "mS"},        {form->Label4, {10, 188}, "Graph"},
      {form->Label6, {122, 188}, "Anzahl Y"},  {form->Label10, {10, 212}, "Graph"},
      {form->Label11, {122, 212}, "Anzahl X"},
  };
  for (const auto& [l, p, text] : labels) {
    EXPECT_EQ(l->parentWidget(), g);
    EXPECT_EQ(l->pos(), p) << text.toStdString();
    EXPECT_EQ(l->text(), text);
  }
}

TEST_F(SetupDialogTest, ButtonCaptionsFitTheirFixedWidths) {
  for (QPushButton* b : {form->Button1, form->Button2, form->Button3}) {
    const int textWidth = QFontMetrics(b->font()).horizontalAdvance(b->text());
    EXPECT_LE(textWidth + 12, b->width()) << b->text().toStdString();
    EXPECT_GE(b->font().pointSizeF(), 6.0);
  }
}

TEST_F(SetupDialogTest, TabbingFollowsTheDesignedOrder) {
  Open();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(qvtest::WaitFor([&] { return form->isActiveWindow(); }));
  form->Button1->setFocus(Qt::OtherFocusReason);
  std::vector<QWidget*> visited;
  for (int i = 0; i < 12; ++i) {
    visited.push_back(QApplication::focusWidget());
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &tab);
  }
  const std::vector<QWidget*> expected = {form->Button1,        form->ColorComboBox1, form->ColorComboBox2,
                                          form->ColorComboBox3, form->ColorComboBox4, form->CheckBox3,
                                          form->SpinEdit1,      form->SpinEdit2,      form->ColorComboBox5,
                                          form->SpinEdit3,      form->Button3,        form->Button2};
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(QApplication::focusWidget(), form->Button1) << "the order wraps around";
}

TEST_F(SetupDialogTest, OpensCentredFirstAndThenWhereItWasLeft) {
  const auto placementFile = form->FormPlacement1->IniFilePath();
  std::filesystem::remove(placementFile);
  EXPECT_EQ(form->FormPlacement1->Section(), "TForm2");
  EXPECT_EQ(placementFile.parent_path(), qvtest::IsolatedRoot() / "config" / "quorvel");

  Open();
  const QRect screen = form->screen()->availableGeometry();
  EXPECT_EQ(form->frameGeometry().center(), screen.center());
  EXPECT_EQ(form->size(), QSize(281, 345));

  form->move(37, 52);
  form->Button1->click();
  ASSERT_FALSE(form->isVisible());
  EXPECT_NE(qvtest::ReadFile(placementFile).find("[TForm2]"), std::string::npos);

  Open();
  EXPECT_EQ(form->pos(), QPoint(37, 52));
  form->Button2->click();  // answered "&Nein": still open
  answer = true;
  form->Button2->click();

  // The next run of the program opens it there too, with its own size.
  MakeForm(iniPath);
  Open();
  EXPECT_EQ(form->pos(), QPoint(37, 52));
  EXPECT_EQ(form->size(), QSize(281, 345));
  EXPECT_FALSE(form->CentresOnShow());
}

TEST_F(SetupDialogTest, TheDisplaysDrawWithWhatTheControlsHoldAtEachTick) {
  form->READ_INI();
  Open();
  TMeasurement state;
  TDisplays displays;
  QImage window(200, 200, QImage::Format_RGB32);
  // The corner of a trace panel shows its background colour.
  auto backgroundOfNextTick = [&] {
    window.fill(Qt::white);
    displays.INIT(0, 0, 100, 100, 0, TDisplayInputs{state, *form, false, {}}, window);
    return window.pixelColor(0, 0);
  };
  EXPECT_EQ(backgroundOfNextTick(), QColor(0, 128, 0));
  form->ColorComboBox1->SetColorValue(clRed);
  EXPECT_EQ(backgroundOfNextTick(), QColor(255, 0, 0)) << "unsaved, and shown at once";
  answer = true;
  form->Button2->click();
  EXPECT_EQ(backgroundOfNextTick(), QColor(0, 128, 0)) << "gone once the file is reloaded";
}

}  // namespace
