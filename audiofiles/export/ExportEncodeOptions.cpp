#include "audiofiles/export/ExportEncodeOptions.h"

#include <atomic>

#include "app/settings/FileEncodeOptions.h"

namespace {
std::atomic<FileEncodeOptions*> g_exportRecord{nullptr};
}  // namespace

FileEncodeOptions* GetExportEncodeOptionsCopy() noexcept {
  static FileEncodeOptions copy;
  return &copy;
}

void SetExportEncodeOptions(FileEncodeOptions* record) noexcept {
  g_exportRecord.store(record, std::memory_order_release);
}

FileEncodeOptions* GetExportEncodeOptions() noexcept {
  FileEncodeOptions* record = g_exportRecord.load(std::memory_order_acquire);
  return record ? record : GetExportEncodeOptionsCopy();
}
