#pragma once
// The small window that steers a replay: it says plainly that a replay, not a
// live measurement, is showing, names the file and the position, and offers
// pause, speed, a position slider and the end of the replay. It only shows
// what it is told and reports what the user chose.
#include <QWidget>
#include <cstdint>
#include <functional>

#include "RecordingTexts.h"

class QComboBox;
class QLabel;
class QMimeData;
class QPushButton;
class QSlider;

namespace qv {

class TReplayWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TReplayWindow(QWidget* parent = nullptr, rec::Language language = rec::Language::German);

  // A new replay: the file's name, its length, and a note on its damage (empty when whole).
  void ShowReplay(const QString& file, std::uint64_t duration_us, const QString& damage);
  void ShowPosition(std::uint64_t position_us, bool playing, bool at_end);

  std::function<void()> OnPauseClicked;
  std::function<void(double)> OnSpeedChosen;
  std::function<void(std::uint64_t)> OnSeek;  // microseconds
  std::function<void()> OnEndClicked;
  std::function<void(const QString&)> OnFileDropped;

  // Speeds offered, slowest first; x1 is chosen at the start of a replay.
  static constexpr double kSpeeds[] = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0};

  QLabel* Banner = nullptr;
  QLabel* FileLabel = nullptr;
  QLabel* PositionLabel = nullptr;
  QLabel* DamageLabel = nullptr;
  QSlider* Position = nullptr;
  QPushButton* PauseButton = nullptr;
  QComboBox* Speed = nullptr;
  QPushButton* EndButton = nullptr;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void SeekToSlider();
  [[nodiscard]] QString Tr(rec::TextId id) const;
  rec::Language language_;
  std::uint64_t duration_us_ = 0;
};

// The first local file among dropped data; empty when there is none.
[[nodiscard]] QString DroppedFile(const QMimeData* mime);

// "mm:ss.t", or "h:mm:ss.t" from an hour on.
[[nodiscard]] QString FormatReplayTime(std::uint64_t us);

}  // namespace qv
