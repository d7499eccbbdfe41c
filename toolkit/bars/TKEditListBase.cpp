#include "toolkit/bars/TKEditListBase.h"

#include "toolkit/bars/EditListText.h"
#include "toolkit/frames/GlobalData.h"

BEGIN_MESSAGE_MAP(CTKEditListBase, CStatic)
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_ENABLE()
  ON_MESSAGE(WM_SETFONT, OnSetFont)
  ON_MESSAGE(WM_GETFONT, OnGetFont)
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

namespace {

constexpr int kButtonGap = 1;
constexpr COLORREF kImageBack = RGB(192, 192, 192);

struct StandardButton {
  UINT bit;
  UINT tooltipId;
  const char* const* tooltip;
  UINT lowColourImage;
  UINT highColourImage;
  UINT hotKey;
  UINT modifiers;
  int command;
};

const StandardButton kStandardButtons[] = {
    {CTKEditListBase::kNewButton, 16017, &edit_list_text::kNew, 16929, 17026, VK_INSERT, 0,
     CTKEditListBase::kNewCommand},
    {CTKEditListBase::kDeleteButton, 16020, &edit_list_text::kDelete, 16930, 17027, VK_DELETE, 0,
     CTKEditListBase::kDeleteCommand},
    {CTKEditListBase::kMoveUpButton, 16021, &edit_list_text::kMoveItemUp, 16931, 17028, VK_UP,
     CTKEditListBase::kAlt, CTKEditListBase::kMoveUpCommand},
    {CTKEditListBase::kMoveDownButton, 16022, &edit_list_text::kMoveItemDown, 16932, 17030, VK_DOWN,
     CTKEditListBase::kAlt, CTKEditListBase::kMoveDownCommand},
};

// The button's image: the program's bitmap when it carries one, else a glyph drawn
// here (a new-item star, a cross, an up or a down arrow).
HBITMAP StandardImage(const StandardButton& entry) {
  const GlobalData& global = GlobalData::Get();
  const BOOL highColour = global.allowHighColorImages && global.bitsPerPixel >= 16;
  HMODULE module = ::GetModuleHandleA(nullptr);
  const UINT id = highColour ? entry.highColourImage : entry.lowColourImage;
  if (::FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP)))
    return static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
  HDC dc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all{0, 0, 16, 16};
  HBRUSH back = ::CreateSolidBrush(kImageBack);
  ::FillRect(dc, &all, back);
  ::DeleteObject(back);
  HPEN pen = ::CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  HBRUSH ink = ::CreateSolidBrush(RGB(0, 0, 0));
  HGDIOBJ oldBrush = ::SelectObject(dc, ink);
  switch (entry.command) {
    case CTKEditListBase::kNewCommand: {
      RECT page{3, 2, 12, 14};
      ::FrameRect(dc, &page, ink);
      ::MoveToEx(dc, 10, 3, nullptr);
      ::LineTo(dc, 14, 3);
      ::MoveToEx(dc, 12, 1, nullptr);
      ::LineTo(dc, 12, 6);
      break;
    }
    case CTKEditListBase::kDeleteCommand:
      ::MoveToEx(dc, 4, 4, nullptr);
      ::LineTo(dc, 12, 12);
      ::MoveToEx(dc, 12, 4, nullptr);
      ::LineTo(dc, 4, 12);
      break;
    case CTKEditListBase::kMoveUpCommand: {
      const POINT arrow[3] = {{8, 3}, {3, 9}, {13, 9}};
      ::Polygon(dc, arrow, 3);
      ::MoveToEx(dc, 8, 9, nullptr);
      ::LineTo(dc, 8, 14);
      break;
    }
    default: {
      const POINT arrow[3] = {{8, 13}, {3, 7}, {13, 7}};
      ::Polygon(dc, arrow, 3);
      ::MoveToEx(dc, 8, 2, nullptr);
      ::LineTo(dc, 8, 7);
      break;
    }
  }
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(ink);
  ::DeleteObject(pen);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return bitmap;
}

CString TooltipText(const StandardButton& entry) {
  char text[128] = "";
  if (::LoadStringA(::GetModuleHandleA(nullptr), entry.tooltipId, text, sizeof text) > 0)
    return CString(text);
  return CString(*entry.tooltip);
}

}  // namespace

CTKEditListBase::CTKEditListBase() = default;

CTKEditListBase::~CTKEditListBase() {
  for (ButtonEntry& entry : m_buttons) {
    if (entry.button->m_hWnd && ::IsWindow(entry.button->m_hWnd)) entry.button->DestroyWindow();
    delete entry.button;
  }
}

BOOL CTKEditListBase::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!CStatic::Create(caption, style | WS_CHILD | WS_CLIPCHILDREN, rect, parent, id)) return FALSE;
  return CreateFrameParts();
}

