// The record a copy leaves in a game folder, read as the stranger's file it
// is once it lies there: any bytes parse without fault; a record that is
// accepted names only paths that may be followed below the executable
// folder, and writing it back (in the current format) and reading it again
// gives the same record.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/deployment_record.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::wstring problem;
  const auto record = ParseDeploymentRecord(bytes, problem);
  Check(record.has_value() == problem.empty());
  if (!record) return 0;
  for (const auto* files : {&record->written, &record->planned}) {
    for (const WrittenFile& file : *files) Check(UnsafeRecordPathReason(file.path).empty() && file.sha256.size() == 64);
  }
  for (const KeptFile& file : record->kept) {
    Check(UnsafeRecordPathReason(file.path).empty() && IsBackupFolderName(file.backup));
    Check(file.sha256.empty() || file.sha256.size() == 64);
  }
  Check(record->EntryCount() <= kMaxRecordEntries);
  for (const std::wstring& folder : record->made) Check(UnsafeRecordPathReason(folder).empty());
  // Whatever the reader takes (of the first format too), the writer writes
  // back within the limits, and the reader takes that again unchanged.
  const std::string written = FormatDeploymentRecord(*record);
  Check(RecordWithinLimits(*record, written.size()));
  const auto again = ParseDeploymentRecord(written, problem);
  Check(again && *again == *record);
  return 0;
}
