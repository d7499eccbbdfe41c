#include "platform/afx/Archive.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

CArchive::CArchive(CFile* file, UINT mode, int) : m_file(file) {
  if (mode & load) {
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    for (UINT n; (n = file->Read(chunk, sizeof chunk)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    m_owned = std::make_unique<settings::Archive>(std::move(bytes));
  } else {
    m_owned = std::make_unique<settings::Archive>();
  }
  m_ar = m_owned.get();
}

CArchive::~CArchive() {
  if (m_file && !m_closed && m_ar->IsStoring()) {
    try {
      Flush();
    } catch (...) {
      // A destructor cannot report it; Close is where a failed write shows.
    }
  }
}

void CArchive::Flush() {
  if (!m_file || !m_ar->IsStoring()) return;
  const auto& bytes = m_ar->bytes();
  if (bytes.size() > m_flushed)
    m_file->Write(bytes.data() + m_flushed, static_cast<UINT>(bytes.size() - m_flushed));
  m_flushed = bytes.size();
}

void CArchive::Close() {
  Flush();
  m_closed = true;
}

UINT CArchive::Read(void* data, UINT size) {
  UINT n = static_cast<UINT>(std::min<size_t>(size, m_ar->Remaining()));
  m_ar->Read(data, n);
  return n;
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested) {
  settings::ArchiveObject* shared = nullptr;
  std::unique_ptr<settings::ArchiveObject> made = m_ar->ReadObject(&shared);
  settings::ArchiveObject* got = made ? made.get() : shared;
  if (!got) return nullptr;
  CObject* object = dynamic_cast<CObject*>(got);
  if (!object || (requested && !object->IsKindOf(requested)))
    throw CArchiveException(CArchiveException::kBadClass, "object of an unexpected class");
  made.release();
  return object;
}
