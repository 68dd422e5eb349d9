#include "Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace qv {
namespace {

// ---- exit sign -------------------------------------------------------------

// 5 x 7 pixel letters, one row per string, '#' = lit.
using Letter = std::array<const char*, 7>;
constexpr Letter kE = {"####", "#...", "#...", "###.", "#...", "#...", "####"};
constexpr Letter kX = {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"};
constexpr Letter kI = {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"};
constexpr Letter kT = {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."};

int DrawLetter(QImage& img, const Letter& l, int x, int y, QRgb colour) {
  int width = 0;
  for (int row = 0; row < 7; ++row) {
    for (int col = 0; l[row][col] != '\0'; ++col) {
      if (l[row][col] == '#') img.setPixel(x + col, y + row, colour);
      width = std::max(width, col + 1);
    }
  }
  return width;
}

// ---- globe -----------------------------------------------------------------

// Land outlines on the unit disc (x right, y down), seen from above the
// Atlantic: Europe and Africa in the middle, the edges of the Americas and
// Asia at the rim.
using Outline = std::vector<QPointF>;
const std::vector<Outline>& LandOutlines() {
  static const std::vector<Outline> land = {
      // Africa
      {{-0.42, -0.10}, {-0.30, -0.22}, {-0.10, -0.24}, {0.08, -0.20}, {0.22, -0.22}, {0.34, -0.18}, {0.40, -0.04},
       {0.48, 0.10},   {0.58, 0.12},   {0.46, 0.30},   {0.36, 0.46},  {0.30, 0.60},  {0.18, 0.72},  {0.08, 0.74},
       {0.02, 0.60},   {-0.02, 0.42},  {-0.06, 0.26},  {-0.14, 0.18}, {-0.30, 0.16}, {-0.44, 0.08}, {-0.48, 0.00}},
      // Madagascar
      {{0.52, 0.42}, {0.58, 0.46}, {0.54, 0.60}, {0.48, 0.56}},
      // Europe
      {{-0.34, -0.30}, {-0.34, -0.42}, {-0.22, -0.46}, {-0.20, -0.56}, {-0.10, -0.60}, {-0.04, -0.70}, {0.02, -0.82},
       {0.14, -0.90},  {0.26, -0.84},  {0.20, -0.70},  {0.34, -0.66},  {0.56, -0.66},  {0.72, -0.56},  {0.62, -0.44},
       {0.44, -0.40},  {0.36, -0.32},  {0.22, -0.38},  {0.12, -0.30},  {0.04, -0.40},  {-0.10, -0.36}, {-0.18, -0.30}},
      // Britain
      {{-0.28, -0.60}, {-0.22, -0.74}, {-0.15, -0.64}, {-0.20, -0.56}},
      // The Near East and Asia, at the right rim
      {{0.44, -0.30},
       {0.62, -0.36},
       {0.80, -0.48},
       {0.98, -0.40},
       {1.04, -0.10},
       {0.90, 0.02},
       {0.74, -0.04},
       {0.62, -0.10},
       {0.52, -0.16}},
      // South America, at the left rim
      {{-1.04, 0.02},
       {-0.84, -0.02},
       {-0.70, 0.08},
       {-0.60, 0.22},
       {-0.64, 0.36},
       {-0.76, 0.52},
       {-0.88, 0.70},
       {-1.04, 0.60}},
      // Greenland
      {{-0.62, -0.84}, {-0.44, -0.92}, {-0.36, -0.80}, {-0.46, -0.66}, {-0.56, -0.68}},
  };
  return land;
}

// A smooth closed curve through the midpoints of the outline's edges, with
// the outline's points as control points.
QPainterPath SmoothClosed(const Outline& pts, double scale, QPointF centre) {
  auto at = [&](std::size_t i) { return centre + pts[i % pts.size()] * scale; };
  auto mid = [&](std::size_t i) { return (at(i) + at(i + 1)) / 2.0; };
  QPainterPath path(mid(0));
  for (std::size_t i = 1; i <= pts.size(); ++i) path.quadTo(at(i), mid(i));
  path.closeSubpath();
  return path;
}

constexpr QColor kSeaLight{96, 160, 255};
constexpr QColor kSeaDeep{0, 40, 160};
constexpr QColor kLand{128, 128, 0};  // olive
constexpr QColor kLandShade{96, 96, 0};
constexpr QColor kRim{0, 24, 96};

}  // namespace

QImage ExitGlyph() {
  QImage img(32, 32, QImage::Format_ARGB32);
  img.fill(Qt::black);
  QPainter p(&img);
  // A two-tone grey frame, light at the top-left and dark at the bottom-right,
  // like a sign in a metal case.
  p.setPen(QColor(192, 192, 192));
  p.drawLine(0, 0, 31, 0);
  p.drawLine(0, 0, 0, 31);
  p.setPen(QColor(96, 96, 96));
  p.drawLine(31, 1, 31, 31);
  p.drawLine(1, 31, 31, 31);
  p.setPen(QColor(128, 128, 128));
  p.drawRect(1, 1, 29, 29);
  p.end();

  const QRgb green = qRgb(0, 224, 0);
  // Arrow: a shaft of three rows and a head of 11 rows narrowing to a point.
  for (int x = 6; x <= 18; ++x)
    for (int y = 9; y <= 11; ++y) img.setPixel(x, y, green);
  for (int i = 0; i <= 5; ++i)
    for (int y = 5 + i; y <= 15 - i; ++y) img.setPixel(19 + i, y, green);

  int x = 6;
  for (const Letter* l : {&kE, &kX, &kI, &kT}) x += DrawLetter(img, *l, x, 19, green) + 1;
  return img;
}

QImage AppIconImage(int size) {
  if (size < 1) throw std::invalid_argument("icon size must be positive");
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);

  const double r = size / 2.0 - std::max(0.5, size / 32.0);
  const QPointF c(size / 2.0, size / 2.0);
  QPainterPath disc;
  disc.addEllipse(c, r, r);

  // Sea: lit from the upper left.
  QRadialGradient sea(c + QPointF(-0.35 * r, -0.35 * r), 1.4 * r);
  sea.setColorAt(0.0, kSeaLight);
  sea.setColorAt(1.0, kSeaDeep);
  p.fillPath(disc, sea);

  p.setClipPath(disc);
  QRadialGradient land(c + QPointF(-0.35 * r, -0.35 * r), 1.4 * r);
  land.setColorAt(0.0, kLand);
  land.setColorAt(1.0, kLandShade);
  for (const Outline& o : LandOutlines()) p.fillPath(SmoothClosed(o, r, c), land);

  // Faint meridians and parallels where there is room for them.
  if (size >= 48) {
    QPen grid(QColor(255, 255, 255, 40));
    grid.setWidthF(size / 128.0);
    p.setPen(grid);
    p.setBrush(Qt::NoBrush);
    for (double f : {0.35, 0.7}) p.drawEllipse(c, r * f, r);
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    for (double f : {-0.5, 0.0, 0.5}) {
      const double y = c.y() + f * r;
      const double half = std::sqrt(std::max(0.0, r * r - (f * r) * (f * r)));
      p.drawLine(QPointF(c.x() - half, y), QPointF(c.x() + half, y));
    }
  }

  // A soft highlight, then the rim.
  QRadialGradient shine(c + QPointF(-0.45 * r, -0.5 * r), 0.7 * r);
  shine.setColorAt(0.0, QColor(255, 255, 255, 90));
  shine.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.fillPath(disc, shine);
  p.setClipping(false);
  QPen rim(kRim);
  rim.setWidthF(std::max(1.0, size / 32.0));
  p.setPen(rim);
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, r, r);
  p.end();
  return img.convertToFormat(QImage::Format_ARGB32);
}

const std::vector<int>& AppIconSizes() {
  static const std::vector<int> sizes = {16, 32, 48, 64, 128, 256};
  return sizes;
}

QIcon AppIcon() {
  QIcon icon;
  for (int s : AppIconSizes()) icon.addPixmap(QPixmap::fromImage(AppIconImage(s)));
  return icon;
}

std::vector<std::filesystem::path> WriteAppIconPngs(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> written;
  for (int s : AppIconSizes()) {
    const auto file = folder / ("quorvel-" + std::to_string(s) + ".png");
    if (!AppIconImage(s).save(QString::fromStdString(file.string()), "PNG"))
      throw std::runtime_error("cannot write " + file.string());
    written.push_back(file);
  }
  return written;
}

}  // namespace qv
