// The workshop view's controls: the tool bar, its menu of rarer choices, and the keys.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QKeySequence>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "TWorkshopView.h"
#include "Units.h"
#include "WorkshopModel.h"

namespace qv::workshop {

using enum TextId;

namespace {
constexpr std::array<double, 6> kDampingChoices = {0, 0.25, 0.5, 1, 2, 4};
constexpr std::array<double, 6> kZoomChoices = {0, 5, 10, 20, 50, 100};
constexpr std::array<Unit, 6> kUnitChoices = {Unit::MilliBar, Unit::HectoPascal,  Unit::KiloPascal,
                                              Unit::InchHg,   Unit::CentimetreHg, Unit::MillimetreHg};

template <std::size_t N, typename T>
int IndexOf(const std::array<T, N>& list, T value) {
  for (std::size_t i = 0; i < N; ++i)
    if (list[i] == value) return static_cast<int>(i);
  return -1;
}

QComboBox* MakeCombo(QToolBar* bar, const char* name) {
  auto* c = new QComboBox(bar);
  c->setObjectName(QString::fromLatin1(name));
  c->setFocusPolicy(Qt::ClickFocus);
  bar->addWidget(c);
  return c;
}
}  // namespace

void TWorkshopView::BuildControls() {
  toolbar_ = addToolBar(QString());
  toolbar_->setObjectName(QStringLiteral("WorkshopControls"));
  toolbar_->setMovable(false);
  // Scan, recording and replay first: what a job starts with.
  BuildJobControls();
  toolbar_->addSeparator();
  reference_ = MakeCombo(toolbar_, "Reference");
  pair_ = toolbar_->addAction(QString());
  pair_->setObjectName(QStringLiteral("PairMode"));
  pair_->setCheckable(true);
  unit_ = MakeCombo(toolbar_, "Unit");
  tolerance_ = new QDoubleSpinBox(toolbar_);
  tolerance_->setObjectName(QStringLiteral("Tolerance"));
  toolbar_->addWidget(tolerance_);
  toolbar_->addSeparator();

  // Each action belongs to the window, so its key works while full screen
  // hides the tool bar; `where` is the tool bar or a menu of it.
  auto action = [this](QWidget* where, const char* name, QKeySequence key, auto slot, bool checkable = false) {
    auto* a = new QAction(this);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
    where->addAction(a);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  hold_ = action(
      toolbar_, "Hold", QKeySequence(Qt::Key_H), [this](bool on) { SetHold(on); }, true);
  action(toolbar_, "Zero", QKeySequence(), [this] { Zero(); });
  action(toolbar_, "Snapshot", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { Snapshot(); });

  // Choices made once per job or less go into one menu, so the tool bar fits
  // a workshop laptop's screen.
  more_ = new QMenu(this);
  more_->setObjectName(QStringLiteral("More"));
  QAction* more = toolbar_->addAction(QString());
  more->setObjectName(QStringLiteral("MoreMenu"));
  more->setMenu(more_);
  if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(more)))
    button->setPopupMode(QToolButton::InstantPopup);
  auto group = [this](const char* name, std::size_t count) {
    auto* menu = more_->addMenu(QString());
    menu->setObjectName(QString::fromLatin1(name));
    auto* g = new QActionGroup(menu);
    for (std::size_t i = 0; i < count; ++i) {
      QAction* a = menu->addAction(QString());
      a->setCheckable(true);
      a->setData(static_cast<int>(i));
      g->addAction(a);
    }
    connect(g, &QActionGroup::triggered, this, [this] { ChoicesFromControls(); });
    return std::pair{menu, g};
  };
  action(more_, "ResetDamping", QKeySequence(Qt::Key_Space), [this] { ResetDamping(); });
  std::tie(damping_menu_, damping_) = group("Damping", kDampingChoices.size());
  std::tie(zoom_menu_, zoom_) = group("Zoom", kZoomChoices.size());
  night_ = action(
      more_, "Night", QKeySequence(), [this](bool on) { SetTheme(on ? ThemeKind::Night : ThemeKind::Day); }, true);
  more_->addSeparator();
  action(more_, "ClearZero", QKeySequence(), [this] { ClearZero(); });
  action(more_, "SnapshotFolder", QKeySequence(), [this] {
    const QString dir =
        QFileDialog::getExistingDirectory(this, QString(), QString::fromStdString(SnapshotFolder().string()));
    if (!dir.isEmpty()) SetSnapshotFolder(dir.toStdString());
  });
  reconnect_action_ = action(
      more_, "Reconnect", QKeySequence(), [this](bool on) { SetReconnect(on); }, true);
  reconnect_action_->setChecked(reconnect_);
  // The check mark follows SetPhone, not the click: switching on can fail.
  phone_ = action(
      more_, "Phone", QKeySequence(),
      [this](bool on) {
        if (OnPhone) OnPhone(on);
        SetPhone(Phone());
      },
      true);
  more_->addSeparator();
  action(more_, "FullScreen", QKeySequence(), [this] { ToggleFullScreen(); });
  QAction* help = action(more_, "Shortcuts", QKeySequence(Qt::Key_F1), [this] { ShowShortcuts(!ShortcutsShown()); });
  help->setShortcuts({QKeySequence(Qt::Key_F1), QKeySequence(Qt::Key_Question)});

