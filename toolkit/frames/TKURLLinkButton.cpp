#include "toolkit/frames/TKURLLinkButton.h"

#include <shellapi.h>

#include "toolkit/frames/GlobalData.h"

CTKURLLinkButton::OpenFunction CTKURLLinkButton::s_openTarget = ::ShellExecuteA;

CTKURLLinkButton::CTKURLLinkButton() {
  GlobalData& gd = GlobalData::Get();
  m_nFlatStyle = BUTTONSTYLE_NOBORDERS;
  m_bTransparent = TRUE;
  // The toolkit keeps one link colour; the hot colour is the same.
  m_clrText = gd.hotLinkText;
  m_clrHover = gd.hotLinkText;
  m_hCursor = gd.GetHandCursor();
}

CString CTKURLLinkButton::GetTarget() const {
  CString target = m_strPrefix;
  if (m_strURL.IsEmpty()) {
    CString caption;
    if (m_hWnd) GetWindowText(caption);
    target += caption;
  } else {
    target += m_strURL;
  }
  return target;
}

void CTKURLLinkButton::OpenLink() {
  HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
  CString target = GetTarget();
  if (s_openTarget) s_openTarget(nullptr, nullptr, target, nullptr, nullptr, 0);
  ::SetCursor(old);
  m_bHover = FALSE;
  Invalidate();
}

void CTKURLLinkButton::SizeToContent() {
  CString text;
  GetWindowText(text);
  CClientDC dc(this);
  HGDIOBJ old = dc.SelectObject(&GlobalData::Get().underlineFont);
  CRect rect(0, 0, 0, 0);
  dc.DrawText(text, -1, &rect, DT_CALCRECT | DT_SINGLELINE);
  dc.SelectObject(old);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, rect.Width() + 6, rect.Height() + 6,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CTKURLLinkButton::FillBackground(CDC* dc, const CRect& rect) {
  GlobalData::Get().PaintParentBackground(this, dc, &rect);
}

void CTKURLLinkButton::DrawFocusRectangle(CDC* dc, const CRect& rect) { dc->DrawFocusRect(&rect); }

// No frame: the borderless style leaves the text two pixels inside.
void CTKURLLinkButton::PaintContent(CDC* dc, const CRect& rect, UINT) {
  CString text;
  GetWindowText(text);
  HGDIOBJ old = dc->SelectObject(&GlobalData::Get().underlineFont);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(m_bHover ? m_clrHover : m_clrText);
  CRect textRect = rect;
  DrawButtonText(dc, textRect, text, DT_SINGLELINE);
  dc->SetBkMode(oldMode);
  dc->SelectObject(old);
}

BOOL CTKURLLinkButton::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd == m_hWnd) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_SPACE || msg->wParam == VK_RETURN)) return TRUE;
    if (msg->message == WM_KEYUP && msg->wParam == VK_SPACE) return TRUE;
    if (msg->message == WM_KEYUP && msg->wParam == VK_RETURN) {
      OpenLink();
      return TRUE;
    }
  }
  return CTKButton::PreTranslateMessage(msg);
}

BEGIN_MESSAGE_MAP(CTKURLLinkButton, CTKButton)
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

void CTKURLLinkButton::OnLButtonUp(UINT flags, CPoint point) {
  // Whether this release is a click is known only before the button forgets its press.
  const bool click = m_bPushed && m_bClickiedInside && m_bHighlighted;
  CTKButton::OnLButtonUp(flags, point);
  if (click) OpenLink();
}
