#include "Keys.h"

#include <cstdio>

namespace qv::sim {

std::vector<KeyCommand> KeyDecoder::Feed(std::string_view bytes) {
  std::vector<KeyCommand> out;
  for (char c : bytes) {
    if (escape_ == 1) {
      escape_ = (c == '[' || c == 'O') ? 2 : 0;
      if (escape_ != 0) continue;
    } else if (escape_ == 2) {
      escape_ = 0;
      if (c == 'A') out.push_back({KeyCommand::kRaise});
      if (c == 'B') out.push_back({KeyCommand::kLower});
      continue;
    }
    switch (c) {
      case '\x1b': escape_ = 1; break;
      case '1':
      case '2':
      case '3':
      case '4': out.push_back({KeyCommand::kSelect, c - '1'}); break;
      case '+':
      case '=': out.push_back({KeyCommand::kRaise}); break;
      case '-':
      case '_': out.push_back({KeyCommand::kLower}); break;
      case 'o':
      case 'O': out.push_back({KeyCommand::kOverpressure}); break;
      case 'q':
      case 'Q': out.push_back({KeyCommand::kQuit}); break;
      default: break;
    }
  }
  return out;
}

double KeyStep(Scenario s) { return s == Scenario::kPractice ? kPracticeStep : kOffsetStep; }

std::string MechanicHand::Apply(const KeyCommand& key) {
  switch (key.kind) {
    case KeyCommand::kSelect: selected_ = key.channel; break;
    case KeyCommand::kRaise: engine_.AdjustOffset(selected_, step_); break;
    case KeyCommand::kLower: engine_.AdjustOffset(selected_, -step_); break;
    case KeyCommand::kOverpressure: engine_.SetOverpressure(selected_, !engine_.Overpressure(selected_)); break;
    case KeyCommand::kQuit: return {};
  }
  return Status();
}

std::string MechanicHand::Status() const {
  char line[128];
  std::snprintf(line, sizeof line, "cylinder %d: offset %+.0f mBar, overpressure %s", selected_ + 1,
                engine_.UserOffset(selected_), engine_.Overpressure(selected_) ? "on" : "off");
  return line;
}

}  // namespace qv::sim
