#include "Placemnt.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "AppUtils.h"

namespace {

constexpr Qt::WindowStates kNotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
// Coordinates and sizes beyond this are no window's (Qt's own size limit).
constexpr std::int64_t kCoordLimit = QWIDGETSIZE_MAX;

// The words of a value separated by any run of commas and blanks.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ',' || c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

int WordOr(const std::vector<std::string>& words, std::size_t n, int def) {
  if (n >= words.size()) return def;
  return qv::ParseIniInteger(words[n]).value_or(def);
}

bool Sizeable(const QWidget& w) { return w.minimumSize() != w.maximumSize(); }

QScreen* ScreenOf(const QWidget& w) {
  QScreen* s = w.screen();
  return s ? s : QGuiApplication::primaryScreen();
}

// A restored rectangle must show at least part of the window on some screen;
// a position from a larger or another screen would leave it out of reach.
bool OnSomeScreen(const QRect& frame) {
  for (QScreen* s : QGuiApplication::screens())
    if (s->availableGeometry().intersects(frame)) return true;
  return false;
}

}  // namespace

bool TWinMinMaxInfo::DefaultMinMaxInfo() const {
  return MaxPosLeft == 0 && MaxPosTop == 0 && MaxSizeHeight == 0 && MaxSizeWidth == 0 && MaxTrackHeight == 0 &&
         MaxTrackWidth == 0 && MinTrackHeight == 0 && MinTrackWidth == 0;
}

TFormPlacement::TFormPlacement(QWidget* owner) : QObject(owner), owner_(owner) {
  if (!owner) return;
  if (!owner->isWindow()) options_ = {};
  owner->installEventFilter(this);
  // A dialog ends by accept/reject/done, which hide it without a close event;
  // a close event on a dialog ends in reject() too.
  if (auto* dialog = qobject_cast<QDialog*>(owner)) connect(dialog, &QDialog::finished, this, [this] { Closed(); });
  RememberClass();
  Remember();
}

TFormPlacement::~TFormPlacement() {
  // The owner may be half destroyed already (this object is its child):
  // from here on only the placement remembered while it was alive is used.
  owner_gone_ = true;
  BeforeDestroy();
  if (owner_) owner_->removeEventFilter(this);
}

std::string TFormPlacement::DefaultPlacementFile() const { return qv::DefaultPlacementFile(); }

std::string TFormPlacement::DefaultPlacementSection() const {
  if (owner_gone_ || !owner_ || !owner_class_.empty()) return owner_class_;
  std::string name = owner_->metaObject()->className();
  auto colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TFormPlacement::Remember() {
  if (owner_gone_ || !owner_) return;
  remembered_ = CurrentPlacement();
}

void TFormPlacement::RememberClass() {
  // Only while the owner is whole: in its base class destructors (which hide
  // it) it no longer knows its own class.
  if (owner_gone_ || !owner_) return;
  owner_class_.clear();
  owner_class_ = DefaultPlacementSection();
}

std::filesystem::path TFormPlacement::IniFilePath() const {
  return qv::PlacementFilePath(ini_file_name_.empty() ? DefaultPlacementFile() : ini_file_name_);
}

std::string TFormPlacement::Section() const { return ini_section_.empty() ? DefaultPlacementSection() : ini_section_; }

std::string TFormPlacement::ReadString(const std::string& key, const std::string& def) {
  return ini_ ? ini_->ReadString(Section(), key, def) : def;
}

void TFormPlacement::WriteString(const std::string& key, const std::string& value) {
  if (ini_) ini_->WriteString(Section(), key, value);
}

void TFormPlacement::Save() {
  if (OnSavePlacement) OnSavePlacement();
}

void TFormPlacement::Restore() {
  if (OnRestorePlacement) OnRestorePlacement();
}

qv::WindowPlacement TFormPlacement::CurrentPlacement() const {
  if (owner_gone_ || !owner_) return remembered_;
  const QWidget& w = *owner_;
  qv::WindowPlacement p;
  Qt::WindowStates state = w.windowState();
  p.showCmd = state.testFlag(Qt::WindowMinimized) ? 2 : (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) ? 3 : 1;
  QRect client = w.geometry();
  if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    QRect normal = w.normalGeometry();
    if (normal.isValid()) client = normal;
  }
  const QPoint frameOffset = w.geometry().topLeft() - w.frameGeometry().topLeft();
  p.normal = QRect(client.topLeft() - frameOffset, client.size());
  QScreen* screen = ScreenOf(w);
  if (screen) {
    p.screen = screen->size();
    p.pixelsPerInch = qRound(screen->logicalDotsPerInch());
  }
  return p;
}

