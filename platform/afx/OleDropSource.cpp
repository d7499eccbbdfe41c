#include "platform/afx/OleDropSource.h"

class COleDropSource::DropSource : public IDropSource {
public:
  explicit DropSource(COleDropSource* owner) : m_owner(owner) {}
  COleDropSource* m_owner;
  LONG m_refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keyState) override {
    return m_owner->QueryContinueDrag(escape, keyState);
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override { return m_owner->GiveFeedback(effect); }
};

COleDropSource::COleDropSource() : m_pDropSource(new DropSource(this)) {}

COleDropSource::~COleDropSource() { delete m_pDropSource; }

IDropSource* COleDropSource::GetDropSource() { return m_pDropSource; }

BOOL COleDropSource::OnBeginDrag(CWnd* window) {
  m_bDragStarted = FALSE;
  POINT cursor;
  ::GetCursorPos(&cursor);
  CRect start = m_rectStartDrag;
  if (start.IsRectEmpty()) {
    start = CRect(cursor.x, cursor.y, cursor.x, cursor.y);
    start.InflateRect(::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG));
  }
  HWND hwnd = AfxGetSafeHwnd(window);
  if (hwnd) ::SetCapture(hwnd);
  // Wait, handling nothing else, until the mouse leaves the rectangle or the button
  // comes up; the drag is then on (or off).
  BOOL started = FALSE;
  for (;;) {
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP || msg.message == WM_CANCELMODE ||
        (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
      break;
    if (msg.message == WM_MOUSEMOVE) {
      POINT at;
      ::GetCursorPos(&at);
      if (!start.PtInRect(at)) {
        started = TRUE;
        break;
      }
      continue;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  if (hwnd && ::GetCapture() == hwnd) ::ReleaseCapture();
  m_bDragStarted = started;
  return started;
}

SCODE COleDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if (escapePressed) return DRAGDROP_S_CANCEL;
  if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
  return S_OK;
}

SCODE COleDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }
