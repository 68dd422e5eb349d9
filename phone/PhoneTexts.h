#pragma once
// The phone view's texts on the laptop and in the server's own pages, in
// German (the default) and English. The phone page carries its own words
// (page/app.js) and picks them by the browser's language.
#include <initializer_list>
#include <string>
#include <string_view>

#include "TextCatalogue.h"

namespace qv::phone {

using qv::Language;

enum class TextId {
  kPhone,  // the switch in the workshop view
  kPhoneTip,
  kDisconnectAll,
  kPhonesConnected,  // "%1": how many
  kScanHint,
  kNoAddress,      // no interface to offer the page on
  kNotOwnAddress,  // "%1": an address given that is not the machine's
  kNotStarted,     // "%1": why
  kForbiddenTitle,
  kForbiddenBody,  // what to do when the link is no longer valid
  kRefused,        // "%1": the status, for every other refusal
  kBusy,           // more phones than allowed
  kPanelTitle,     // the window with the QR code
  kAddressLabel,
  kAddressTip,
  kCodeName,  // the QR code's accessible name
  kDisconnectTip,
  kThisComputerOnly,  // beside the loopback address in the choice
  kStartedLine,       // "%1": the page's address, printed by --phone
  kCount
};

[[nodiscard]] std::string_view Text(TextId id, Language lang);
[[nodiscard]] std::string Format(TextId id, Language lang, std::initializer_list<std::string_view> args);

// The language of a request's Accept-Language ("de-DE,de;q=0.9,en;q=0.8"):
// its first entry naming German or English; German when none does.
[[nodiscard]] Language LanguageOfAcceptLanguage(std::string_view header);

}  // namespace qv::phone
