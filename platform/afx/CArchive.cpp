#include "platform/afx/CArchive.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

CArchive::CArchive(CFile* file, UINT mode, int) : file_(file) {
  if (mode & load) {
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    for (UINT n; (n = file->Read(chunk, sizeof chunk)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    owned_ = std::make_unique<settings::Archive>(std::move(bytes));
  } else {
    owned_ = std::make_unique<settings::Archive>();
  }
  ar_ = owned_.get();
}

CArchive::~CArchive() {
  if (file_ && !closed_ && ar_->IsStoring()) {
    try {
      Flush();
    } catch (...) {
      // A destructor cannot report it; Close is where a failed write shows.
    }
  }
}

void CArchive::Flush() {
  if (!file_ || !ar_->IsStoring()) return;
  const auto& bytes = ar_->bytes();
  if (bytes.size() > flushed_)
    file_->Write(bytes.data() + flushed_, static_cast<UINT>(bytes.size() - flushed_));
  flushed_ = bytes.size();
}

void CArchive::Close() {
  Flush();
  closed_ = true;
}

UINT CArchive::Read(void* data, UINT size) {
  UINT n = static_cast<UINT>(std::min<size_t>(size, ar_->Remaining()));
  ar_->Read(data, n);
  return n;
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested) {
  settings::ArchiveObject* shared = nullptr;
  std::unique_ptr<settings::ArchiveObject> made = ar_->ReadObject(&shared);
  settings::ArchiveObject* got = made ? made.get() : shared;
  if (!got) return nullptr;
  CObject* object = dynamic_cast<CObject*>(got);
  if (!object || (requested && !object->IsKindOf(requested)))
    throw CArchiveException(CArchiveException::kBadClass, "object of an unexpected class");
  made.release();
  return object;
}
