#pragma once
// Ties the settings dialog to the main window: the window reads its display
// settings from the dialog's controls and has it read the settings file; the
// dialog mirrors "Zeige Pixel" into the window's hidden Pixel/Line buttons,
// sets the receive lamp's hold time and opens the port's setup dialog.
class TForm1;
class TForm2;

namespace qv {

// Both windows must live as long as the other uses them: the program keeps
// the dialog until after the main window is gone.
void AttachSettingsDialog(TForm1& form, TForm2& dialog);

}  // namespace qv
