#include "WorkshopBackend.h"

#include <memory>

#include "UnitMain.h"
#include "WorkshopModelSource.h"

namespace qv {

WorkshopLauncher::Backend MakeWorkshopBackend(TForm1& form) {
  TForm1* f = &form;
  auto source = std::make_shared<WorkshopModelSource>([f] { return f->ComPort1->Port(); });
  return {source, source};
}

}  // namespace qv
