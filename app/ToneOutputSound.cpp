#include "ToneOutputSound.h"

#include <QMetaObject>
#include <QPointer>

namespace qv {

ToneOutputSound::ToneOutputSound(tone::OutputOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
  setObjectName(QStringLiteral("ToneOutputSound"));
}

ToneOutputSound::~ToneOutputSound() { output_.reset(); }

void ToneOutputSound::SetOn(bool on) {
  if (!on) {
    if (output_) output_->Stop();
    return;
  }
  if (!output_) {
    output_ = std::make_unique<tone::ToneOutput>(options_);
    // Called from Start/Stop or the output's thread: handed to ours, where it
    // is dropped if this has gone meanwhile.
    output_->OnStatus = [self = QPointer<ToneOutputSound>(this)](tone::OutputStatus) {
      QMetaObject::invokeMethod(
          self.data(),
          [self] {
            if (self && self->OnChanged) self->OnChanged();
          },
          Qt::QueuedConnection);
    };
  }
  output_->SetInput(input_);
  output_->SetVolume(volume_);
  output_->Start();
}

void ToneOutputSound::SetInput(const tone::GuidanceInput& input) {
  input_ = input;
  if (output_) output_->SetInput(input);
}

void ToneOutputSound::SetVolume(double volume) {
  volume_ = volume;
  if (output_) output_->SetVolume(volume);
}

bool ToneOutputSound::Unavailable() const { return output_ && output_->Status() == tone::OutputStatus::kUnavailable; }

}  // namespace qv
