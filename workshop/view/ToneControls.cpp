#include "ToneControls.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <array>

#include "AccessibleParts.h"
#include "FollowedCylinder.h"
#include "TWorkshopView.h"
#include "ToneSound.h"
#include "ToneTexts.h"

namespace qv::workshop {

namespace {
constexpr std::array<int, 5> kVolumeSteps = {10, 25, 50, 75, 100};

QString ToneText(tone::ToneTextId id, const ViewLanguage& w) {
  const std::string_view t = tone::Text(id, w.language);
  return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}
}  // namespace

ToneControls::ToneControls(TWorkshopView& view) : QObject(&view), view_(view) {
  setObjectName(QStringLiteral("ToneControls"));
  // The switch sits on the tool bar, before the menu of rarer choices; like
  // every action of the view it belongs to the window, so T works full screen.
  toggle_ = new QAction(&view);
  toggle_->setObjectName(QStringLiteral("Tone"));
  toggle_->setCheckable(true);
  toggle_->setShortcut(QKeySequence(Qt::Key_T));
  toggle_->setShortcutContext(Qt::WindowShortcut);
  view.addAction(toggle_);
  QToolBar* bar = view.Controls();
  bar->insertAction(view.findChild<QAction*>(QStringLiteral("MoreMenu")), toggle_);
  connect(toggle_, &QAction::triggered, this, [this](bool on) { SetOn(on); });

  // Volume and cylinder are chosen once a job: the menu "Weitere".
  QMenu* more = view.MoreMenu();
  QAction* before = view.findChild<QAction*>(QStringLiteral("FullScreen"));
  auto group = [&](const char* name, auto&& values) {
    auto* menu = new QMenu(more);
    menu->setObjectName(QString::fromLatin1(name));
    more->insertMenu(before, menu);
    auto* g = new QActionGroup(menu);
    for (int v : values) {
      QAction* a = menu->addAction(QString());
      a->setCheckable(true);
      a->setData(v);
      g->addAction(a);
    }
    return std::pair{menu, g};
  };
  std::tie(volume_menu_, volumes_) = group("ToneVolume", kVolumeSteps);
  std::tie(follow_menu_, cylinders_) = group("ToneCylinder", std::array<int, 5>{tone::kFurthestOff, 0, 1, 2, 3});
  more->insertSeparator(before);
  connect(volumes_, &QActionGroup::triggered, this, [this](QAction* a) { SetVolume(a->data().toInt()); });
  connect(cylinders_, &QActionGroup::triggered, this, [this](QAction* a) { SetCylinder(a->data().toInt()); });
  next_ = new QAction(&view);
  next_->setObjectName(QStringLiteral("ToneNext"));
  next_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_T));
  next_->setShortcutContext(Qt::WindowShortcut);
  view.addAction(next_);
  follow_menu_->addSeparator();
  follow_menu_->addAction(next_);
  connect(next_, &QAction::triggered, this, [this] { NextCylinder(); });

  label_ = new QLabel(&view);
  label_->setObjectName(QStringLiteral("ToneState"));
  label_->hide();
  view.statusBar()->addPermanentWidget(label_);
  part_ = new AccessiblePart({}, view.centralWidget());
}

ToneControls::~ToneControls() {
  if (sound_) {
    sound_->OnChanged = nullptr;
    if (sounding_) sound_->SetOn(false);
  }
}

void ToneControls::SetSound(ToneSound* sound) {
  if (sound_) {
    sound_->OnChanged = nullptr;
    if (sounding_) sound_->SetOn(false);
  }
  sounding_ = false;
  sound_ = sound;
  if (sound_) sound_->OnChanged = [this] { ShowState(); };
  Apply();
}

void ToneControls::Load(const tone::ToneSettings& s) {
  settings_ = s;
  settings_.volumePercent = std::clamp(settings_.volumePercent, 0, 100);
  if (settings_.cylinder < tone::kFurthestOff || settings_.cylinder > 3) settings_.cylinder = tone::kFurthestOff;
  input_ = tone::InputFor(view_.Shown(), settings_.cylinder);
  Apply();
}

void ToneControls::SetOn(bool on) {
  tone::ToneSettings next = settings_;
  next.on = on;
  Load(next);
  view_.SaveSettings();
}

void ToneControls::SetVolume(int percent) {
  tone::ToneSettings next = settings_;
  next.volumePercent = percent;
  Load(next);
  view_.SaveSettings();
}

void ToneControls::SetCylinder(int cylinder) {
  tone::ToneSettings next = settings_;
  next.cylinder = cylinder;
  Load(next);
  view_.SaveSettings();
}

void ToneControls::NextCylinder() {
  SetCylinder(settings_.cylinder >= 3 ? tone::kFurthestOff : settings_.cylinder + 1);
}

void ToneControls::Follow(const Reading& shown) {
  input_ = tone::InputFor(shown, settings_.cylinder);
  if (sounding_) sound_->SetInput(input_);
}

void ToneControls::SetVisible(bool visible) {
  visible_ = visible;
  Apply();
}

void ToneControls::Apply() {
  // The sound plays only while the view is shown and the switch is on; with
  // the switch off no sound server is ever contacted.
  const bool want = sound_ && settings_.on && visible_;
  if (sound_) {
    sound_->SetVolume(settings_.volumePercent / 100.0);
    sound_->SetInput(input_);
  }
  if (want != sounding_) {
    sounding_ = want;
    sound_->SetOn(want);
  }
  if (toggle_->isChecked() != settings_.on) toggle_->setChecked(settings_.on);
  for (QAction* a : volumes_->actions()) a->setChecked(a->data().toInt() == settings_.volumePercent);
  for (QAction* a : cylinders_->actions()) a->setChecked(a->data().toInt() == settings_.cylinder);
  ShowState();
}

QString ToneControls::StateText() const {
  if (!settings_.on) return {};
  const ViewLanguage& w = view_.Renderer().Words();
  if (sound_ && sound_->Unavailable()) return ToneText(tone::ToneTextId::kNoOutput, w);
  if (!sound_) return ToneText(tone::ToneTextId::kNoOutput, w);
  const QString followed = settings_.cylinder == tone::kFurthestOff
                               ? ToneText(tone::ToneTextId::kFollowFurthest, w)
                               : w.F(TextId::kCylinderLong, {QString::number(settings_.cylinder + 1)});
  return ToneText(tone::ToneTextId::kFollowsLine, w).arg(followed);
}

void ToneControls::ShowState() {
  const ViewLanguage& w = view_.Renderer().Words();
  const QString text = StateText();
  label_->setText(text);
  label_->setVisible(!text.isEmpty());
  part_->SetName(ToneText(tone::ToneTextId::kAccTone, w));
  QString value = QString::fromStdString(tone::AccessibleValue(settings_.on, settings_.cylinder, w.language));
  if (settings_.on && (!sound_ || sound_->Unavailable()))
    value += QStringLiteral(", ") + ToneText(tone::ToneTextId::kNoOutput, w);
  part_->SetValue(value);
}

void ToneControls::Fill(const ViewLanguage& w) {
  using enum tone::ToneTextId;
  toggle_->setText(ToneText(kToggle, w));
  toggle_->setToolTip(ToneText(kToggleTip, w));
  volume_menu_->setTitle(ToneText(kVolume, w));
  volume_menu_->setToolTip(ToneText(kVolumeTip, w));
  for (QAction* a : volumes_->actions()) a->setText(ToneText(kVolumeValue, w).arg(a->data().toInt()));
  follow_menu_->setTitle(ToneText(kFollows, w));
  follow_menu_->setToolTip(ToneText(kFollowsTip, w));
  for (QAction* a : cylinders_->actions()) {
    const int c = a->data().toInt();
    a->setText(c == tone::kFurthestOff ? ToneText(kFollowFurthest, w)
                                       : w.F(TextId::kCylinderLong, {QString::number(c + 1)}));
  }
  next_->setText(ToneText(kFollowNext, w));
  ShowState();
}

}  // namespace qv::workshop
