#include "WorkshopSnapshot.h"

#include <QSaveFile>
#include <QString>
#include <system_error>

#include "SnapshotCsv.h"

namespace qv::workshop {

SnapshotResult SaveSnapshot(const std::filesystem::path& folder, const QImage& picture, const Reading& r,
                            std::chrono::system_clock::time_point when) {
  SnapshotResult result;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder)) {
    result.pictureError = folder.string() + ": " + (ec ? ec.message() : std::string("not a folder"));
    return result;
  }
  const std::filesystem::path png = NewSnapshotPath(folder, when);
  QSaveFile file(QString::fromStdString(png.string()));
  if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
    result.pictureError = png.string() + ": " + file.errorString().toStdString();
    return result;
  }
  result.png = png;
  result.csv = folder / kSnapshotCsvName;
  result.csvError = AppendSnapshotCsv(result.csv, r, when);
  return result;
}

}  // namespace qv::workshop
