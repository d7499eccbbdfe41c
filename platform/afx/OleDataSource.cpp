#include "platform/afx/OleDataSource.h"

#include "platform/afx/OleDropSource.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include <vector>
#include "platform/afx/linux_headers_end.h"

// The COM object: lives as long as its owner; OLE's references only count.
class COleDataSource::DataObject : public IDataObject {
public:
  ~DataObject() { Empty(); }
  void Empty() {
    for (Entry& e : m_entries) ::GlobalFree(e.memory);
    m_entries.clear();
  }
  std::vector<Entry> m_entries;
  LONG m_refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
      *object = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }

  const Entry* Find(const FORMATETC* etc) const {
    if (!etc || !(etc->tymed & TYMED_HGLOBAL)) return nullptr;
    for (const Entry& e : m_entries)
      if (e.format == etc->cfFormat) return &e;
    return nullptr;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* etc, STGMEDIUM* medium) override {
    const Entry* entry = Find(etc);
    if (!entry) return DV_E_FORMATETC;
    const SIZE_T size = ::GlobalSize(entry->memory);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size ? size : 1);
    if (!copy) return E_OUTOFMEMORY;
    void* from = ::GlobalLock(entry->memory);
    void* to = ::GlobalLock(copy);
    if (from && to) std::memcpy(to, from, size);
    ::GlobalUnlock(copy);
    ::GlobalUnlock(entry->memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* etc) override {
    return Find(etc) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

COleDataSource::COleDataSource() : m_pDataObject(new DataObject) {}

COleDataSource::~COleDataSource() { delete m_pDataObject; }

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL memory) {
  for (Entry& e : m_pDataObject->m_entries)
    if (e.format == format) {
      ::GlobalFree(e.memory);
      e.memory = memory;
      return;
    }
  m_pDataObject->m_entries.push_back(Entry{format, memory});
}

void COleDataSource::Empty() { m_pDataObject->Empty(); }

IDataObject* COleDataSource::GetDataObject() { return m_pDataObject; }

DROPEFFECT COleDataSource::DoDragDrop(DWORD effects, const RECT* startRect, COleDropSource* dropSource) {
  COleDropSource defaultSource;
  COleDropSource* source = dropSource ? dropSource : &defaultSource;
  if (startRect) source->m_rectStartDrag = *startRect;
  if (!source->OnBeginDrag(CWnd::FromHandle(::GetCapture() ? ::GetCapture() : ::GetFocus())))
    return DROPEFFECT_NONE;
  DWORD result = DROPEFFECT_NONE;
  HRESULT hr = ::DoDragDrop(m_pDataObject, source->GetDropSource(), effects, &result);
  return hr == DRAGDROP_S_DROP ? result : DROPEFFECT_NONE;
}