BOOL CTKEditListBase::ReplacePlaceholder(UINT id, CWnd* parent) {
  HWND placeholder = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
  if (!placeholder) return FALSE;
  CRect rect;
  ::GetWindowRect(placeholder, &rect);
  ::MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  char text[256] = "";
  ::GetWindowTextA(placeholder, text, sizeof text);
  const DWORD style =
      static_cast<DWORD>(::GetWindowLongA(placeholder, GWL_STYLE)) & (WS_VISIBLE | WS_TABSTOP);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(placeholder, WM_GETFONT, 0, 0));
  ::DestroyWindow(placeholder);
  if (!Create(text, style | WS_VISIBLE, rect, parent, id)) return FALSE;
  if (font) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  return TRUE;
}

BOOL CTKEditListBase::CreateFrameParts() {
  m_hFont = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
  if (!m_hFont) m_hFont = static_cast<HFONT>(GlobalData::Get().regularFont.m_hObject);
  OnSetFont(reinterpret_cast<WPARAM>(m_hFont), FALSE);
  Layout();
  if (!CreateList(ListRect())) return FALSE;
  if (HWND list = GetListHwnd()) ::SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
  return TRUE;
}

BOOL CTKEditListBase::SetStandardButtons(UINT bits) {
  for (const StandardButton& entry : kStandardButtons) {
    if (!(bits & entry.bit) || (m_uiStandardButtons & entry.bit)) continue;
    if (!AddButton(StandardImage(entry), TooltipText(entry), entry.hotKey, entry.modifiers, entry.command))
      return FALSE;
    m_uiStandardButtons |= entry.bit;
  }
  return TRUE;
}

BOOL CTKEditListBase::AddButton(HBITMAP image, const char* tooltip, UINT hotKey, UINT modifiers,
                                int command) {
  if (!m_hWnd) {
    if (image) ::DeleteObject(image);
    return FALSE;
  }
  auto* button = new CTKButton;
  const UINT id = 1 + static_cast<UINT>(m_buttons.size());
  if (!button->Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                      CRect(0, 0, m_sizeButton.cx, m_sizeButton.cy), this, id)) {
    delete button;
    if (image) ::DeleteObject(image);
    return FALSE;
  }
  button->m_nFlatStyle = CTKButton::BUTTONSTYLE_SEMIFLAT;
  button->m_bDrawFocus = FALSE;
  if (image) button->AssignImages(image, TRUE, nullptr, TRUE);
  if (tooltip) button->SetTipText(tooltip);
  m_buttons.push_back(ButtonEntry{button, hotKey, modifiers, command});
  Layout();
  return TRUE;
}

CTKButton* CTKEditListBase::GetButton(int index) const {
  return index >= 0 && index < GetButtonCount() ? m_buttons[static_cast<size_t>(index)].button : nullptr;
}

int CTKEditListBase::GetButtonCommand(int index) const {
  return index >= 0 && index < GetButtonCount() ? m_buttons[static_cast<size_t>(index)].command : 0;
}

int CTKEditListBase::FindButton(int command) const {
  for (int i = 0; i < GetButtonCount(); ++i)
    if (m_buttons[static_cast<size_t>(i)].command == command) return i;
  return -1;
}

