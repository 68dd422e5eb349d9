#pragma once
// The program's assembly, in one place: the session, its sources (the main
// window's port, a replay) and every subscriber (the workshop view, the
// recorder). Adding a capability is one class that subscribes to the
// session, and one line in Program.cpp.
#include <memory>
#include <optional>
#include <string>

#include "Session.h"

class TForm1;

namespace qv::phone {
class PhoneServer;
}

namespace qv {

struct CommandLine;
class TPortSession;
class TRecordingControl;
class ToneOutputSound;
class WorkshopLauncher;
class PhoneSwitch;

namespace guard {
class EngineGuard;
}

class TProgram {
 public:
  // Joins everything to `form`, which must outlive this; the command line's
  // --record takes effect at once, --workshop and --replay with Show().
  TProgram(TForm1& form, const CommandLine& cl);
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Shows the main window, then what the command line asked for.
  void Show();

  [[nodiscard]] session::Session& Session() { return session_; }
  [[nodiscard]] WorkshopLauncher& Workshop() { return *workshop_; }
  [[nodiscard]] TRecordingControl& Recording() { return *recording_; }
  [[nodiscard]] PhoneSwitch& Phone() { return *phone_; }
  [[nodiscard]] phone::PhoneServer& PhoneServer() { return *phone_server_; }
  [[nodiscard]] guard::EngineGuard& Guard() { return *guard_; }
  [[nodiscard]] ToneOutputSound& Tone() { return *tone_; }

 private:
  TForm1& form_;
  const bool open_workshop_;
  const std::optional<std::string> replay_;
  session::Session session_;
  std::unique_ptr<TPortSession> port_;
  WorkshopLauncher* workshop_ = nullptr;  // the window's child
  std::unique_ptr<TRecordingControl> recording_;
  const std::optional<std::string> phone_wanted_;  // --phone[=ADDRESS]
  std::unique_ptr<phone::PhoneServer> phone_server_;
  std::unique_ptr<PhoneSwitch> phone_;
  std::unique_ptr<guard::EngineGuard> guard_;
  std::unique_ptr<ToneOutputSound> tone_;
};

}  // namespace qv
