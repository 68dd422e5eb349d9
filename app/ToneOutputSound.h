#pragma once
// The workshop view's guidance tone on the sound server: the view's
// ToneSound over a ToneOutput, which is made at the first start, so with the
// tone off no sound server is ever contacted. The output's news of its
// status, from its own thread, reaches the view on the user-interface thread.
#include <QObject>
#include <memory>

#include "ToneOutput.h"
#include "ToneSound.h"

namespace qv {

class ToneOutputSound : public QObject, public workshop::ToneSound {
  Q_OBJECT

 public:
  explicit ToneOutputSound(tone::OutputOptions options = {}, QObject* parent = nullptr);
  ~ToneOutputSound() override;

  void SetOn(bool on) override;
  void SetInput(const tone::GuidanceInput& input) override;
  void SetVolume(double volume) override;
  [[nodiscard]] bool Unavailable() const override;

  // The output once made, else nullptr (for measuring).
  [[nodiscard]] tone::ToneOutput* Output() const { return output_.get(); }

 private:
  tone::OutputOptions options_;
  tone::GuidanceInput input_;
  double volume_ = 0.5;
  std::unique_ptr<tone::ToneOutput> output_;
};

}  // namespace qv
