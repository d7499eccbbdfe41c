#include "toolkit/frames/TKTasksPaneToolBar.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/PanesText.h"
#include "toolkit/frames/TKTasksPane.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr int kImage = 16;

void Polygon(HDC dc, std::initializer_list<POINT> points, int offset) {
  POINT shifted[8];
  int n = 0;
  for (POINT p : points) shifted[n++] = POINT{p.x + offset, p.y};
  ::Polygon(dc, shifted, n);
}
}  // namespace

IMPLEMENT_SERIAL(CTasksPaneHistoryButton, CTKToolbarMenuButton, 1)

CTasksPaneHistoryButton::CTasksPaneHistoryButton(UINT command, int image, const char* text)
    : CTKToolbarMenuButton(command, nullptr, image, text) {
  m_bMenuMode = TRUE;  // the arrow beside the image opens the menu
  m_bLocked = TRUE;
}

void CTasksPaneHistoryButton::OnChangeParentWnd(CWnd* parent) {
  CTKToolbarMenuButton::OnChangeParentWnd(parent);
  m_bMenuMode = TRUE;  // its items come only when the menu opens
  // The pane enables the items and carries the choice out.
  m_pWndMessage = Pane();
}

CTKTasksPane* CTasksPaneHistoryButton::Pane() const {
  CWnd* bar = m_pWndParent;
  if (!bar || !bar->m_hWnd) return nullptr;
  return dynamic_cast<CTKTasksPane*>(CWnd::FromHandlePermanent(::GetParent(bar->m_hWnd)));
}

HMENU CTasksPaneHistoryButton::CreateMenu() const {
  m_pageNames.RemoveAll();
  CTKTasksPane* pane = Pane();
  if (!pane) return nullptr;
  const std::vector<int>& history = pane->GetHistory();
  const int at = pane->GetHistoryPosition();
  if (m_nID == ID_TKTASKS_BACK)
    for (int i = at - 1; i >= 0; --i) m_pageNames.AddTail(pane->GetPageName(history[i]));
  else
    for (int i = at + 1; i < static_cast<int>(history.size()); ++i)
      m_pageNames.AddTail(pane->GetPageName(history[i]));
  if (m_pageNames.IsEmpty()) return nullptr;
  HMENU menu = ::CreatePopupMenu();
  for (POSITION pos = m_pageNames.GetHeadPosition(); pos;)
    ::AppendMenuA(menu, MF_STRING, m_nID, m_pageNames.GetNext(pos));
  return menu;
}

BOOL CTasksPaneHistoryButton::OnItemChosen(CTKToolBar* popupBar, CTKToolbarButton* item) {
  CTKPopupMenu* own = GetPopupMenu();
  CTKTasksPane* pane = Pane();
  if (!popupBar || !own || popupBar != own->GetMenuBar() || !pane) return FALSE;
  const int index = popupBar->ButtonToIndex(item);
  if (index < 0) return TRUE;
  if (m_nID == ID_TKTASKS_BACK)
    pane->GoBack(index + 1);
  else
    pane->GoForward(index + 1);
  return TRUE;
}

CTasksPaneToolBar::CTasksPaneToolBar() {
  m_bLocked = TRUE;
  m_bRouteCommandsViaFrame = FALSE;
  m_sizeImageLocked = m_sizeCurImageLocked = SIZE{kImage, kImage};
  m_sizeButtonLocked = m_sizeCurButtonLocked = SIZE{kImage + 4, kImage + 4};
}

