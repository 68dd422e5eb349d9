// Feeds arbitrary file contents to the recording reader, checks what it
// promises about the records it reads, and decodes them as the CSV export does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "CsvExport.h"
#include "RecordingReader.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view contents(reinterpret_cast<const char*>(data), size);
  const qv::rec::ReadResult r = qv::rec::ParseRecording(contents, "fuzz.qvrec");
  Check(r.recording.has_value() != !r.error.empty());
  if (!r.recording) return 0;
  const qv::rec::Recording& rec = *r.recording;
  const bool recording = rec.kind == qv::rec::Recording::Kind::kRecording;
  Check(recording == contents.starts_with(qv::rec::kMagic));
  Check(recording == rec.header.has_value());
  if (!recording) Check(rec.bytes == contents && !rec.damaged_at);
  std::size_t next = 0;
  std::uint64_t last = 0;
  for (const auto& record : rec.records) {
    Check(record.offset == next && record.time_us >= last && record.size <= qv::rec::kMaxRecordBytes);
    next += record.size;
    last = record.time_us;
  }
  Check(next == rec.bytes.size());
  Check(!rec.damaged_at || (*rec.damaged_at < size && !rec.damage.empty()));

  // What was read, written again, reads back the same.
  if (recording) {
    std::string again = qv::rec::EncodeHeader(*rec.header);
    for (const auto& record : rec.records) qv::rec::AppendRecord(again, record.time_us, rec.BytesOf(record));
    const auto back = qv::rec::ParseRecording(again, "again");
    Check(back.recording && !back.recording->damaged_at && back.recording->bytes == rec.bytes &&
          back.recording->records.size() == rec.records.size());
  }
  const std::string csv = qv::rec::ExportCsv(rec, {});
  Check(csv.starts_with(qv::rec::CsvHeader()) && csv.ends_with("\r\n"));
  return 0;
}
