#include "platform/afx/OleIPFrameWnd.h"

#include "platform/afx/ControlBar.h"

IMPLEMENT_DYNAMIC(COleIPFrameWnd, CFrameWnd)

// What the container sees of the object while it is UI active. It lives inside the
// frame: the container drops it (SetActiveObject with none) before the frame goes.
class COleIPFrameWnd::ActiveObject : public IOleInPlaceActiveObject {
public:
  explicit ActiveObject(COleIPFrameWnd* owner) : m_owner(owner) {}
  COleIPFrameWnd* m_owner;
  LONG m_refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
        IsEqualIID(riid, IID_IOleInPlaceActiveObject)) {
      *object = static_cast<IOleInPlaceActiveObject*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }

  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = m_owner->m_hWnd;
    return *window ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // The container's message loop offers the object its messages first (an object in
  // the container's own process has no loop of its own).
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg) override {
    return msg && m_owner->m_hWnd && m_owner->PreTranslateMessage(msg) ? S_OK : S_FALSE;
  }
  // The container's frame or document window was activated or deactivated: for the
  // frame this is its own activation, which as a child window it never gets from
  // the system.
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override { return Activate(activate); }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override { return Activate(activate); }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
    // The bars live in the frame itself: nothing to negotiate with the container.
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override {
    if (m_owner->m_hWnd) ::EnableWindow(m_owner->m_hWnd, enable);
    return S_OK;
  }

private:
  HRESULT Activate(BOOL activate) {
    if (!m_owner->m_hWnd || !m_owner->m_bUIActive) return S_OK;
    ::SendMessageA(m_owner->m_hWnd, WM_ACTIVATE, activate ? WA_ACTIVE : WA_INACTIVE,
                   reinterpret_cast<LPARAM>(m_owner->GetContainerFrameWindow()));
    return S_OK;
  }
};

COleIPFrameWnd::COleIPFrameWnd() : m_pActiveObject(new ActiveObject(this)) {}

COleIPFrameWnd::~COleIPFrameWnd() {
  ReleaseContainer();
  delete m_pActiveObject;
}

BEGIN_MESSAGE_MAP(COleIPFrameWnd, CFrameWnd)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

IOleInPlaceActiveObject* COleIPFrameWnd::GetInPlaceActiveObject() { return m_pActiveObject; }

HWND COleIPFrameWnd::GetContainerFrameWindow() const {
  HWND window = nullptr;
  if (m_pContainerFrame && SUCCEEDED(m_pContainerFrame->GetWindow(&window))) return window;
  return m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
}

BOOL COleIPFrameWnd::OnCreateControlBars(CWnd*, CWnd*) { return TRUE; }

BOOL COleIPFrameWnd::ActivateInPlace(IOleInPlaceSite* site, UINT resourceId, CCreateContext* context) {
  if (!site || m_pSite || m_hWnd || site->CanInPlaceActivate() != S_OK) return FALSE;
  m_pSite = site;
  m_pSite->AddRef();
  HWND parent = nullptr;
  RECT pos{};
  RECT clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  if (FAILED(m_pSite->OnInPlaceActivate()) || FAILED(m_pSite->GetWindow(&parent)) || !parent ||
      FAILED(m_pSite->GetWindowContext(&m_pContainerFrame, &m_pContainerDoc, &pos, &clip, &frameInfo)) ||
      !LoadFrame(resourceId, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CWnd::FromHandle(parent),
                 context)) {
    m_pSite->OnInPlaceDeactivate();
    ReleaseContainer();
    return FALSE;
  }
  HWND docWindow = nullptr;
  if (m_pContainerDoc) m_pContainerDoc->GetWindow(&docWindow);
  if (!OnCreateControlBars(CWnd::FromHandle(GetContainerFrameWindow()), CWnd::FromHandle(docWindow))) {
    DestroyWindow();  // the site hears of the end, and the frame deletes itself
    return FALSE;
  }
  RepositionFrame(&pos, &clip);
  ShowWindow(SW_SHOW);

  // UI activation: the container keeps its menu and its tools, and talks to the
  // object through its active-object interface from now on.
  m_pSite->OnUIActivate();
  if (m_pContainerFrame) {
    m_pContainerFrame->SetActiveObject(m_pActiveObject, nullptr);
    m_pContainerFrame->SetBorderSpace(nullptr);
  }
  if (m_pContainerDoc) m_pContainerDoc->SetActiveObject(m_pActiveObject, nullptr);
  m_bUIActive = TRUE;
  SendMessage(WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(GetContainerFrameWindow()));
  ::SetFocus(m_hWnd);
  return TRUE;
}

void COleIPFrameWnd::DeactivateInPlace() {
  if (m_hWnd) DestroyWindow();
}

void COleIPFrameWnd::DeactivateUI() {
  if (!m_bUIActive) return;
  if (m_hWnd) SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(GetContainerFrameWindow()));
  m_bUIActive = FALSE;
  if (m_pContainerFrame) m_pContainerFrame->SetActiveObject(nullptr, nullptr);
  if (m_pContainerDoc) m_pContainerDoc->SetActiveObject(nullptr, nullptr);
  if (m_pSite) m_pSite->OnUIDeactivate(FALSE);
}

void COleIPFrameWnd::OnDestroy() {
  // However the window goes, the container hears of the end of the activation.
  DeactivateUI();
  if (m_pSite) m_pSite->OnInPlaceDeactivate();
  ReleaseContainer();
  CFrameWnd::OnDestroy();
}

void COleIPFrameWnd::ReleaseContainer() {
  if (m_pContainerDoc) m_pContainerDoc->Release();
  if (m_pContainerFrame) m_pContainerFrame->Release();
  if (m_pSite) m_pSite->Release();
  m_pContainerDoc = nullptr;
  m_pContainerFrame = nullptr;
  m_pSite = nullptr;
}

void COleIPFrameWnd::RepositionFrame(LPCRECT posRect, LPCRECT clipRect) {
  if (!posRect || !m_hWnd) return;
  // The room the bars take around an area the object's size.
  const RECT area{0, 0, posRect->right - posRect->left, posRect->bottom - posRect->top};
  RECT free = area;
  AfxRepositionBars(m_hWnd, 0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &free, &area);
  RECT rect{posRect->left - free.left, posRect->top - free.top, posRect->right + (area.right - free.right),
            posRect->bottom + (area.bottom - free.bottom)};
  ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
  PlaceFrame(rect, clipRect);
}

void COleIPFrameWnd::PlaceFrame(const RECT& rect, LPCRECT clipRect) {
  ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // Outside the clip rectangle the container's own window shows.
  RECT visible{};
  if (clipRect) ::IntersectRect(&visible, &rect, clipRect);
  if (clipRect && !::EqualRect(&visible, &rect)) {
    ::OffsetRect(&visible, -rect.left, -rect.top);
    ::SetWindowRgn(m_hWnd, ::CreateRectRgnIndirect(&visible), TRUE);
  } else {
    ::SetWindowRgn(m_hWnd, nullptr, TRUE);
  }
  RecalcLayout();
}
