#include "JobReport.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "JobFormat.h"
#include "JobTexts.h"
#include "Units.h"

namespace qv::jobs {
namespace {

constexpr int kDpi = 300;
constexpr double kLeft = 15, kRight = 195;  // mm
// Notes longer than this are cut: the page holds about this much.
constexpr int kNotesChars = 1400;

double Mm(double mm) { return mm * kDpi / 25.4; }
QRectF MmRect(double x, double y, double w, double h) { return {Mm(x), Mm(y), Mm(w), Mm(h)}; }
QString Q(const std::string& s) { return QString::fromStdString(s); }
QString T(JobTextId id, Language lang) { return Q(std::string(JobText(id, lang))); }

const QColor kGrey(110, 110, 110);
const QColor kInside(30, 130, 60);
const QColor kOutside(190, 40, 30);

class Page {
 public:
  Page(QPainter& p, Language lang) : p_(p), lang_(lang) {}

  QFont Font(double pt, bool bold = false) const {
    QFont f("DejaVu Sans");
    f.setPointSizeF(pt);
    f.setBold(bold);
    return f;
  }
  // One line, cut with "…" where it does not fit.
  void Line(double x, double y, double w, const QString& text, double pt, bool bold = false,
            Qt::Alignment align = Qt::AlignLeft, const QColor& color = Qt::black) {
    p_.setFont(Font(pt, bold));
    p_.setPen(color);
    const QString shown = QFontMetricsF(p_.font()).elidedText(text, Qt::ElideRight, Mm(w));
    p_.drawText(MmRect(x, y, w, pt * 0.5), static_cast<int>(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
  }
  void Field(double x, double y, double w, JobTextId label, const std::string& value) {
    Line(x, y, w, T(label, lang_), 7.5, false, Qt::AlignLeft, kGrey);
    Line(x, y + 3.6, w, Q(value), 10);
  }
  void Rule(double y, double from = kLeft, double to = kRight) {
    p_.setPen(QPen(kGrey, Mm(0.2)));
    p_.drawLine(QPointF(Mm(from), Mm(y)), QPointF(Mm(to), Mm(y)));
  }
  QPainter& P() { return p_; }

 private:
  QPainter& p_;
  Language lang_;
};

QString Value(const std::optional<Capture>& c, int ch, bool difference, Language lang) {
  if (!c || ch >= c->channelCount) return QStringLiteral("–");
  const CylinderValue& v = c->cylinders[static_cast<std::size_t>(ch)];
  return Q(Number(difference ? v.difference : v.absolute, c->unit, lang, difference) + " " +
           std::string(workshop::UnitLabel(c->unit)));
}

QString Band(const std::optional<Capture>& c, int ch, Language lang) {
  if (!c || ch >= c->channelCount) return QStringLiteral("–");
  return T(c->cylinders[static_cast<std::size_t>(ch)].inside ? JobTextId::kInside : JobTextId::kOutside, lang);
}

void Table(Page& page, const Job& job, const Capture& shown, double y, Language lang) {
  const double cols[] = {kLeft, 40, 70, 102, 122, 152, 182};
  const double widths[] = {25, 30, 32, 20, 30, 30, 13};
  const QString head[] = {T(JobTextId::kCylinderShort, lang).replace(QStringLiteral("%1"), QString()).trimmed(),
                          T(JobTextId::kAbsolute, lang),
                          T(JobTextId::kDifference, lang),
                          T(JobTextId::kBand, lang),
                          T(JobTextId::kAbsolute, lang),
                          T(JobTextId::kDifference, lang),
                          T(JobTextId::kBand, lang)};
  page.Line(cols[1], y, 80, T(JobTextId::kBefore, lang), 9, true);
  page.Line(cols[4], y, 70, T(JobTextId::kAfter, lang), 9, true);
  y += 5;
  for (int c = 0; c < 7; ++c) page.Line(cols[c], y, widths[c], head[c], 7.5, false, Qt::AlignLeft, kGrey);
  y += 4.5;
  page.Rule(y);
  y += 1.5;
  for (int ch = 0; ch < shown.channelCount; ++ch) {
    const QString cells[] = {Q(ChannelName(shown, ch, lang)),   Value(job.before, ch, false, lang),
                             Value(job.before, ch, true, lang), Band(job.before, ch, lang),
                             Value(job.after, ch, false, lang), Value(job.after, ch, true, lang),
                             Band(job.after, ch, lang)};
    for (int c = 0; c < 7; ++c) page.Line(cols[c], y, widths[c], cells[c], 9.5, c == 0);
    y += 6.5;
  }
}

// Two bars per channel, before (grey) and after (green inside the band, red
// outside), about the zero line, with the band shaded.
void Bars(Page& page, const Job& job, const Capture& shown, double y, double h, Language lang) {
  QPainter& p = page.P();
  const QRectF box = MmRect(kLeft + 12, y, kRight - kLeft - 12, h);
  double scale = 2 * shown.tolerance;
  for (const auto* c : {&job.before, &job.after})
    if (*c)
      for (int ch = 0; ch < (**c).channelCount; ++ch)
        scale = std::max(scale, std::fabs((**c).cylinders[static_cast<std::size_t>(ch)].difference));
  scale = std::max(scale * 1.1, 1e-6);
  const double mid = box.center().y();
  auto at = [&](double v) { return mid - v / scale * box.height() / 2; };
  p.fillRect(QRectF(box.left(), at(shown.tolerance), box.width(), at(-shown.tolerance) - at(shown.tolerance)),
             QColor(220, 240, 225));
  p.setPen(QPen(kGrey, Mm(0.2)));
  p.drawRect(box);
  p.drawLine(QPointF(box.left(), mid), QPointF(box.right(), mid));
  const std::string unit(workshop::UnitLabel(shown.unit));
  for (double v : {shown.tolerance, -shown.tolerance}) {
    page.Line(kLeft - 3, at(v) / Mm(1) - 1.6, 14, Q(Number(v, shown.unit, lang, true)), 7, false, Qt::AlignRight,
              kGrey);
  }
  page.Line(kLeft - 3, mid / Mm(1) - 1.6, 14, Q(unit), 7, false, Qt::AlignRight, kGrey);
  const int n = shown.channelCount;
  const double slot = box.width() / n;
  for (int ch = 0; ch < n; ++ch) {
    const double x0 = box.left() + slot * ch;
    int k = 0;
    for (const auto* c : {&job.before, &job.after}) {
      const double bx = x0 + slot * (0.22 + 0.3 * k++);
      if (!*c || ch >= (**c).channelCount) continue;
      const CylinderValue& v = (**c).cylinders[static_cast<std::size_t>(ch)];
      const QColor color = c == &job.before ? QColor(160, 160, 160) : v.inside ? kInside : kOutside;
      const double top = std::min(at(v.difference), mid), bottom = std::max(at(v.difference), mid);
      p.fillRect(QRectF(bx, top, slot * 0.26, std::max(bottom - top, Mm(0.3))), color);
    }
    page.Line(x0 / Mm(1), y + h + 1, slot / Mm(1), Q(ChannelName(shown, ch, lang)), 8.5, true, Qt::AlignHCenter);
  }
}

constexpr int kWrap = Qt::TextWordWrap | Qt::TextWrapAnywhere | Qt::AlignLeft | Qt::AlignTop;

// The notes as far as they fit the box, cut with "… (gekürzt)" where they do not.
QString FitNotes(const QFont& font, const QRectF& box, QString notes, Language lang) {
  notes.replace(QChar(0), QChar(0xFFFD));
  const QFontMetricsF fm(font);
  auto fits = [&](const QString& t) { return fm.boundingRect(box, kWrap, t).height() <= box.height(); };
  if (notes.size() <= kNotesChars && fits(notes)) return notes;
  const QString tail = QStringLiteral("… ") + T(JobTextId::kReportNotesCut, lang);
  qsizetype lo = 0, hi = std::min<qsizetype>(notes.size(), kNotesChars);
  while (lo < hi) {  // the longest start that fits with the tail
    const qsizetype mid = (lo + hi + 1) / 2;
    if (fits(notes.left(mid) + tail)) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  return notes.left(lo) + tail;
}

}  // namespace

QByteArray RenderJobReport(const Job& job, const std::string& workshopName, Language lang) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(kDpi);
    writer.setCreator(QStringLiteral("Quorvel"));
    writer.setTitle(T(JobTextId::kReportTitle, lang) + QStringLiteral(" – ") + Q(VehicleLine(job.vehicle)));
    QPainter p(&writer);
    Page page(p, lang);
    const std::string shop =
        workshopName.empty() ? std::string(JobText(JobTextId::kReportWorkshopUnnamed, lang)) : workshopName;
    page.Line(kLeft, 14, 110, Q(shop), 16, true);
    page.Line(120, 14, kRight - 120, T(JobTextId::kReportTitle, lang), 12, true, Qt::AlignRight);
    page.Line(120, 21, kRight - 120, Q(job.created), 9, false, Qt::AlignRight, kGrey);
    page.Rule(28);

    const double half = (kRight - kLeft) / 2 - 4;
    const double l = kLeft, r = kLeft + half + 8;
    page.Field(l, 31, half, JobTextId::kVehicle, job.vehicle.make + " " + job.vehicle.model);
    page.Field(l, 40, half, JobTextId::kRegistration, job.vehicle.registration);
    page.Field(l, 49, half, JobTextId::kVin, job.vehicle.vin);
    page.Field(l, 58, half, JobTextId::kOdometer, job.vehicle.odometer);
    page.Field(r, 31, half, JobTextId::kCustomer, job.customer);
    page.Field(r, 40, half, JobTextId::kMechanic, job.mechanic);
    page.Field(r, 49, half, JobTextId::kDate, job.created);
    page.Field(r, 58, half, JobTextId::kEngineTime, Duration(job.engineSeconds, lang));
    page.Rule(68);

    const Capture shown = job.after ? *job.after : job.before ? *job.before : Capture{};
    const std::string unit(workshop::UnitLabel(shown.unit));
    page.Line(kLeft, 71, kRight - kLeft,
              T(JobTextId::kReference, lang) + ": " + Q(ReferenceName(shown, lang)) + "    " +
                  T(JobTextId::kTolerance, lang) + ": ±" + Q(Number(shown.tolerance, shown.unit, lang) + " " + unit) +
                  "    " + T(JobTextId::kUnit, lang) + ": " + Q(unit),
              9.5);
    Table(page, job, shown, 78, lang);

    page.Line(kLeft, 121, kRight - kLeft, T(JobTextId::kReportBars, lang), 9, true);
    Bars(page, job, shown, 127, 58, lang);

    const bool inSync = job.after && job.after->InSync();
    const QString verdict = !job.after ? T(JobTextId::kReportAfterMissing, lang)
                                       : T(inSync ? JobTextId::kInSync : JobTextId::kNotInSync, lang);
    page.Line(kLeft, 197, 95, T(JobTextId::kVerdict, lang), 7.5, false, Qt::AlignLeft, kGrey);
    page.Line(kLeft, 201, 95, verdict, 18, true, Qt::AlignLeft, !job.after ? kGrey : inSync ? kInside : kOutside);
    auto steadiness = [&](const std::optional<Capture>& c) {
      return c ? Q(ScatterNumber(c->Steadiness(), c->unit, lang) + " " + std::string(workshop::UnitLabel(c->unit)))
               : QStringLiteral("–");
    };
    page.Line(115, 197, kRight - 115, T(JobTextId::kSteadiness, lang), 7.5, false, Qt::AlignLeft, kGrey);
    page.Line(115, 201, kRight - 115,
              T(JobTextId::kBefore, lang) + ": " + steadiness(job.before) + "    " + T(JobTextId::kAfter, lang) + ": " +
                  steadiness(job.after),
              9.5);
    page.Rule(212);

    page.Line(kLeft, 215, 60, T(JobTextId::kNotes, lang), 7.5, false, Qt::AlignLeft, kGrey);
    p.setFont(page.Font(9.5));
    p.setPen(Qt::black);
    const QRectF notesBox = MmRect(kLeft, 219, kRight - kLeft, 46);
    const QString notes = FitNotes(p.font(), notesBox, Q(job.notes), lang);
    p.save();
    p.setClipRect(notesBox);
    p.drawText(notesBox, kWrap, notes);
    p.restore();

    page.Rule(280, 110, kRight);
    page.Line(110, 281.5, kRight - 110, T(JobTextId::kReportSignature, lang), 7.5, false, Qt::AlignLeft, kGrey);
    page.Line(kLeft, 277, 90, T(JobTextId::kMechanic, lang) + ": " + Q(job.mechanic), 9.5);
    page.Line(kLeft, 288, kRight - kLeft,
              QStringLiteral("Quorvel ") + QStringLiteral(QUORVEL_VERSION) + QStringLiteral(" · ") +
                  Q(JobText(JobTextId::kJob, lang, {std::to_string(job.id)})),
              7, false, Qt::AlignLeft, kGrey);
  }
  buffer.close();
  return bytes;
}

}  // namespace qv::jobs