std::string TFormPlacement::ResolutionSuffix() const {
  QSize s = CurrentPlacement().screen;
  std::string suffix = "(";
  suffix += std::to_string(s.width());
  suffix += 'x';
  suffix += std::to_string(s.height());
  suffix += ')';
  return suffix;
}

namespace {
// Points ini_ at a file for one operation and always lets go of it.
class OpenFile {
 public:
  OpenFile(TIniFile*& slot, const std::filesystem::path& path) : slot_(slot), file_(path) { slot_ = &file_; }
  ~OpenFile() { slot_ = nullptr; }

 private:
  TIniFile*& slot_;
  TIniFile file_;
};
}  // namespace

void TFormPlacement::StorePlacement() {
  if (!placement_restored_ && active_) return;
  OpenFile file(ini_, IniFilePath());
  WriteString("FormVersion", std::to_string(version_));
  if (options_.contains(fpState) || options_.contains(fpPosition)) {
    WritePlacementKeys();
    WriteString("Visible", saving_on_destroy_ ? "1" : "0");
  }
  if (options_.contains(fpActiveControl) && !owner_gone_ && owner_) {
    QWidget* focus = owner_->focusWidget();
    if (focus && !focus->objectName().isEmpty()) WriteString("ActiveControl", focus->objectName().toStdString());
  }
  Save();
  placement_saved_ = true;
}

void TFormPlacement::WritePlacementKeys() {
  const qv::WindowPlacement p = CurrentPlacement();
  const std::string suffix = ResolutionSuffix();
  const QRect& r = p.normal;
  const std::string normPos = std::to_string(r.left()) + "," + std::to_string(r.top()) + "," +
                              std::to_string(r.left() + r.width()) + "," + std::to_string(r.top() + r.height());
  WriteString("Flags", "0");
  WriteString("ShowCmd", std::to_string(p.showCmd));
  WriteString("PixelsPerInch", std::to_string(p.pixelsPerInch));
  WriteString("MinMaxPos" + suffix, "0,0,0,0");
  WriteString("MinMaxPos", "0,0,0,0");
  WriteString("NormPos" + suffix, normPos);
  WriteString("NormPos", normPos);
}

void TFormPlacement::LoadPlacement() {
  placement_saved_ = false;
  {
    OpenFile file(ini_, IniFilePath());
    int stored = qv::ParseIniInteger(ReadString("FormVersion", "")).value_or(0);
    if (stored >= version_) {
      ReadPlacementKeys(options_.contains(fpState), options_.contains(fpPosition));
      placement_restored_ = true;
      Restore();
      if (options_.contains(fpActiveControl) && owner_) {
        QString name = QString::fromStdString(ReadString("ActiveControl", ""));
        QWidget* target = name.isEmpty() ? nullptr : owner_->findChild<QWidget*>(name);
        if (target && target->focusPolicy() != Qt::NoFocus && target->isEnabled()) target->setFocus();
      }
    }
    placement_restored_ = true;
  }
  ApplyLimits();
  Remember();
}

void TFormPlacement::ApplyLimits() {
  if (!owner_) return;
  if (prevent_resize_) {
    owner_->setFixedSize(owner_->size());
    return;
  }
  const TWinMinMaxInfo& m = min_max_info_;
  if (m.MinTrackWidth > 0 || m.MinTrackHeight > 0)
    owner_->setMinimumSize(std::max(0, m.MinTrackWidth), std::max(0, m.MinTrackHeight));
  if (m.MaxTrackWidth > 0 || m.MaxTrackHeight > 0)
    owner_->setMaximumSize(m.MaxTrackWidth > 0 ? m.MaxTrackWidth : QWIDGETSIZE_MAX,
                           m.MaxTrackHeight > 0 ? m.MaxTrackHeight : QWIDGETSIZE_MAX);
}

