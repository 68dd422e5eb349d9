#include "ReplayWindow.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace qv {
namespace {

constexpr int kDefaultSpeedIndex = 2;  // x1

}  // namespace

QString DroppedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

QString FormatReplayTime(std::uint64_t us) {
  const std::uint64_t tenths = us / 100'000;
  const std::uint64_t s = tenths / 10;
  const QString tail = QStringLiteral("%1.%2").arg(s % 60, 2, 10, QLatin1Char('0')).arg(tenths % 10);
  if (s < 3600) return QStringLiteral("%1:").arg(s / 60, 2, 10, QLatin1Char('0')) + tail;
  return QStringLiteral("%1:%2:").arg(s / 3600).arg((s / 60) % 60, 2, 10, QLatin1Char('0')) + tail;
}

TReplayWindow::TReplayWindow(QWidget* parent, rec::Language language) : QWidget(parent, Qt::Tool), language_(language) {
  setObjectName(QStringLiteral("ReplayWindow"));
  setWindowTitle(Tr(rec::TextId::kReplayWindowTitle));
  setAcceptDrops(true);
  Banner = new QLabel(Tr(rec::TextId::kBanner), this);
  QFont bold = Banner->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  Banner->setFont(bold);
  FileLabel = new QLabel(this);
  FileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  DamageLabel = new QLabel(this);
  DamageLabel->setWordWrap(true);
  DamageLabel->hide();
  PositionLabel = new QLabel(this);
  PositionLabel->setObjectName(QStringLiteral("PositionLabel"));
  Position = new QSlider(Qt::Horizontal, this);
  Position->setObjectName(QStringLiteral("Position"));
  PauseButton = new QPushButton(Tr(rec::TextId::kPause), this);
  PauseButton->setObjectName(QStringLiteral("PauseButton"));
  Speed = new QComboBox(this);
  Speed->setObjectName(QStringLiteral("Speed"));
  for (const double s : kSpeeds) Speed->addItem(QStringLiteral("\u00d7%1").arg(s));
  Speed->setAccessibleName(Tr(rec::TextId::kSpeed));
  EndButton = new QPushButton(Tr(rec::TextId::kEndButton), this);
  EndButton->setObjectName(QStringLiteral("EndButton"));

  auto* controls = new QHBoxLayout;
  controls->addWidget(PauseButton);
  controls->addWidget(Speed);
  controls->addStretch();
  controls->addWidget(EndButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Banner);
  layout->addWidget(FileLabel);
  layout->addWidget(DamageLabel);
  layout->addWidget(Position);
  layout->addWidget(PositionLabel);
  layout->addLayout(controls);

  connect(PauseButton, &QPushButton::clicked, this, [this] {
    if (OnPauseClicked) OnPauseClicked();
  });
  connect(EndButton, &QPushButton::clicked, this, [this] {
    if (OnEndClicked) OnEndClicked();
  });
  connect(Speed, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0 && OnSpeedChosen) OnSpeedChosen(kSpeeds[i]);
  });
  connect(Position, &QSlider::valueChanged, this, [this] {
    if (!Position->isSliderDown()) SeekToSlider();
  });
  connect(Position, &QSlider::sliderReleased, this, &TReplayWindow::SeekToSlider);
}

QString TReplayWindow::Tr(rec::TextId id) const { return QString::fromUtf8(rec::Text(id, language_)); }

void TReplayWindow::SeekToSlider() {
  if (OnSeek) OnSeek(static_cast<std::uint64_t>(Position->value()) * 1000);
}

void TReplayWindow::ShowReplay(const QString& file, std::uint64_t duration_us, const QString& damage) {
  duration_us_ = duration_us;
  FileLabel->setText(
      QString::fromStdString(rec::Format(rec::TextId::kFile, language_, {QFileInfo(file).fileName().toStdString()})));
  FileLabel->setToolTip(file);
  DamageLabel->setText(damage);
  DamageLabel->setVisible(!damage.isEmpty());
  {
    const QSignalBlocker block(Speed);
    Speed->setCurrentIndex(kDefaultSpeedIndex);
  }
  {
    const QSignalBlocker block(Position);
    Position->setRange(0, static_cast<int>(duration_us / 1000));
    Position->setPageStep(std::max(1, Position->maximum() / 20));
  }
  ShowPosition(0, true, false);
}

void TReplayWindow::ShowPosition(std::uint64_t position_us, bool playing, bool at_end) {
  QString text = FormatReplayTime(position_us) + QStringLiteral(" / ") + FormatReplayTime(duration_us_);
  if (at_end || !playing)
    text += QStringLiteral("  (") + Tr(at_end ? rec::TextId::kAtEnd : rec::TextId::kPaused) + QLatin1Char(')');
  PositionLabel->setText(text);
  PositionLabel->setAccessibleName(text);
  PauseButton->setText(Tr(playing ? rec::TextId::kPause : rec::TextId::kResume));
  if (!Position->isSliderDown()) {
    const QSignalBlocker block(Position);
    Position->setValue(static_cast<int>(position_us / 1000));
  }
}

void TReplayWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TReplayWindow::dropEvent(QDropEvent* event) {
  const QString file = DroppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  if (OnFileDropped) OnFileDropped(file);
}

}  // namespace qv
