#pragma once
// The settings dialog "Setup". Its controls are the one place where the
// display settings live: the displays read them through TGraphSettings at
// every drawing, so a change shows at the next tick, saved or not. The dialog
// loads them from and saves them to the settings file "Quorvel.ini".
//
// The dialog knows nothing of the main window: what it does to it (the lamp
// timer's interval, the hidden "Pixel"/"Line" buttons, the port's setup
// dialog, the error report) goes through the hooks below, set by the owner.
#include <QDialog>
#include <exception>
#include <filesystem>
#include <functional>

#include "GraphSettings.h"
#include "Placemnt.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QMessageBox;
class QPushButton;
class TColorComboBox;
class TSpinEdit;

class TForm2 : public QDialog, public TGraphSettings, public qv::PositionRule {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 281;
  static constexpr int kClientHeight = 345;

  // `settingsFile` empty: qv::SettingsFilePath(), fixed for the dialog's life.
  explicit TForm2(QWidget* parent = nullptr, std::filesystem::path settingsFile = {});
  ~TForm2() override;

  [[nodiscard]] const std::filesystem::path& SettingsFile() const { return settings_file_; }

  // Loads the file into the controls (a missing file or value gives the
  // defaults, numbers are clamped into their fields) and mirrors ShowPixels.
  void READ_INI();
  // Writes the nine values one key at a time, then applies the interval.
  // A failed write throws EIniFileError and stops the save there.
  void SAVE_INI();
  // Runs each time the dialog is shown, after its placement was restored.
  void FormShow();
  // "Speichern und Ende", "Abbruch", "COM Setup".
  void Button1Click();
  void Button2Click();
  void Button3Click();

  // Centres the dialog on the screen before it is shown, until a stored
  // placement has been restored (that switches to the designed position).
  void setVisible(bool visible) override;
  bool CentresOnShow() const override { return centre_on_show_; }
  void UseDesignedPosition() override { centre_on_show_ = false; }

  // TGraphSettings: the controls' current state, read at each call.
  TColor BackColor() const override;
  TColor GridColor() const override;
  TColor DotsColor() const override;
  TColor GraphColor() const override;
  TColor FontColor() const override;
  int GraphSpeed() const override;
  int GridCountY() const override;
  int GridCountX() const override;
  bool ShowPixels() const override;

  // The question of "Abbruch", built but not shown.
  [[nodiscard]] static QMessageBox* MakeCancelQuestion(QWidget* parent);

  // Hooks of the owner. Unset hooks do nothing, except the two with defaults.
  std::function<void(bool pixels)> MirrorShowPixels;  // select "Pixel" (true) or "Line" (false)
  std::function<void(int ms)> SetTimer1Interval;      // the receive lamp's hold time
  std::function<void()> ShowPortSetup;                // the port's setup dialog
  // Asks whether to leave without saving; true for "&Ja". Default: the question box.
  std::function<bool()> ConfirmCancel;
  // Shows an error that ended a button's handler. Default: a message box.
  std::function<void(const std::exception&)> ReportError;

  // The controls, under the names the rest of the program uses for them.
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label11 = nullptr;
  TColorComboBox* ColorComboBox1 = nullptr;
  TColorComboBox* ColorComboBox2 = nullptr;
  TColorComboBox* ColorComboBox3 = nullptr;
  TColorComboBox* ColorComboBox4 = nullptr;
  TColorComboBox* ColorComboBox5 = nullptr;
  TSpinEdit* SpinEdit1 = nullptr;
  TSpinEdit* SpinEdit2 = nullptr;
  TSpinEdit* SpinEdit3 = nullptr;
  QCheckBox* CheckBox3 = nullptr;
  TFormPlacement* FormPlacement1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
  void SetTabOrder();
  void Report(const std::exception& e);

  std::filesystem::path settings_file_;
  bool centre_on_show_ = true;
};
