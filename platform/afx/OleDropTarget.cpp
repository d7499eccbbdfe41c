#include "platform/afx/OleDropTarget.h"

class COleDropTarget::DropTarget : public IDropTarget {
public:
  explicit DropTarget(COleDropTarget* owner) : m_owner(owner) {}
  COleDropTarget* m_owner;
  IDataObject* m_data = nullptr;
  LONG m_refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
      *object = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }

  CPoint ClientPoint(POINTL pt) const {
    POINT p{pt.x, pt.y};
    if (m_owner->m_pWnd) ::ScreenToClient(m_owner->m_pWnd->m_hWnd, &p);
    return CPoint(p);
  }
  void Hold(IDataObject* data) {
    if (data) data->AddRef();
    if (m_data) m_data->Release();
    m_data = data;
  }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
    Hold(data);
    COleDataObject view;
    view.Attach(m_data, FALSE);
    *effect = m_owner->OnDragEnter(m_owner->m_pWnd, &view, keys, ClientPoint(pt)) & *effect;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override {
    COleDataObject view;
    view.Attach(m_data, FALSE);
    *effect = m_owner->OnDragOver(m_owner->m_pWnd, &view, keys, ClientPoint(pt)) & *effect;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    m_owner->OnDragLeave(m_owner->m_pWnd);
    Hold(nullptr);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
    Hold(data);
    COleDataObject view;
    view.Attach(m_data, FALSE);
    const CPoint point = ClientPoint(pt);
    // The effect the last drag-over chose, asked once more for the final keys.
    DROPEFFECT chosen = m_owner->OnDragOver(m_owner->m_pWnd, &view, keys, point) & *effect;
    if (chosen != DROPEFFECT_NONE && m_owner->OnDrop(m_owner->m_pWnd, &view, chosen, point))
      *effect = chosen;
    else
      *effect = DROPEFFECT_NONE;
    Hold(nullptr);
    return S_OK;
  }
};

COleDropTarget::COleDropTarget() : m_pDropTarget(new DropTarget(this)) {}

COleDropTarget::~COleDropTarget() {
  Revoke();
  m_pDropTarget->Hold(nullptr);
  delete m_pDropTarget;
}

BOOL COleDropTarget::Register(CWnd* window) {
  if (!window || !window->m_hWnd || !AfxOleIsInitialized()) return FALSE;
  Revoke();
  if (FAILED(::RegisterDragDrop(window->m_hWnd, m_pDropTarget))) return FALSE;
  m_pWnd = window;
  m_hWndRegistered = window->m_hWnd;
  return TRUE;
}

void COleDropTarget::Revoke() {
  if (m_hWndRegistered) ::RevokeDragDrop(m_hWndRegistered);
  m_hWndRegistered = nullptr;
  m_pWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
void COleDropTarget::OnDragLeave(CWnd*) {}
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
