#include "WorkshopSnapshot.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <cmath>
#include <cstdlib>

namespace qv::workshop {

std::filesystem::path StandardSnapshotFolder() {
  if (const char* pictures = std::getenv("XDG_PICTURES_DIR"); pictures && *pictures)
    return std::filesystem::path(pictures) / "Quorvel";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / "Pictures" / "Quorvel";
}

namespace {

// Numbers in the CSV file use a point, whatever the locale, so that
// spreadsheets and scripts read them alike.
QString Plain(double v) { return std::isfinite(v) ? QString::number(v, 'f', 3) : QString(); }

QString Quoted(QString s) {
  s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + s + QLatin1Char('"');
}

QString Verdict(const Reading& r, const ViewText& text) {
  switch (r.status) {
    case Status::NoScan: return text.NoScan();
    case Status::Waiting: return text.Waiting();
    case Status::NoData: return text.NoData();
    case Status::Live: break;
  }
  return text.Verdict(r);
}

QString SnapshotCsvHeader() {
  return QStringLiteral(
      "time,unit,reference,tolerance,absolute1,absolute2,absolute3,absolute4,"
      "difference1,difference2,difference3,difference4,scatter1,scatter2,scatter3,scatter4,verdict");
}

QString SnapshotCsvLine(const Reading& r, const QDateTime& when, const ViewText& text) {
  QStringList f;
  f << when.toString(Qt::ISODate) << text.UnitName(r.unit) << Quoted(text.ReferenceName(r)) << Plain(r.tolerance);
  auto each = [&](auto member) {
    for (int c = 0; c < 4; ++c) f << (c < r.channelCount ? Plain(r.channels[static_cast<std::size_t>(c)].*member) : "");
  };
  each(&Channel::absolute);
  each(&Channel::difference);
  each(&Channel::scatter);
  f << Quoted(Verdict(r, text));
  return f.join(QLatin1Char(','));
}

}  // namespace

SnapshotResult SaveSnapshot(const std::filesystem::path& folder, const QImage& picture, const Reading& r,
                            const QDateTime& when, const ViewText& text) {
  SnapshotResult result;
  const QString dir = QString::fromStdString(folder.string());
  if (!QDir().mkpath(dir)) {
    result.error = text.Tr("Ordner %1 kann nicht angelegt werden.", "Cannot create the folder %1.").arg(dir);
    return result;
  }
  const QString stem = dir + QStringLiteral("/quorvel-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString png = stem + QStringLiteral(".png");
  for (int n = 2; QFile::exists(png); ++n) png = stem + QStringLiteral("-%1.png").arg(n);

  QSaveFile file(png);
  if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
    result.error = text.Tr("Bild %1 konnte nicht gespeichert werden: %2", "Could not save the picture %1: %2")
                       .arg(png, file.errorString());
    return result;
  }
  result.png = png;

  const QString csvPath = dir + QStringLiteral("/snapshots.csv");
  QFile csv(csvPath);
  const bool fresh = !csv.exists() || csv.size() == 0;
  QByteArray line;
  if (fresh) line += SnapshotCsvHeader().toUtf8() + '\n';
  line += SnapshotCsvLine(r, when, text).toUtf8() + '\n';
  // One write of the whole line in append mode: a failing disk leaves the
  // lines already there as they were.
  if (!csv.open(QIODevice::WriteOnly | QIODevice::Append) || csv.write(line) != line.size() || !csv.flush()) {
    result.error = text.Tr("Bild gespeichert (%1), aber die Zeile in %2 nicht: %3",
                           "Picture saved (%1), but not the line in %2: %3")
                       .arg(png, csvPath, csv.errorString());
    return result;
  }
  result.csv = csvPath;
  result.ok = true;
  return result;
}

}  // namespace qv::workshop
