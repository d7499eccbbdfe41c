#include "toolkit/bars/ColorPopup.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"

namespace {

RECT WorkAreaAt(POINT point) {
  RECT work{};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  if (monitor && ::GetMonitorInfoA(monitor, &info)) return info.rcWork;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

}  // namespace

BEGIN_MESSAGE_MAP(CColorPopup, CTKPopupMenu)
  ON_WM_CREATE()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CColorPopup::CColorPopup(const std::vector<COLORREF>& colors, COLORREF color, const char* automaticText,
                         const char* otherText, const char* documentCaption,
                         const std::vector<COLORREF>& documentColors, int columns, int dockedRows,
                         int dockedColumns, COLORREF automaticColor, UINT commandId,
                         CTKColorButton* parentButton)
    : m_wndColorBar(colors, color, automaticText, otherText, documentCaption, documentColors, columns,
                    dockedRows, dockedColumns, automaticColor, commandId, parentButton) {
  m_wndColorBar.m_bDockedLayout = FALSE;
}

CColorPopup::~CColorPopup() = default;

CWnd* CColorPopup::MakeForColorButton(CTKColorButton* owner, const ColorPopupRequest& request) {
  static const std::vector<COLORREF> none;
  auto* popup = new CColorPopup(request.colors ? *request.colors : none, request.color,
                                request.automaticLabel, request.otherLabel, request.documentLabel,
                                request.documentColors ? *request.documentColors : none, request.columns, -1,
                                -1, request.automaticColor, 0, owner);
  // Without a window the popup deletes itself.
  if (!popup->Create(owner, request.at.x, request.at.y, nullptr)) return nullptr;
  if (request.keyboardOpen) popup->m_wndColorBar.m_bOpenedByKeyboard = TRUE;
  return popup;
}

CTKColorBar* CColorPopup::TearOff(CFrameWnd* frame, UINT barId, const char* title) {
  if (!frame || !frame->m_hWnd) return nullptr;
  const UINT command = m_pParentBtn ? m_pParentBtn->m_nID : m_wndColorBar.GetCommandID();
  auto* bar = new CTKColorBar(m_wndColorBar, command);
  constexpr DWORD kBarStyle = 0x50400008;
  if (!bar->Create(frame, kBarStyle | CBRS_TOOLTIPS | CBRS_FLYBY, barId, bar->m_nNumColumns,
                   bar->m_nNumRowsHorz, bar->m_nNumColumnsVert)) {
    delete bar;
    return nullptr;
  }
  bar->m_bAutoDeleteBar = TRUE;
  bar->SetWindowText(title ? title : "");
  bar->EnableDocking(CBRS_ALIGN_ANY);
  return bar;
}

int CColorPopup::OnCreate(LPCREATESTRUCT cs) {
  if (CTKToolBar::IsCustomizeMode() && !m_bEnabledInCustomizeMode) return -1;
  if (CTKPopupMenu::OnCreate(cs) == -1) return -1;
  m_wndMenuBar.ShowWindow(SW_HIDE);
  const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS | CBRS_FLYBY;
  if (!m_wndColorBar.CreateEx(this, 0, style, CRect(0, 0, 0, 0), 2)) return -1;
  m_wndColorBar.m_dwStyle &= ~(CBRS_GRIPPER | CBRS_BORDER_ANY);
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  m_wndColorBar.m_pOwnerWnd = owner ? CWnd::FromHandle(owner) : nullptr;
  ActivatePopupMenu(FrameOf(this), this);
  RecalcLayout();
  return 0;
}

void CColorPopup::RecalcLayout() {
  if (!m_hWnd || !m_wndColorBar.m_hWnd) return;
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  const int border = look->GetPopupMenuBorderSize();
  const CSize bar = m_wndColorBar.CalcSize(FALSE);
  m_iShadowSize =
      CTKToolBar::s_bMenuShadows && !CTKToolBar::IsCustomizeMode() && GlobalData::Get().bitsPerPixel > 8
          ? look->m_menuShadowDepth
          : 0;
  const int width = bar.cx + 2 * border, height = bar.cy + 2 * border;
  const RECT work = WorkAreaAt(m_ptLocation);
  int x = m_ptLocation.x, y = m_ptLocation.y;
  if (x + width + m_iShadowSize > work.right) x = work.right - width - m_iShadowSize;
  if (y + height + m_iShadowSize > work.bottom) {
    // Above the opener when it does not fit below.
    int above = y - height;
    if (CTKToolBar* parentBar = GetParentToolBar(); parentBar && m_pParentBtn && parentBar->m_hWnd) {
      CRect button = m_pParentBtn->m_rect;
      ::MapWindowPoints(parentBar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
      above = button.top - height;
    }
    y = above >= work.top ? above : work.bottom - height - m_iShadowSize;
  }
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  m_ptLocation = CPoint(x, y);
  m_FinalSize = CSize(width, height);
  ::SetWindowPos(m_hWnd, nullptr, x, y, width + m_iShadowSize, height + m_iShadowSize,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(m_wndColorBar.m_hWnd, nullptr, border, border, bar.cx, bar.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  m_wndColorBar.AdjustLayout();
}

void CColorPopup::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_ESCAPE || !m_wndColorBar.m_hWnd) {
    CTKPopupMenu::OnKeyDown(key, repeat, flags);
    return;
  }
  if (!m_wndColorBar.OnKey(key)) Default();
}