void CTKEditListBase::Layout() {
  if (!m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  int textHeight = 16;
  {
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, m_fontCaption.m_hObject ? m_fontCaption.m_hObject : m_hFont);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    textHeight = metrics.tmHeight;
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
  }
  const int band = std::max<int>(textHeight + 6, static_cast<int>(m_sizeButton.cy) + 4);
  m_rectCaption = CRect(client.left, client.top, client.right, client.top + band);
  const int count = GetButtonCount();
  const int width = count * (m_sizeButton.cx + kButtonGap);
  m_rectButtons = CRect(m_rectCaption.right - 2 - width, m_rectCaption.top + 2, m_rectCaption.right - 2,
                        m_rectCaption.bottom - 2);
  int x = m_rectButtons.left;
  const int y = m_rectCaption.top + (band - m_sizeButton.cy) / 2;
  for (const ButtonEntry& entry : m_buttons) {
    ::SetWindowPos(entry.button->m_hWnd, nullptr, x, y, m_sizeButton.cx, m_sizeButton.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    x += m_sizeButton.cx + kButtonGap;
  }
  if (HWND list = GetListHwnd()) {
    const CRect rect = ListRect();
    ::SetWindowPos(list, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    OnSizeList(rect);
  }
  Invalidate();
}

CRect CTKEditListBase::ListRect() const {
  CRect client;
  GetClientRect(&client);
  client.top = m_rectCaption.bottom;
  if (client.bottom < client.top) client.bottom = client.top;
  return client;
}

void CTKEditListBase::PaintCaption(CDC* dc) {
  HDC hdc = dc->GetSafeHdc();
  CRect band = m_rectCaption;
  ::FillRect(hdc, &band, ::GetSysColorBrush(COLOR_BTNFACE));
  ::DrawEdge(hdc, &band, BDR_RAISEDINNER, BF_RECT);
  CString caption;
  GetWindowText(caption);
  CRect text = band;
  text.left += 4;
  text.right = m_buttons.empty() ? band.right - 4 : m_rectButtons.left - 4;
  HGDIOBJ old = ::SelectObject(hdc, m_fontCaption.m_hObject ? m_fontCaption.m_hObject : m_hFont);
  const int mode = ::SetBkMode(hdc, TRANSPARENT);
  const COLORREF colour =
      ::SetTextColor(hdc, ::GetSysColor(IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  ::DrawTextA(hdc, caption, caption.GetLength(), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  ::SetTextColor(hdc, colour);
  ::SetBkMode(hdc, mode);
  ::SelectObject(hdc, old);
}

void CTKEditListBase::OnPaint() {
  CPaintDC dc(this);
  PaintCaption(&dc);
}

LRESULT CTKEditListBase::OnPrintClient(WPARAM wParam, LPARAM) {
  CDC dc;
  dc.Attach(reinterpret_cast<HDC>(wParam));
  PaintCaption(&dc);
  dc.Detach();
  return 0;
}

void CTKEditListBase::OnSize(UINT type, int cx, int cy) {
  CStatic::OnSize(type, cx, cy);
  Layout();
}

void CTKEditListBase::OnSetFocus(CWnd*) {
  if (HWND list = GetListHwnd()) ::SetFocus(list);
}

void CTKEditListBase::OnEnable(BOOL enable) {
  for (ButtonEntry& entry : m_buttons) entry.button->EnableWindow(enable);
  if (HWND list = GetListHwnd()) ::EnableWindow(list, enable);
  Invalidate();
}

LRESULT CTKEditListBase::OnSetFont(WPARAM wParam, LPARAM lParam) {
  m_hFont = reinterpret_cast<HFONT>(wParam);
  m_fontCaption.DeleteObject();
  LOGFONTA font{};
  if (m_hFont && ::GetObjectA(m_hFont, sizeof font, &font)) {
    font.lfWeight = FW_BOLD;
    m_fontCaption.CreateFontIndirect(&font);
  }
  if (HWND list = GetListHwnd()) ::SendMessageA(list, WM_SETFONT, wParam, lParam);
  Layout();
  return 0;
}

LRESULT CTKEditListBase::OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hFont); }

UINT CTKEditListBase::HeldModifiers() {
  UINT modifiers = 0;
  if (::GetAsyncKeyState(VK_CONTROL) & 0x8000) modifiers |= kCtrl;
  if (::GetAsyncKeyState(VK_MENU) & 0x8000) modifiers |= kAlt;
  if (::GetAsyncKeyState(VK_SHIFT) & 0x8000) modifiers |= kShift;
  return modifiers;
}

BOOL CTKEditListBase::ProcessHotKey(UINT key) {
  const UINT modifiers = HeldModifiers();
  for (int i = 0; i < GetButtonCount(); ++i) {
    const ButtonEntry& entry = m_buttons[static_cast<size_t>(i)];
    if (entry.hotKey == key && entry.modifiers == modifiers) {
      if (entry.button->IsWindowEnabled()) OnClickButton(i);
      return TRUE;
    }
  }
  OnKey(key, modifiers);
  return FALSE;
}

BOOL CTKEditListBase::OnCommand(WPARAM wParam, LPARAM lParam) {
  const HWND from = reinterpret_cast<HWND>(lParam);
  if (from && HIWORD(wParam) == BN_CLICKED) {
    for (int i = 0; i < GetButtonCount(); ++i)
      if (m_buttons[static_cast<size_t>(i)].button->m_hWnd == from) {
        OnClickButton(i);
        return TRUE;
      }
  }
  return CStatic::OnCommand(wParam, lParam);
}

BOOL CTKEditListBase::OnListNotify(NMHDR* header, LRESULT* result) {
  switch (header->code) {
    case LVN_KEYDOWN:
      ProcessHotKey(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
      *result = 0;
      return TRUE;
    case NM_DBLCLK: {
      const int selected = GetSelItem();
      if (selected >= 0) EditItem(selected);
      *result = 0;
      return TRUE;
    }
    case LVN_GETDISPINFOA:
      OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
      *result = 0;
      return TRUE;
    case LVN_ENDLABELEDITA:
      OnEndEditLabel(reinterpret_cast<NMLVDISPINFOA*>(header)->item.pszText);
      *result = FALSE;  // the derived list has set the text itself
      return TRUE;
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
        OnSelectionChanged();
      *result = 0;
      return TRUE;
    }
    default:
      return FALSE;
  }
}

BOOL CTKEditListBase::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_NOTIFY && lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom && header->hwndFrom == GetListHwnd() && OnListNotify(header, result)) return TRUE;
  }
  return CStatic::OnWndMsg(message, wParam, lParam, result);
}
