#pragma once
// The workshop view's backend for the program: the workshop model fed from
// the main window, its settings in workshop.ini, the zero offsets kept under
// the name of the window's port.
#include "WorkshopLauncher.h"

class TForm1;

namespace qv {

[[nodiscard]] WorkshopLauncher::Backend MakeWorkshopBackend(TForm1& form);

}  // namespace qv
