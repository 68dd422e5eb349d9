// The workshop view's controls: the tool bar and the keys.
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QKeySequence>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolBar>
#include <array>

#include "TWorkshopView.h"

namespace qv::workshop {

namespace {
constexpr std::array<double, 6> kDamping = {0, 0.25, 0.5, 1, 2, 4};
constexpr std::array<double, 6> kZoom = {0, 5, 10, 20, 50, 100};
constexpr std::array<Unit, 6> kUnits = {Unit::MilliBar, Unit::HectoPascal,  Unit::KiloPascal,
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
  reference_ = MakeCombo(toolbar_, "Reference");
  pair_ = toolbar_->addAction(QString());
  pair_->setObjectName(QStringLiteral("PairMode"));
  pair_->setCheckable(true);
  unit_ = MakeCombo(toolbar_, "Unit");
  tolerance_ = new QSpinBox(toolbar_);
  tolerance_->setObjectName(QStringLiteral("Tolerance"));
  tolerance_->setRange(1, 50);
  toolbar_->addWidget(tolerance_);
  damping_ = MakeCombo(toolbar_, "Damping");
  zoom_ = MakeCombo(toolbar_, "Zoom");
  toolbar_->addSeparator();

  auto action = [this](const char* name, QKeySequence key, auto slot, bool checkable = false) {
    QAction* a = toolbar_->addAction(QString());
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);  // the keys also work while full screen hides the tool bar
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  hold_ = action(
      "Hold", QKeySequence(Qt::Key_H), [this](bool on) { SetHold(on); }, true);
  action("ResetDamping", QKeySequence(Qt::Key_Space), [this] { ResetDamping(); });
  night_ = action(
      "Night", QKeySequence(), [this](bool on) { SetTheme(on ? ThemeKind::Night : ThemeKind::Day); }, true);
  action("Zero", QKeySequence(), [this] { Zero(); });
  action("ClearZero", QKeySequence(), [this] { ClearZero(); });
  action("Snapshot", QKeySequence(Qt::CTRL | Qt::Key_S), [this] { Snapshot(); });
  action("SnapshotFolder", QKeySequence(), [this] {
    const QString dir =
        QFileDialog::getExistingDirectory(this, QString(), QString::fromStdString(SnapshotFolder().string()));
    if (!dir.isEmpty()) SetSnapshotFolder(dir.toStdString());
  });

  auto changed = [this] { ChoicesFromControls(); };
  connect(reference_, &QComboBox::activated, this, changed);
  connect(unit_, &QComboBox::activated, this, changed);
  connect(damping_, &QComboBox::activated, this, changed);
  connect(zoom_, &QComboBox::activated, this, changed);
  connect(tolerance_, &QSpinBox::valueChanged, this, changed);
  connect(pair_, &QAction::toggled, this, changed);
}

void TWorkshopView::BuildShortcuts() {
  auto key = [this](QKeySequence k, auto fn) {
    auto* a = new QAction(this);
    a->setShortcut(k);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
    connect(a, &QAction::triggered, this, fn);
  };
  for (int c = 0; c < 4; ++c) {
    key(QKeySequence(Qt::Key_1 + c), [this, c] {
      ViewChoices next = choices_;
      next.reference = ReferenceKind::Cylinder;
      next.referenceCylinder = c;
      SetChoices(next);
    });
  }
  key(QKeySequence(Qt::Key_F11), [this] { ToggleFullScreen(); });
  key(QKeySequence(Qt::Key_Escape), [this] {
    if (isFullScreen()) showNormal();
  });
}

void TWorkshopView::FillControls() {
  if (!toolbar_) return;
  const ViewText& t = renderer_.Text();
  const QSignalBlocker b1(reference_), b2(unit_), b3(tolerance_), b4(damping_), b5(zoom_), b6(pair_);
  reference_->clear();
  reference_->addItem(t.Tr("Bezug: Mittelwert", "Reference: mean"));
  reference_->addItem(t.Tr("Bezug: Mitte", "Reference: midpoint"));
  for (int c = 1; c <= 4; ++c) reference_->addItem(t.Tr("Bezug: Zyl. %1", "Reference: cyl. %1").arg(c));
  reference_->setCurrentIndex(choices_.reference == ReferenceKind::Mean       ? 0
                              : choices_.reference == ReferenceKind::Midpoint ? 1
                                                                              : 2 + choices_.referenceCylinder);
  unit_->clear();
  for (Unit u : kUnits) unit_->addItem(t.UnitName(u));
  unit_->setCurrentIndex(IndexOf(kUnits, choices_.unit));
  tolerance_->setPrefix(t.Tr("Toleranz ±", "Tolerance ±"));
  tolerance_->setSuffix(QStringLiteral(" mBar"));
  tolerance_->setValue(static_cast<int>(choices_.toleranceMbar));
  damping_->clear();
  for (double d : kDamping)
    damping_->addItem(d == 0 ? t.Tr("Dämpfung aus", "Damping off")
                             : t.Tr("Dämpfung %1 s", "Damping %1 s").arg(t.locale.toString(d)));
  damping_->setCurrentIndex(std::max(0, IndexOf(kDamping, choices_.dampingSeconds)));
  zoom_->clear();
  for (double z : kZoom)
    zoom_->addItem(z == 0 ? t.Tr("Skala automatisch", "Scale automatic")
                          : t.Tr("Skala ±%1", "Scale ±%1").arg(t.locale.toString(z)));
  zoom_->setCurrentIndex(std::max(0, IndexOf(kZoom, choices_.zoom)));
  pair_->setChecked(choices_.pairMode);
  pair_->setText(t.Tr("Paare 1+2 / 3+4", "Pairs 1+2 / 3+4"));

  auto text = [&](const char* name, const char* german, const char* english) {
    if (auto* a = findChild<QAction*>(QString::fromLatin1(name))) {
      a->setText(t.Tr(german, english));
      a->setToolTip(a->shortcut().isEmpty()
                        ? a->text()
                        : a->text() + QStringLiteral(" (") + a->shortcut().toString(QKeySequence::NativeText) +
                              QStringLiteral(")"));
    }
  };
  text("Hold", "Hold", "Hold");
  text("ResetDamping", "Dämpfung neu", "Reset damping");
  text("Night", "Nacht", "Night");
  text("Zero", "Nullabgleich", "Zero adjust");
  text("ClearZero", "Nullabgleich löschen", "Clear zero");
  text("Snapshot", "Schnappschuss", "Snapshot");
  text("SnapshotFolder", "Ordner …", "Folder …");
}

void TWorkshopView::ChoicesFromControls() {
  ViewChoices next = choices_;
  const int ref = reference_->currentIndex();
  next.reference = ref == 0 ? ReferenceKind::Mean : ref == 1 ? ReferenceKind::Midpoint : ReferenceKind::Cylinder;
  next.referenceCylinder = ref >= 2 ? ref - 2 : choices_.referenceCylinder;
  next.unit = kUnits[static_cast<std::size_t>(std::max(0, unit_->currentIndex()))];
  next.toleranceMbar = tolerance_->value();
  next.dampingSeconds = kDamping[static_cast<std::size_t>(std::max(0, damping_->currentIndex()))];
  next.zoom = kZoom[static_cast<std::size_t>(std::max(0, zoom_->currentIndex()))];
  next.pairMode = pair_->isChecked();
  SetChoices(next);
}

}  // namespace qv::workshop
