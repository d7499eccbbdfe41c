#include "platform/afx/DC.h"

#include "platform/afx/Wnd.h"

CDC::~CDC() {
  if (m_bOwned) DeleteDC();
}

BOOL CDC::Attach(HDC dc) {
  if (!dc) return FALSE;
  m_hDC = dc;
  m_bOwned = false;
  return TRUE;
}

HDC CDC::Detach() {
  HDC dc = m_hDC;
  m_hDC = nullptr;
  m_bOwned = false;
  return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  HDC made = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
  if (!made) return FALSE;
  if (m_bOwned) DeleteDC();
  m_hDC = made;
  m_bOwned = true;
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  BOOL ok = ::DeleteDC(m_hDC);
  m_hDC = nullptr;
  m_bOwned = false;
  return ok;
}

CWnd* CDC::GetWindow() const {
  HWND hwnd = m_hDC ? ::WindowFromDC(m_hDC) : nullptr;
  return hwnd ? CWnd::FromHandle(hwnd) : nullptr;
}

CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old{};
  ::SetWindowOrgEx(m_hDC, x, y, &old);
  return CPoint(old);
}

CPoint CDC::OffsetWindowOrg(int dx, int dy) {
  POINT old{};
  ::OffsetWindowOrgEx(m_hDC, dx, dy, &old);
  return CPoint(old);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
  COLORREF old = ::SetBkColor(m_hDC, color);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  RECT r{x, y, x + cx, y + cy};
  FillSolidRect(&r, color);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
  FillSolidRect(x, y, cx - 1, 1, topLeft);           // top, without the last pixel
  FillSolidRect(x, y, 1, cy - 1, topLeft);           // left, without the last pixel
  FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);  // right
  FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);  // bottom
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
  Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft, bottomRight);
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old{};
  ::MoveToEx(m_hDC, x, y, &old);
  return CPoint(old);
}

CSize CDC::GetTextExtent(const char* text, int count) const {
  SIZE size{};
  ::GetTextExtentPoint32A(m_hDC, text, count, &size);
  return CSize(size);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }
CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetWindowDC(m_hWnd)); }
CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