  auto changed = [this] { ChoicesFromControls(); };
  connect(reference_, &QComboBox::activated, this, changed);
  connect(unit_, &QComboBox::activated, this, changed);
  // The box shows the tolerance in the chosen unit; only the user's own edits
  // change it, so that switching units does not move it by their rounding.
  connect(tolerance_, &QDoubleSpinBox::valueChanged, this, [this](double shown) {
    ViewChoices next = choices_;
    // Rounded to a millionth of a mBar, so 0.7 kPa is kept as 7 mBar, not 6.9999...
    const double mbar = std::round(ToMilliBar(shown, choices_.unit) * 1e6) / 1e6;
    next.toleranceMbar = std::clamp(mbar, kMinToleranceMbar, kMaxToleranceMbar);
    SetChoices(next);
  });
  connect(pair_, &QAction::toggled, this, changed);
}

void TWorkshopView::BuildShortcuts() {
  auto key = [this](const char* name, QKeySequence k, auto fn) {
    auto* a = new QAction(this);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(k);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
    connect(a, &QAction::triggered, this, fn);
  };
  for (int c = 0; c < 4; ++c) {
    const QByteArray name = "ReferenceKey" + QByteArray::number(c + 1);
    key(name.constData(), QKeySequence(Qt::Key_1 + c), [this, c] {
      ViewChoices next = choices_;
      next.reference = ReferenceKind::Cylinder;
      next.referenceCylinder = c;
      SetChoices(next);
    });
  }
  key("FullScreenKey", QKeySequence(Qt::Key_F11), [this] { ToggleFullScreen(); });
  key("LeaveKey", QKeySequence(Qt::Key_Escape), [this] {
    if (ShortcutsShown()) {
      ShowShortcuts(false);
    } else if (isFullScreen()) {
      showNormal();
    }
  });
}

