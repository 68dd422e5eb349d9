#include "Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace qv {
namespace {

// Indices of the system colours the program's windows use.
enum SystemColorIndex : int {
  kScrollBar = 0,
  kBackground = 1,
  kWindow = 5,
  kWindowFrame = 6,
  kWindowText = 8,
  kHighlight = 13,
  kHighlightText = 14,
  kBtnFace = 15,
  kBtnShadow = 16,
  kGrayText = 17,
  kBtnText = 18,
  kBtnHighlight = 20,
  kInfoText = 23,
  kInfoBk = 24,
};

bool PaletteRole(int index, QPalette::ColorGroup& group, QPalette::ColorRole& role) {
  group = QPalette::Active;
  switch (index) {
    case kWindow: role = QPalette::Base; return true;
    case kWindowText: role = QPalette::WindowText; return true;
    case kHighlight: role = QPalette::Highlight; return true;
    case kHighlightText: role = QPalette::HighlightedText; return true;
    case kBtnFace:
    case kScrollBar: role = QPalette::Button; return true;
    case kBtnShadow: role = QPalette::Dark; return true;
    case kGrayText:
      group = QPalette::Disabled;
      role = QPalette::Text;
      return true;
    case kBtnText: role = QPalette::ButtonText; return true;
    case kBtnHighlight: role = QPalette::Light; return true;
    case kInfoText: role = QPalette::ToolTipText; return true;
    case kInfoBk: role = QPalette::ToolTipBase; return true;
    case kWindowFrame: role = QPalette::Shadow; return true;
    case kBackground: role = QPalette::Window; return true;
    default: return false;
  }
}

// Without an application object: the classic values of these colours.
QRgb FixedSystemColor(int index) {
  switch (index) {
    case kWindow:
    case kHighlightText:
    case kBtnHighlight: return qRgb(255, 255, 255);
    case kHighlight: return qRgb(0, 120, 215);
    case kBtnFace:
    case kScrollBar: return qRgb(240, 240, 240);
    case kBtnShadow:
    case kGrayText: return qRgb(160, 160, 160);
    case kInfoBk: return qRgb(255, 255, 225);
    case kBackground: return qRgb(0, 128, 128);
    default: return qRgb(0, 0, 0);
  }
}

}  // namespace

QRgb ColorToRgb(TColor color) {
  if (color < 0) {
    const int index = color & 0xFF;
    QPalette::ColorGroup group{};
    QPalette::ColorRole role{};
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && PaletteRole(index, group, role))
      return QGuiApplication::palette().color(group, role).rgb() | 0xFF000000u;
    return FixedSystemColor(index);
  }
  const auto c = static_cast<std::uint32_t>(color);
  return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace qv
