#include "toolkit/frames/TKDialog.h"

CTKDialog::CTKDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent), m_Impl(this) {}

CTKDialog::~CTKDialog() {
  DropBackgroundImage();
  if (m_brBackground) ::DeleteObject(m_brBackground);
}

void CTKDialog::SetBackgroundColor(COLORREF color, BOOL repaint) {
  if (m_brBackground) ::DeleteObject(m_brBackground);
  m_brBackground = color == (COLORREF)-1 ? nullptr : ::CreateSolidBrush(color);
  if (repaint && m_hWnd) Invalidate();
}

void CTKDialog::DropBackgroundImage() {
  if (m_hBkgrImage && m_bAutoDestroyBmp) ::DeleteObject(m_hBkgrImage);
  m_hBkgrImage = nullptr;
  m_sizeBkgrImage = SIZE{0, 0};
  m_bAutoDestroyBmp = FALSE;
}

void CTKDialog::SetBackgroundImage(HBITMAP bitmap, int place, BOOL owns, BOOL repaint) {
  DropBackgroundImage();
  m_hBkgrImage = bitmap;
  m_BkgrLocation = place;
  m_bAutoDestroyBmp = bitmap ? owns : FALSE;
  if (bitmap) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof info, &info);
    m_sizeBkgrImage = SIZE{info.bmWidth, info.bmHeight};
  }
  if (repaint && m_hWnd) Invalidate();
}

BOOL CTKDialog::PreTranslateMessage(MSG* msg) {
  if (m_Impl.PreTranslateMessage(msg)) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

BOOL CTKDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (m_Impl.OnCommand(wParam, lParam)) return TRUE;
  return CDialog::OnCommand(wParam, lParam);
}

BEGIN_MESSAGE_MAP(CTKDialog, CDialog)
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
  ON_WM_ACTIVATE()
  ON_WM_NCACTIVATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CTKDialog::OnEraseBkgnd(CDC* dc) {
  if (!m_brBackground && !m_hBkgrImage) return CDialog::OnEraseBkgnd(dc);
  RECT client{};
  ::GetClientRect(m_hWnd, &client);
  const bool tiled = m_hBkgrImage && m_BkgrLocation == kTile;
  if (!tiled) {
    if (m_brBackground)
      dc->FillRect(&client, m_brBackground);
    else
      CDialog::OnEraseBkgnd(dc);
  }
  if (m_hBkgrImage && m_sizeBkgrImage.cx > 0 && m_sizeBkgrImage.cy > 0) {
    const int w = m_sizeBkgrImage.cx, h = m_sizeBkgrImage.cy;
    auto draw = [&](int x, int y) {
      ::DrawStateA(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(m_hBkgrImage), 0, x, y, w, h, DST_BITMAP);
    };
    if (tiled) {
      for (int y = 0; y < client.bottom; y += h)
        for (int x = 0; x < client.right; x += w) draw(x, y);
    } else {
      switch (m_BkgrLocation) {
        case kTopRight:
          draw(client.right - w, 0);
          break;
        case kBottomLeft:
          draw(0, client.bottom - h);
          break;
        case kBottomRight:
          draw(client.right - w, client.bottom - h);
          break;
        default:
          draw(0, 0);
          break;
      }
    }
  }
  return TRUE;
}

HBRUSH CTKDialog::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
  // Static texts and buttons show the background through.
  if ((ctlColor == CTLCOLOR_STATIC || ctlColor == CTLCOLOR_BTN) && (m_brBackground || m_hBkgrImage)) {
    char className[32] = {};
    ::GetClassNameA(AfxGetSafeHwnd(wnd), className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 || lstrcmpiA(className, "Button") == 0) {
      dc->SetBkMode(TRANSPARENT);
      return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
  }
  return CDialog::OnCtlColor(dc, wnd, ctlColor);
}

void CTKDialog::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  m_Impl.OnActivate(state, AfxGetSafeHwnd(other));
  CDialog::OnActivate(state, other, minimized);
}

BOOL CTKDialog::OnNcActivate(BOOL active) {
  m_Impl.OnNcActivate(active);
  return CDialog::OnNcActivate(active);
}

void CTKDialog::OnDestroy() {
  DropBackgroundImage();
  m_Impl.ReleaseHook();
  CDialog::OnDestroy();
}
