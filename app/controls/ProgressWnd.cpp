#include "app/controls/ProgressWnd.h"

#include "app/controls/ControlsText.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdarg>
#include <cstdio>
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr int kMargin = 10;
constexpr int kDefaultWidth = 390;
constexpr int kDefaultHeight = 130;
}  // namespace

CProgressWnd::CProgressWnd() = default;

CProgressWnd::~CProgressWnd() {
  // The window goes with the object; the owner gets its input back first.
  DestroyWindow();
  if (m_font) ::DeleteObject(m_font);
}

BOOL CProgressWnd::Create(CWnd* owner, const char* caption, BOOL smooth) {
  if (m_hWnd) return FALSE;
  m_bCancelled = FALSE;
  m_strTitle = caption ? caption : controls_text::kProgressCaption;
  HWND ownerHwnd = owner ? owner->GetSafeHwnd() : nullptr;
  if (!ownerHwnd)
    if (CWnd* main = AfxGetMainWnd()) ownerHwnd = ::IsWindow(main->m_hWnd) ? main->m_hWnd : nullptr;

  const char* windowClass = AfxRegisterWndClass(
      CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_APPSTARTING)),
      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!windowClass) return FALSE;
  if (!m_font) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
      m_font = ::CreateFontIndirectA(&metrics.lfMessageFont);
  }
  if (!CreateEx(WS_EX_DLGMODALFRAME, windowClass, m_strTitle, WS_POPUP | WS_CAPTION, 0, 0, kDefaultWidth,
                kDefaultHeight, ownerHwnd, nullptr))
    return FALSE;

  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  auto id = [](int value) { return reinterpret_cast<HMENU>(static_cast<UINT_PTR>(value)); };
  m_Text = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0,
                             1, 1, m_hWnd, id(kTextId), instance, nullptr);
  m_wndProgress = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | (smooth ? PBS_SMOOTH : 0),
                                    0, 0, 1, 1, m_hWnd, id(kProgressId), instance, nullptr);
  m_CancelButton =
      ::CreateWindowExA(0, "BUTTON", m_strCancelLabel, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                        0, 1, 1, m_hWnd, id(kCancelButtonId), instance, nullptr);
  if (!m_Text || !m_wndProgress || !m_CancelButton) {
    DestroyWindow();
    return FALSE;
  }
  if (m_font) {
    ::SendMessageA(m_Text, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    ::SendMessageA(m_CancelButton, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
  }
  SetRange(m_nMinValue, m_nMaxValue, m_nStep);
  SetWindowSize(m_nNumTextLines, kDefaultWidth);
  Place(ownerHwnd);
  ShowWindow(SW_SHOW);
  return TRUE;
}

void CProgressWnd::SetWindowSize(int textLines, int width) {
  m_nNumTextLines = textLines < 1 ? 1 : textLines;
  if (!m_hWnd) return;

  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ oldFont = m_font ? ::SelectObject(dc, m_font) : nullptr;
  // The text is as high as that many lines of the font.
  std::string measure = "M";
  for (int i = 1; i < m_nNumTextLines; ++i) measure += "\nM";
  RECT text = {kMargin, kMargin, width - 20, 120};
  ::DrawTextA(dc, measure.c_str(), -1, &text, DT_CALCRECT | DT_NOCLIP | DT_NOPREFIX);
  text.right = width - 20;

  // The button fits its label with room around it; right-aligned with the text.
  std::string label = std::string(m_strCancelLabel.str()) + "  ";
  SIZE extent{};
  ::GetTextExtentPoint32A(dc, label.c_str(), static_cast<int>(label.size()), &extent);
  if (oldFont) ::SelectObject(dc, oldFont);
  ::ReleaseDC(m_hWnd, dc);
  const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
  const int cyEdge = ::GetSystemMetrics(SM_CYEDGE);
  RECT button;
  button.right = text.right;
  button.left = button.right - (extent.cx + 4 * cxEdge);
  button.top = text.bottom + kMargin;
  button.bottom = button.top + extent.cy + 3 * cyEdge;

  RECT bar = {text.left, button.top + cyEdge, button.left - kMargin, button.bottom - cyEdge};

  ::MoveWindow(m_Text, text.left, text.top, text.right - text.left, text.bottom - text.top, TRUE);
  ::MoveWindow(m_CancelButton, button.left, button.top, button.right - button.left,
               button.bottom - button.top, TRUE);
  ::MoveWindow(m_wndProgress, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, TRUE);

  // Room for all of it: 20 to the right of the button, 30 below it.
  RECT window = {0, 0, button.right + 20, button.bottom + 30};
  ::AdjustWindowRectEx(&window, GetStyle(), FALSE, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CProgressWnd::Place(HWND owner) {
  // Centred on the owner, or on the screen without one.
  RECT self, around;
  ::GetWindowRect(m_hWnd, &self);
  if (!owner || !::IsWindowVisible(owner) || ::IsIconic(owner) || !::GetWindowRect(owner, &around))
    around = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  int width = self.right - self.left, height = self.bottom - self.top;
  int x = around.left + (around.right - around.left - width) / 2;
  int y = around.top + (around.bottom - around.top - height) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CProgressWnd::Show(const char* caption, BOOL smooth) {
  if (!m_hWnd && !Create(nullptr, caption, smooth)) return FALSE;
  if (!m_bModal) {
    // Input to the program goes only here while the work runs.
    HWND outermost = nullptr;
    for (HWND w = ::GetParent(m_hWnd); w; w = ::GetParent(w))
      if (::IsWindowEnabled(w)) outermost = w;
    if (outermost) {
      ::EnableWindow(outermost, FALSE);
      m_wndDisabled = outermost;
    }
  }
  EnableWindow(TRUE);
  if (!IsWindowVisible()) ShowWindow(SW_SHOW);
  m_bModal = TRUE;
  SetFocus();
  return TRUE;
}

void CProgressWnd::ReleaseOwner() {
  if (!m_bModal) return;
  m_bModal = FALSE;
  if (m_wndDisabled && ::IsWindow(m_wndDisabled)) ::EnableWindow(m_wndDisabled, TRUE);
  m_wndDisabled = nullptr;
}

BOOL CProgressWnd::DestroyWindow() {
  // The owner first, so that it can take the activation back when we go.
  ReleaseOwner();
  return CWnd::DestroyWindow();
}

void CProgressWnd::Hide() {
  if (!m_hWnd || !IsWindowVisible()) return;
  ShowWindow(SW_HIDE);
}

void CProgressWnd::ShowAgain() {
  if (!m_hWnd || IsWindowVisible()) return;
  ShowWindow(SW_SHOWNA);
  ::RedrawWindow(m_hWnd, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CProgressWnd::SetRange(int lower, int upper, int step) {
  if (!m_hWnd) return;
  m_nMinValue = lower;
  m_nMaxValue = upper;
  m_nStep = step;
  ::SendMessageA(m_wndProgress, PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
  ::SendMessageA(m_wndProgress, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

int CProgressWnd::SetPos(int position) {
  if (!m_hWnd) return m_nPrevPos;
  ShowAgain();
  int percent = 0;
  if (m_nMaxValue > m_nMinValue)
    percent = static_cast<int>(static_cast<double>(position - m_nMinValue) * 100.0 /
                                   (static_cast<double>(m_nMaxValue) - m_nMinValue) +
                               0.5);
  if (percent != m_nPrevPercent) {
    m_nPrevPercent = percent;
    CString title;
    title.Format("%s [%d%%]", static_cast<const char*>(m_strTitle), percent);
    SetWindowText(title);
  }
  m_nPrevPos = position;
  return static_cast<int>(::SendMessageA(m_wndProgress, PBM_SETPOS, static_cast<WPARAM>(position), 0));
}

void CProgressWnd::SetText(const char* format, ...) {
  if (!m_hWnd || !format) return;
  va_list args;
  va_start(args, format);
  CString text;
  text.FormatV(format, args);
  va_end(args);
  ::SetWindowTextA(m_Text, text);
}

void CProgressWnd::PumpMessages(BOOL escapeCancels) {
  MSG msg;
  while (!m_bCancelled && ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) {
      // The program is ending: leave the request for its own loop, code and all.
      ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (escapeCancels && msg.message == WM_CHAR && msg.wParam == VK_ESCAPE) OnCancel();
    if (msg.message == WM_LBUTTONUP && m_bModal && m_CancelButton) {
      RECT rect;
      ::GetWindowRect(m_CancelButton, &rect);
      if (::PtInRect(&rect, msg.pt)) OnCancel();
    }
    if (CWinApp* app = AfxGetApp()) {
      if (!app->PumpMessage()) {
        ::PostQuitMessage(0);
        return;
      }
    } else if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}

void CProgressWnd::OnCancel() {
  if (m_bCancelled) return;
  m_bCancelled = TRUE;
  Hide();
  if (m_bModal) PostMessage(WM_CLOSE);
  if (CWnd* main = AfxGetMainWnd())
    if (::IsWindow(main->m_hWnd)) ::SetForegroundWindow(main->m_hWnd);
}

void CProgressWnd::OnClose() {
  // Closing the window means the same as Cancel; the owner is enabled again before
  // the window goes so that it gets the activation back.
  m_bCancelled = TRUE;
  DestroyWindow();
}

void CProgressWnd::OnDestroy() {
  ReleaseOwner();
  CWnd::OnDestroy();
}

BEGIN_MESSAGE_MAP(CProgressWnd, CWnd)
  ON_COMMAND(kCancelButtonId, OnCancel)
  ON_WM_CLOSE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()
