#include "ToneTexts.h"

#include "FollowedCylinder.h"

namespace qv::tone {
namespace {

using enum ToneTextId;

// One line per text: German, then English.
constexpr CatalogueEntry<ToneTextId> kTexts[] = {
    {kToggle, "Ton", "Tone"},
    {kToggleTip, "Führton: piept außerhalb der Toleranz, still innerhalb, ein Gong bei SYNCHRON (Taste T)",
     "Guidance tone: beeps outside the tolerance, silent inside, a chime at IN SYNC (key T)"},
    {kVolume, "Lautstärke", "Volume"},
    {kFollows, "Ton folgt", "Tone follows"},
    {kFollowFurthest, "größte Abweichung", "furthest off"},
    {kNoOutput, "Keine Tonausgabe verfügbar", "No sound output available"},
    {kAccTone, "Führton", "Guidance tone"},
    {kAccOff, "aus", "off"},
    {kAccOn, "an, folgt %1", "on, follows %1"},
    {kVolumeTip, "Lautstärke des Führtons", "Volume of the guidance tone"},
    {kFollowsTip, "Welcher Zylinder den Ton bestimmt (Umschalt+T: der nächste)",
     "Which cylinder the tone follows (Shift+T: the next one)"},
    {kFollowNext, "Ton folgt: nächster Zylinder", "Tone follows: next cylinder"},
    {kFollowsLine, "Ton folgt %1", "Tone follows %1"},
    {kVolumeValue, "%1 %", "%1%"},
};
static_assert(InIdOrder(kTexts));

}  // namespace

std::string_view Text(ToneTextId id, Language lang) { return CatalogueText(kTexts, id, lang); }

std::string AccessibleValue(bool on, int chosenCylinder, Language lang) {
  if (!on) return std::string(Text(kAccOff, lang));
  const std::string followed =
      chosenCylinder >= 0 && chosenCylinder < 4
          ? FillText(Pick(lang, "Zylinder %1", "cylinder %1"), {std::to_string(chosenCylinder + 1)})
          : std::string(Text(kFollowFurthest, lang));
  return FillText(Text(kAccOn, lang), {followed});
}

}  // namespace qv::tone