void TFormPlacement::ReadPlacementKeys(bool state, bool position) {
  if ((!state && !position) || !owner_) return;
  QWidget& w = *owner_;
  const qv::WindowPlacement current = CurrentPlacement();
  if (position) {
    const std::string suffix = ResolutionSuffix();
    (void)ReadString("Flags", "0");  // nothing on these platforms to apply it to
    bool found = false;
    std::string minMax = ReadString("MinMaxPos" + suffix, "");
    if (minMax.empty()) minMax = ReadString("MinMaxPos", "");
    if (!minMax.empty()) found = true;  // read for the record: there is no minimised/maximised position here

    const QRect& cur = current.normal;
    std::int64_t left = cur.left(), top = cur.top();
    std::int64_t right = left + cur.width(), bottom = top + cur.height();
    std::string normPos = ReadString("NormPos" + suffix, "");
    if (normPos.empty()) normPos = ReadString("NormPos", "");
    if (!normPos.empty()) {
      auto words = Words(normPos);
      left = WordOr(words, 0, cur.left());
      top = WordOr(words, 1, cur.top());
      right = WordOr(words, 2, cur.left() + cur.width());
      bottom = WordOr(words, 3, cur.top() + cur.height());
      found = true;
    }
    int ppi = qv::ParseIniInteger(ReadString("PixelsPerInch", "")).value_or(current.pixelsPerInch);
    if (ppi != current.pixelsPerInch) found = false;

    if (found) {
      if (!Sizeable(w)) {
        right = left + cur.width();
        bottom = top + cur.height();
      }
      const bool sane = std::abs(left) <= kCoordLimit && std::abs(top) <= kCoordLimit && right - left <= kCoordLimit &&
                        bottom - top <= kCoordLimit;
      // Without a height of its own the window keeps its current one.
      const std::int64_t height = bottom > top ? bottom - top : cur.height();
      if (right > left && sane) {
        QRect frame(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                    static_cast<int>(height));
        if (OnSomeScreen(frame)) {
          if (auto* rule = dynamic_cast<qv::PositionRule*>(&w); rule && rule->CentresOnShow())
            rule->UseDesignedPosition();
          if (state && (w.windowState() & kNotNormal)) w.setWindowState(w.windowState() & ~kNotNormal);
          w.move(frame.topLeft());
          if (Sizeable(w)) w.resize(frame.size());
        }
      }
    }
  }
  if (state) {
    Qt::WindowStates wanted = Qt::WindowNoState;
    switch (qv::ParseIniInteger(ReadString("ShowCmd", "")).value_or(0)) {
      case 2:
      case 6:
      case 7: wanted = Qt::WindowMinimized; break;
      case 3: wanted = Qt::WindowMaximized; break;
      default: break;  // 1, 5, 9 and anything else: normal
    }
    Qt::WindowStates now = w.windowState();
    if ((now & kNotNormal) != wanted) w.setWindowState((now & ~kNotNormal) | wanted);
  }
  w.update();
}

void TFormPlacement::Report(const std::exception& e) const {
  if (ErrorReporter) {
    ErrorReporter(e);
  } else {
    std::cerr << e.what() << '\n';
  }
}

void TFormPlacement::Closed() {
  Remember();
  if (!active_ || !owner_ || !owner_->isWindow() || !owner_->windowHandle()) return;
  try {
    StorePlacement();
  } catch (const std::exception& e) {
    Report(e);
  }
}

void TFormPlacement::BeforeDestroy() {
  if (destroy_handled_) return;
  destroy_handled_ = true;
  Remember();
  if (!active_ || placement_saved_) return;
  saving_on_destroy_ = true;
  try {
    StorePlacement();
  } catch (const std::exception& e) {
    Report(e);
  }
  saving_on_destroy_ = false;
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event) {
  if (watched != owner_ || owner_gone_) return false;
  switch (event->type()) {
    case QEvent::Show:
      RememberClass();
      if (active_ && !event->spontaneous()) {
        try {
          LoadPlacement();
        } catch (const std::exception& e) {
          Report(e);
        }
      }
      Remember();
      break;
    case QEvent::Close:
      if (forwarding_close_ || qobject_cast<QDialog*>(owner_)) break;
      // Let the owner decide first; store only a close it accepted.
      {
        QPointer<TFormPlacement> self(this);
        forwarding_close_ = true;
        QCoreApplication::sendEvent(owner_, event);
        if (!self) return true;  // the owner deleted itself, and this with it
        forwarding_close_ = false;
      }
      if (event->isAccepted()) Closed();
      return true;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::Hide: Remember(); break;
    default: break;
  }
  return false;
}
