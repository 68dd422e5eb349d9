#include "Startup.h"

#include <QCheckBox>
#include <QRadioButton>

#include "AppErrors.h"
#include "UnitMain.h"
#include "setup.h"

namespace qv {

void AttachSettingsDialog(TForm1& form, TForm2& dialog) {
  form.SetGraphSettings(&dialog);
  form.SetShowPixels = [&dialog](bool on) { dialog.CheckBox3->setChecked(on); };
  form.ReadSettingsFile = [&dialog] { dialog.READ_INI(); };
  // The dialog's result does not matter: it saves or abandons on its own.
  form.ShowSettingsDialog = [&dialog] { dialog.exec(); };

  // Selecting a radio button runs its handler, which writes the same value back.
  dialog.MirrorShowPixels = [&form](bool pixels) {
    (pixels ? form.RadioButton1 : form.RadioButton2)->setChecked(true);
  };
  dialog.SetTimer1Interval = [&form](int ms) { form.Timer1.SetInterval(ms); };
  dialog.ShowPortSetup = [&form] { form.ComPort1->ShowPortSetup(); };
  dialog.ReportError = [](const std::exception& e) { ReportError(e); };
}

}  // namespace qv