void TWorkshopView::FillControls() {
  if (!toolbar_) return;
  const ViewLanguage& w = renderer_.Words();
  const QSignalBlocker b1(reference_), b2(unit_), b3(tolerance_), b4(pair_);
  reference_->clear();
  reference_->addItem(w.F(kReferenceLabel, {w.T(kMean)}));
  reference_->addItem(w.F(kReferenceLabel, {w.T(kMidpoint)}));
  for (int c = 1; c <= 4; ++c) reference_->addItem(w.F(kReferenceLabel, {w.F(kCylinderShort, {QString::number(c)})}));
  reference_->setCurrentIndex(choices_.reference == ReferenceKind::Mean       ? 0
                              : choices_.reference == ReferenceKind::Midpoint ? 1
                                                                              : 2 + choices_.referenceCylinder);
  reference_->setToolTip(w.T(kReferenceTip));
  unit_->clear();
  for (Unit u : kUnitChoices) unit_->addItem(ViewLanguage::UnitName(u));
  unit_->setCurrentIndex(IndexOf(kUnitChoices, choices_.unit));
  unit_->setToolTip(w.T(kUnit));
  tolerance_->setPrefix(w.T(kTolerance) + QStringLiteral(" ±"));
  // 1 to 50 mBar, shown in the unit with its resolution, one step about a mBar.
  const Unit u = choices_.unit;
  const double scale = std::pow(10.0, Decimals(u));
  tolerance_->setDecimals(Decimals(u));
  tolerance_->setRange(std::ceil(FromMilliBar(kMinToleranceMbar, u) * scale) / scale,
                       std::floor(FromMilliBar(kMaxToleranceMbar, u) * scale) / scale);
  tolerance_->setSingleStep(std::max(1.0, std::round(PerMilliBar(u) * scale)) / scale);
  tolerance_->setSuffix(QStringLiteral(" ") + ViewLanguage::UnitName(u));
  // The box writes its number with the view's decimal separator.
  tolerance_->setLocale(w.decimalSeparator == "," ? QLocale(QLocale::German) : QLocale::c());
  tolerance_->setValue(RoundToDisplay(FromMilliBar(choices_.toleranceMbar, u), u));
  tolerance_->setToolTip(w.T(kToleranceTip));
  const QString separator = QString::fromStdString(w.decimalSeparator);
  damping_menu_->setTitle(w.T(kDamping));
  damping_menu_->setToolTip(w.T(kDampingTip));
  for (QAction* a : damping_->actions()) {
    const double d = kDampingChoices[static_cast<std::size_t>(a->data().toInt())];
    a->setText(d == 0 ? w.T(kDampingOffLabel)
                      : w.F(kDampingValue, {QString::number(d).replace(QLatin1Char('.'), separator)}));
    a->setChecked(d == choices_.dampingSeconds);
  }
  zoom_menu_->setTitle(w.T(kZoom));
  zoom_menu_->setToolTip(w.T(kZoomTip));
  for (QAction* a : zoom_->actions()) {
    const double z = kZoomChoices[static_cast<std::size_t>(a->data().toInt())];
    a->setText(z == 0 ? w.T(kScaleAuto) : w.F(kScaleValue, {QString::number(z)}));
    a->setChecked(z == choices_.zoom);
  }
  pair_->setChecked(choices_.pairMode);
  pair_->setText(w.T(kPairs));
  pair_->setToolTip(w.T(kPairsTip));

  auto text = [&](const char* name, TextId label, TextId tip) {
    if (auto* a = findChild<QAction*>(QString::fromLatin1(name))) {
      a->setText(w.T(label));
      a->setToolTip(w.T(tip));
    }
  };
  text("Hold", kHoldButton, kHoldTip);
  text("ResetDamping", kResetDamping, kResetDampingTip);
  text("Night", kThemeNight, kThemeTip);
  text("Zero", kZero, kZeroTip);
  text("ClearZero", kZeroClear, kZeroClearTip);
  text("Snapshot", kSnapshot, kSnapshotTip);
  text("SnapshotFolder", kSnapshotFolder, kSnapshotFolderTip);
  text("Reconnect", kReconnect, kReconnectTip);
  text("Phone", kPhone, kPhoneTip);
  text("FullScreen", kFullScreen, kFullScreenTip);
  text("Shortcuts", kHelp, kHelpTip);
  text("MoreMenu", kMore, kMoreTip);
  // The keys without a button are named for the list of keys.
  for (int c = 1; c <= 4; ++c)
    if (auto* a = findChild<QAction*>(QStringLiteral("ReferenceKey%1").arg(c)))
      a->setText(w.F(kReferenceLabel, {w.F(kCylinderLong, {QString::number(c)})}));
  text("FullScreenKey", kFullScreen, kFullScreenTip);
  text("LeaveKey", kLeaveFullScreen, kLeaveFullScreen);
  FillJobControls();
}

void TWorkshopView::ChoicesFromControls() {
  ViewChoices next = choices_;
  const int ref = reference_->currentIndex();
  next.reference = ref == 0 ? ReferenceKind::Mean : ref == 1 ? ReferenceKind::Midpoint : ReferenceKind::Cylinder;
  next.referenceCylinder = ref >= 2 ? ref - 2 : choices_.referenceCylinder;
  next.unit = kUnitChoices[static_cast<std::size_t>(std::max(0, unit_->currentIndex()))];
  if (const QAction* d = damping_->checkedAction())
    next.dampingSeconds = kDampingChoices[static_cast<std::size_t>(d->data().toInt())];
  if (const QAction* z = zoom_->checkedAction()) next.zoom = kZoomChoices[static_cast<std::size_t>(z->data().toInt())];
  next.pairMode = pair_->isChecked();
  SetChoices(next);
}

}  // namespace qv::workshop
