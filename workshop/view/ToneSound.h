#pragma once
// The guidance tone's sound as the workshop view drives it: the program hands
// in its output on the sound server, tests a stand-in. The view switches it
// on and off, hands it the followed difference whenever what it shows
// changes, and shows whether any sound can be heard.
#include <functional>

#include "Guidance.h"

namespace qv::workshop {

class ToneSound {
 public:
  virtual ~ToneSound() = default;
  // Starts or stops the sound; no sound server is contacted before the first start.
  virtual void SetOn(bool on) = 0;
  virtual void SetInput(const tone::GuidanceInput& input) = 0;
  virtual void SetVolume(double volume) = 0;  // 0..1
  // The output found no sound server, or lost it, since it was last started.
  [[nodiscard]] virtual bool Unavailable() const = 0;
  // Set by the view: called on the user-interface thread when Unavailable()
  // may have changed.
  std::function<void()> OnChanged;
};

}  // namespace qv::workshop
