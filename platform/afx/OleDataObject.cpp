#include "platform/afx/OleDataObject.h"

#include <cstring>

void COleDataObject::Attach(IDataObject* data, BOOL autoRelease) {
  Release();
  m_pDataObject = data;
  m_bAutoRelease = autoRelease;
}

IDataObject* COleDataObject::Detach() {
  IDataObject* data = m_pDataObject;
  m_pDataObject = nullptr;
  return data;
}

void COleDataObject::Release() {
  if (m_pDataObject && m_bAutoRelease) m_pDataObject->Release();
  m_pDataObject = nullptr;
}

namespace {
FORMATETC GlobalFormat(CLIPFORMAT format) {
  FORMATETC etc{};
  etc.cfFormat = format;
  etc.dwAspect = DVASPECT_CONTENT;
  etc.lindex = -1;
  etc.tymed = TYMED_HGLOBAL;
  return etc;
}
}  // namespace

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
  if (!m_pDataObject) return FALSE;
  FORMATETC etc = GlobalFormat(format);
  return m_pDataObject->QueryGetData(&etc) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT format) const {
  if (!m_pDataObject) return nullptr;
  FORMATETC etc = GlobalFormat(format);
  STGMEDIUM medium{};
  if (m_pDataObject->GetData(&etc, &medium) != S_OK) return nullptr;
  HGLOBAL copy = nullptr;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    const SIZE_T size = ::GlobalSize(medium.hGlobal);
    copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size ? size : 1);
    if (copy) {
      void* from = ::GlobalLock(medium.hGlobal);
      void* to = ::GlobalLock(copy);
      if (from && to) std::memcpy(to, from, size);
      ::GlobalUnlock(copy);
      ::GlobalUnlock(medium.hGlobal);
    }
  }
  ::ReleaseStgMedium(&medium);
  return copy;
}

CFile* COleDataObject::GetFileData(CLIPFORMAT format) const {
  HGLOBAL memory = GetGlobalData(format);
  if (!memory) return nullptr;
  const SIZE_T size = ::GlobalSize(memory);
  auto* file = new CMemFile(1024);
  if (void* bytes = ::GlobalLock(memory)) {
    file->Write(bytes, static_cast<UINT>(size));
    ::GlobalUnlock(memory);
  }
  ::GlobalFree(memory);
  file->Seek(0, CFile::begin);
  return file;
}
