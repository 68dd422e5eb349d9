#pragma once
// The guidance tone's texts for the workshop view, in German (the default)
// and English.
#include <string>
#include <string_view>

#include "TextCatalogue.h"

namespace qv::tone {

enum class ToneTextId {
  kToggle,  // the tool bar's switch
  kToggleTip,
  kVolume,
  kFollows,         // "Ton folgt"
  kFollowFurthest,  // the default choice of cylinder
  kNoOutput,        // no sound server
  kAccTone,         // accessible name; its value is kAccOff or kAccOn
  kAccOff,
  kAccOn,  // "an, folgt %1"
  kVolumeTip,
  kFollowsTip,
  kFollowNext,   // the key that moves the tone on to the next cylinder
  kFollowsLine,  // the status line: "Ton folgt %1"
  kVolumeValue,  // "%1 %"
};

[[nodiscard]] std::string_view Text(ToneTextId id, Language lang);

// The accessible value: "aus", or "an, folgt Zylinder 3" / "… der größten Abweichung".
[[nodiscard]] std::string AccessibleValue(bool on, int chosenCylinder, Language lang);

}  // namespace qv::tone
