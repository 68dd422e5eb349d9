#include "PhoneTexts.h"

#include <vector>

namespace qv::phone {
namespace {

using enum TextId;

constexpr CatalogueEntry<TextId> kTexts[] = {
    {kPhone, "Telefon", "Phone"},
    {kPhoneTip, "Die Messwerte auf einem Telefon im Werkstattnetz zeigen (nur ansehen)",
     "Show the readings on a phone on the workshop network (view only)"},
    {kDisconnectAll, "alle trennen", "disconnect all"},
    {kPhonesConnected, "Verbundene Telefone: %1", "Phones connected: %1"},
    {kScanHint, "Mit der Kamera des Telefons scannen", "Scan with the phone's camera"},
    {kNoAddress, "Keine Netzwerkadresse gefunden: Ist der Rechner mit dem Werkstattnetz verbunden?",
     "No network address found: is the computer connected to the workshop network?"},
    {kNotOwnAddress, "%1 ist keine Adresse dieses Rechners", "%1 is not an address of this computer"},
    {kNotStarted, "Telefonansicht nicht gestartet: %1", "Phone view not started: %1"},
    {kForbiddenTitle, "Kein Zugang", "No access"},
    {kForbiddenBody,
     "Dieser Link gilt nicht (mehr). Bitte den QR-Code in der Werkstattansicht des Rechners neu scannen.",
     "This link is not valid (any more). Please scan the QR code in the computer's workshop view again."},
    {kRefused, "Anfrage abgelehnt (%1)", "Request refused (%1)"},
    {kBusy, "Zu viele Telefone verbunden. Bitte eines trennen und neu laden.",
     "Too many phones connected. Please disconnect one and reload."},
    {kPanelTitle, "Telefonansicht", "Phone view"},
    {kAddressLabel, "&Adresse:", "&Address:"},
    {kAddressTip, "Die Adresse dieses Rechners im Werkstattnetz, unter der das Telefon die Seite erreicht",
     "This computer's address on the workshop network, where the phone reaches the page"},
    {kCodeName, "QR-Code der Telefonseite", "QR code of the phone page"},
    {kDisconnectTip, "Alle Telefone trennen; danach öffnet nur ein neu gescannter Code die Seite",
     "Disconnect every phone; afterwards only a newly scanned code opens the page"},
    {kThisComputerOnly, "nur dieser Rechner", "this computer only"},
    {kStartedLine, "Telefonansicht: %1", "Phone view: %1"},
};

static_assert(std::size(kTexts) == static_cast<std::size_t>(TextId::kCount), "one entry per text");
static_assert(InIdOrder(kTexts), "entries in the order of TextId");

}  // namespace

std::string_view Text(TextId id, Language lang) { return CatalogueText(kTexts, id, lang); }

std::string Format(TextId id, Language lang, std::initializer_list<std::string_view> args) {
  return FillText(Text(id, lang), args);
}

Language LanguageOfAcceptLanguage(std::string_view header) {
  std::vector<std::string> tags;
  while (!header.empty() && tags.size() < 32) {
    const std::size_t comma = header.find(',');
    std::string_view entry = header.substr(0, comma);
    entry = entry.substr(0, entry.find(';'));
    while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
    while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
    if (!entry.empty()) tags.emplace_back(entry);
    if (comma == std::string_view::npos) break;
    header.remove_prefix(comma + 1);
  }
  return LanguageForLocales(tags);
}

}  // namespace qv::phone