void CTasksPaneToolBar::MakeImages() {
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP strip = ::CreateCompatibleBitmap(screen, 4 * kImage, kImage);
  HGDIOBJ oldBitmap = ::SelectObject(memory, strip);
  const COLORREF face = GlobalData::Get().buttonFace;
  RECT all{0, 0, 4 * kImage, kImage};
  HBRUSH faceBrush = ::CreateSolidBrush(face);
  ::FillRect(memory, &all, faceBrush);
  ::DeleteObject(faceBrush);
  HBRUSH green = ::CreateSolidBrush(RGB(0, 128, 0));
  HBRUSH blue = ::CreateSolidBrush(RGB(0, 64, 160));
  HPEN dark = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ oldPen = ::SelectObject(memory, dark);
  HGDIOBJ oldBrush = ::SelectObject(memory, green);
  // Back and Forward: arrows.
  Polygon(memory, {{2, 8}, {8, 2}, {8, 5}, {13, 5}, {13, 11}, {8, 11}, {8, 14}}, 0);
  Polygon(memory, {{13, 8}, {7, 2}, {7, 5}, {2, 5}, {2, 11}, {7, 11}, {7, 14}}, kImage);
  // Home: a house.
  ::SelectObject(memory, blue);
  Polygon(memory, {{1, 8}, {8, 1}, {15, 8}, {13, 8}, {13, 14}, {3, 14}, {3, 8}}, 2 * kImage);
  // Close: a cross.
  HPEN cross = ::CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
  ::SelectObject(memory, cross);
  ::MoveToEx(memory, 3 * kImage + 4, 4, nullptr);
  ::LineTo(memory, 3 * kImage + 12, 12);
  ::MoveToEx(memory, 3 * kImage + 12, 4, nullptr);
  ::LineTo(memory, 3 * kImage + 4, 12);
  ::SelectObject(memory, oldPen);
  ::SelectObject(memory, oldBrush);
  ::DeleteObject(cross);
  ::DeleteObject(dark);
  ::DeleteObject(green);
  ::DeleteObject(blue);
  ::SelectObject(memory, oldBitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  m_ImagesLocked.Clear();
  m_ImagesLocked.SetImageSize(SIZE{kImage, kImage});
  m_ImagesLocked.AddImage(strip);
  ::DeleteObject(strip);
}

BOOL CTasksPaneToolBar::CreateIn(CWnd* pane) {
  if (!CreateEx(pane, 0, WS_CHILD | CBRS_ALIGN_TOP, CRect(1, 1, 1, 1), ID_TKTASKS_OTHER)) return FALSE;
  m_dwStyle &= ~static_cast<DWORD>(CBRS_GRIPPER);
  MakeImages();
  struct Item {
    UINT id;
    int image;
    const char* text;
  };
  const Item items[] = {{ID_TKTASKS_BACK, 0, panes_text::kBack},
                        {ID_TKTASKS_FORWARD, 1, panes_text::kForward},
                        {ID_TKTASKS_HOME, 2, panes_text::kHome},
                        {ID_TKTASKS_OTHER, -1, panes_text::kOtherTaskPanes},
                        {ID_TKTASKS_CLOSE, 3, panes_text::kClose}};
  for (const Item& item : items) {
    const bool history = item.id == ID_TKTASKS_BACK || item.id == ID_TKTASKS_FORWARD;
    CTKToolbarButton* button = history ? new CTasksPaneHistoryButton(item.id, item.image, item.text)
                                       : new CTKToolbarButton(item.id, item.image, item.text, FALSE, TRUE);
    button->m_bText = item.image < 0;
    button->m_bImage = item.image >= 0;
    button->m_strTooltip = item.text;
    InsertButton(button);
  }
  return TRUE;
}

CWnd* CTasksPaneToolBar::GetCommandTarget() const { return GetParent(); }

int CTasksPaneToolBar::Height() const { return std::max<int>(kImage + 4, GlobalData::Get().textHeight) + 4; }

void CTasksPaneToolBar::AdjustLayout() {
  CTKToolBar::AdjustLayout();
  // The page-list button takes the room left, at least three times its height.
  const int index = CommandToIndex(ID_TKTASKS_OTHER);
  CTKToolbarButton* list = GetButton(index);
  if (!list || !m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  const int right = std::max<int>(list->m_rect.left + 3 * list->m_rect.Height(),
                                  client.Width() - 1 - (GetCount() - 1 - index) * (kImage + 4));
  const int shift = right - list->m_rect.right;
  list->m_rect.right = right;
  for (int i = index + 1; i < GetCount(); ++i) GetButton(i)->m_rect.OffsetRect(shift, 0);
}

void CTasksPaneToolBar::SetPageName(const CString& name) {
  const int index = CommandToIndex(ID_TKTASKS_OTHER);
  if (CTKToolbarButton* list = GetButton(index)) {
    list->m_strText = name;
    AdjustLayout();
    if (m_hWnd) Invalidate();
  }
}

void CTasksPaneToolBar::EnableCommand(UINT id, BOOL enable) {
  const int index = CommandToIndex(id);
  CTKToolbarButton* button = GetButton(index);
  if (!button) return;
  const UINT style = enable ? (button->m_nStyle & ~TBBS_DISABLED) : (button->m_nStyle | TBBS_DISABLED);
  if (style == button->m_nStyle) return;
  button->m_nStyle = style;
  if (m_hWnd) ::InvalidateRect(m_hWnd, &button->m_rect, TRUE);
}
