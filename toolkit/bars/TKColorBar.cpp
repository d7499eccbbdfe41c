#include "toolkit/bars/TKColorBar.h"

#include "toolkit/bars/TKColorMenuButton.h"
#include "toolkit/bars/TKColorPickerDialog.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKColorButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include "platform/afx/linux_headers_end.h"

#include <commdlg.h>

namespace {

constexpr UINT kSetMessageString = 0x0362;
constexpr UINT kIdlePrompt = 0xE001;
constexpr int kSeparatorLine = 2;
constexpr int kSeparatorGap = 4;
constexpr int kMaxPaletteColors = 100;

CColorButton* AsColorButton(CTKToolbarButton* button) { return dynamic_cast<CColorButton*>(button); }

int RowsFor(int count, int columns) { return columns > 0 ? (count + columns - 1) / columns : 0; }

}  // namespace

BEGIN_MESSAGE_MAP(CTKColorBar, CTKPopupMenuBar)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_KEYDOWN()
  ON_WM_SYSKEYDOWN()
  ON_WM_CONTEXTMENU()
  ON_WM_LBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
  ON_WM_MBUTTONDOWN()
END_MESSAGE_MAP()

CTKColorBar::CTKColorBar(const std::vector<COLORREF>& colors, COLORREF selected, const char* automaticText,
                         const char* otherText, const char* documentCaption,
                         const std::vector<COLORREF>& documentColors, int columns, int dockedRows,
                         int dockedColumns, COLORREF automaticColor, UINT commandId,
                         CTKColorButton* parentButton)
    : m_colors(colors),
      m_lstDocColors(documentColors),
      m_strAutoColor(automaticText ? automaticText : ""),
      m_strOtherColor(otherText ? otherText : ""),
      m_strDocColors(documentCaption ? documentCaption : ""),
      m_ColorSelected(selected),
      m_ColorAutomatic(automaticColor),
      m_nNumColumns(columns),
      m_nNumRowsHorz(dockedRows),
      m_nNumColumnsVert(dockedColumns),
      m_nCommandID(commandId),
      m_pParentBtn(parentButton) {
  if (parentButton) m_bStdColorDlg = !parentButton->m_bAltColorDlg;
  const SIZE image = GetMenuImageSize();
  m_BoxSize = CSize(image.cx + 1, image.cy + 1);
  m_nRowHeight = m_BoxSize.cy * 3 / 2;
  m_bLocked = TRUE;
  m_bMenuMode = TRUE;
  m_bFixedLayout = TRUE;
}

CTKColorBar::CTKColorBar(const CTKColorBar& source, UINT commandId)
    : CTKColorBar(source.m_colors, source.m_ColorSelected, source.m_strAutoColor, source.m_strOtherColor,
                  source.m_strDocColors, source.m_lstDocColors, source.m_nNumColumns, source.m_nNumRowsHorz,
                  source.m_nNumColumnsVert, source.m_ColorAutomatic, commandId, nullptr) {
  m_bStdColorDlg = source.m_bStdColorDlg;
  m_nHorzMargin = source.m_nHorzMargin;
  m_nVertMargin = source.m_nVertMargin;
  m_bShowDocColorsWhenDocked = source.m_bShowDocColorsWhenDocked;
}

CTKColorBar::~CTKColorBar() {
  if (m_Palette) ::DeleteObject(m_Palette);
}

int CTKColorBar::InitColors(HPALETTE palette, std::vector<COLORREF>& colors) {
  if (!palette) palette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
  PALETTEENTRY entries[256] = {};
  const UINT count = ::GetPaletteEntries(palette, 0, 256, entries);
  colors.clear();
  for (UINT i = 0; i < count; ++i)
    colors.push_back(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue));
  return static_cast<int>(colors.size());
}

BOOL CTKColorBar::Create(CWnd* parent, DWORD style, UINT id, int columns, int dockedRows, int dockedColumns,
                         HPALETTE palette) {
  if (m_colors.empty()) {
    m_nNumColumns = columns;
    m_nNumRowsHorz = dockedRows;
    m_nNumColumnsVert = dockedColumns;
    InitColors(palette, m_colors);
  }
  m_bDockedLayout = TRUE;
  return CTKToolBar::Create(parent, style, id);
}

BOOL CTKColorBar::CreateControl(CWnd* parent, const CRect& rect, UINT id, int columns, HPALETTE palette) {
  m_bIsControl = TRUE;
  m_bDockedLayout = FALSE;
  if (m_colors.empty()) InitColors(palette, m_colors);
  if (columns < 1) {
    // As many columns as still let the rows of square cells fit the height.
    const int count = static_cast<int>(m_colors.size());
    columns = -1;
    for (int trial = count; trial >= 1; --trial) {
      const int cell = (rect.Width() - 2 * m_nHorzMargin) / trial;
      if (cell <= 0) continue;
      if (RowsFor(count, trial) * cell + 2 * m_nVertMargin <= rect.Height()) {
        columns = trial;
        break;
      }
    }
  }
  m_nNumColumns = columns;
  m_nNumRowsHorz = m_nNumColumnsVert = -1;
  const DWORD style = 0x50002000 & ~0x400F00u;
  if (!CTKToolBar::CreateEx(parent, 0, style | CBRS_ALIGN_TOP, CRect(1, 1, 1, 1), id)) return FALSE;
  m_dwStyle &= ~(CBRS_GRIPPER | CBRS_BORDER_ANY | CBRS_FLOATING);
  ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  CRect client;
  GetClientRect(&client);
  FitToControl(client);
  m_pOwnerWnd = parent;
  m_nCommandID = id;
  return TRUE;
}

void CTKColorBar::FitToControl(const CRect& client, BOOL square, BOOL centre) {
  if (client.IsRectEmpty()) return;
  m_ptOffset = CPoint(0, 0);
  int columns = 0, rows = 0;
  GetGridSize(columns, rows);
  if (columns <= 0) return;
  // The height first, pixel by pixel, then the width.
  CSize size = m_BoxSize;
  for (int guard = 0; guard < 1000; ++guard) {
    m_BoxSize = size;
    m_nRowHeight = size.cy * 3 / 2;
    const int height = CalcSize(FALSE).cy;
    if (height == client.Height() || size.cy <= 1) break;
    if (height > client.Height()) {
      --size.cy;
      m_BoxSize = size;
      m_nRowHeight = size.cy * 3 / 2;
      if (CalcSize(FALSE).cy <= client.Height()) break;
    } else {
      ++size.cy;
      m_BoxSize = size;
      m_nRowHeight = size.cy * 3 / 2;
      if (CalcSize(FALSE).cy > client.Height()) {
        --size.cy;
        break;
      }
    }
  }
  for (int guard = 0; guard < 1000; ++guard) {
    m_BoxSize = size;
    const int width = CalcSize(FALSE).cx;
    if (width == client.Width() || size.cx <= 1) break;
    if (width > client.Width()) {
      --size.cx;
      m_BoxSize = size;
      if (CalcSize(FALSE).cx <= client.Width()) break;
    } else {
      ++size.cx;
      m_BoxSize = size;
      if (CalcSize(FALSE).cx > client.Width()) {
        --size.cx;
        break;
      }
    }
  }
  size.cx = std::max<int>(1, size.cx - 1);
  size.cy = std::max<int>(1, size.cy - 1);
  if (square) size.cx = size.cy = std::min(size.cx, size.cy);
  m_BoxSize = size;
  m_nRowHeight = size.cy * 3 / 2;
  if (centre) {
    const CSize used = CalcSize(FALSE);
    m_ptOffset =
        CPoint(std::max(0, (client.Width() - used.cx) / 2), std::max(0, (client.Height() - used.cy) / 2));
  }
  AdjustLayout();
}

void CTKColorBar::SetCellSize(CSize size) {
  m_BoxSize = size;
  m_nRowHeight = size.cy * 3 / 2;
  AdjustLayout();
}

int CTKColorBar::OnCreate(LPCREATESTRUCT cs) {
  if (CTKPopupMenuBar::OnCreate(cs) == -1) return -1;
  if (!m_bIsControl) {
    const SIZE image = GetMenuImageSize();
    m_BoxSize = CSize(image.cx + 1, image.cy + 1);
    m_nRowHeight = m_BoxSize.cy * 3 / 2;
  }
  Rebuild();
  if (m_pParentBtn) {
    ::SetCapture(m_hWnd);
    m_pParentBtn->m_bCaptured = FALSE;
  }
  return 0;
}

void CTKColorBar::OnDestroy() {
  if (m_pParentBtn) {
    CTKColorButton* button = m_pParentBtn;
    button->OnPopupClosed();
    if (button->m_hWnd && ::IsWindow(button->m_hWnd)) ::SetFocus(button->m_hWnd);
  }
  if (m_Palette) ::DeleteObject(m_Palette);
  m_Palette = nullptr;
  CTKPopupMenuBar::OnDestroy();
}

void CTKColorBar::PostNcDestroy() {
  CTKPopupMenuBar::PostNcDestroy();
  if (m_bAutoDeleteBar) delete this;
}

BOOL CTKColorBar::IsDocked() const {
  return !m_bIsControl && m_pDockBar != nullptr && !(m_dwStyle & CBRS_FLOATING) && !GetPopup();
}

void CTKColorBar::GetGridSize(int& columns, int& rows) const {
  const int count = static_cast<int>(m_colors.size());
  const BOOL docked = IsDocked() && m_bDockedLayout;
  if (docked && (m_dwStyle & CBRS_ORIENT_HORZ) && m_nNumRowsHorz > 0) {
    rows = m_nNumRowsHorz;
    columns = std::max(1, RowsFor(count, rows));
    return;
  }
  if (docked && (m_dwStyle & CBRS_ORIENT_VERT) && m_nNumColumnsVert > 0) {
    columns = m_nNumColumnsVert;
    rows = RowsFor(count, columns);
    return;
  }
  columns = m_nNumColumns >= 1 ? m_nNumColumns : static_cast<int>(std::sqrt(static_cast<double>(count))) + 1;
  rows = RowsFor(count, columns);
}

int CTKColorBar::ExtraHeight(int columns) const {
  int extra = 0;
  if (!m_strAutoColor.IsEmpty())
    extra += m_nRowHeight;
  else if (!m_strOtherColor.IsEmpty())
    extra += m_nVertMargin;
  if (!m_strOtherColor.IsEmpty()) extra += m_nRowHeight;
  const BOOL showDocuments =
      !m_strDocColors.IsEmpty() && !m_lstDocColors.empty() && (!IsDocked() || m_bShowDocColorsWhenDocked);
  if (showDocuments)
    extra += RowsFor(static_cast<int>(m_lstDocColors.size()), columns) * m_BoxSize.cy + m_nVertMargin +
             m_nRowHeight + kSeparatorGap;
  return extra;
}

CSize CTKColorBar::CalcSize(BOOL) {
  int columns = 0, rows = 0;
  GetGridSize(columns, rows);
  return CSize(m_BoxSize.cx * columns + 2 * m_nHorzMargin,
               ExtraHeight(columns) + m_BoxSize.cy * rows + 2 * m_nVertMargin);
}

void CTKColorBar::AdjustLayout() {
  if (!m_hWnd) return;
  int columns = 0, rows = 0;
  GetGridSize(columns, rows);
  CRect client;
  GetClientRect(&client);
  const int left = client.left + m_ptOffset.x + m_nHorzMargin;
  const int right = left + columns * m_BoxSize.cx;
  int y = client.top + m_ptOffset.y + m_nVertMargin;
  int x = left;
  const BOOL hideDocuments = IsDocked() && !m_bShowDocColorsWhenDocked;
  const int entryHeight = m_nRowHeight - m_nVertMargin / 2;
  auto endRow = [&]() {
    if (x != left) {
      x = left;
      y += m_BoxSize.cy;
    }
  };
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    CColorButton* cell = AsColorButton(button);
    CRect rect;
    if (!cell) {
      endRow();
      if (button->IsSeparator()) {
        rect = CRect(left, y, right, y + kSeparatorLine);
        y += kSeparatorLine + kSeparatorGap;
      }
    } else if (cell->m_bIsAutomatic) {
      endRow();
      rect = CRect(left, y, right, y + entryHeight);
      y += m_nRowHeight;
    } else if (cell->m_bIsLabel) {
      endRow();
      rect = CRect(left, y, right, y + m_nRowHeight);
      y += m_nRowHeight;
    } else if (cell->m_bIsOther) {
      endRow();
      rect = CRect(left, y, right - m_BoxSize.cx, y + entryHeight);
    } else if (cell->m_bIsOtherColor) {
      const int top = y + (entryHeight - m_BoxSize.cy) / 2;
      rect = CRect(right - m_BoxSize.cx, top, right, top + m_BoxSize.cy);
      y += m_nRowHeight;
    } else if (cell->m_bIsDocument && hideDocuments) {
      rect = CRect(0, 0, 0, 0);
    } else {
      if (x + m_BoxSize.cx > right) {
        x = left;
        y += m_BoxSize.cy;
      }
      rect = CRect(x, y, x + m_BoxSize.cx, y + m_BoxSize.cy);
      x += m_BoxSize.cx;
    }
    if (rect != button->m_rect) {
      button->m_rect = rect;
      button->OnMove();
    }
  }
  Invalidate();
}

void CTKColorBar::Rebuild() {
  RemoveAllButtons();
  m_iHighlighted = m_iHot = -1;
  BOOL found = FALSE;
  if (!m_strAutoColor.IsEmpty()) {
    auto* automatic = new CColorButton(m_ColorAutomatic, m_ColorSelected == (COLORREF)-1, this);
    automatic->m_strText = m_strAutoColor;
    automatic->m_bIsAutomatic = TRUE;
    found = m_ColorSelected == (COLORREF)-1;
    const int index = InsertButton(automatic);
    // The keys start from the current colour.
    if (found) m_iHighlighted = index;
  }
  for (COLORREF color : m_colors) {
    const BOOL selected = !found && color == m_ColorSelected;
    if (selected) found = TRUE;
    const int index = InsertButton(new CColorButton(color, selected, this));
    if (selected) m_iHighlighted = index;
  }
  if (!m_strDocColors.IsEmpty() && !m_lstDocColors.empty()) {
    InsertSeparator();
    auto* label = new CColorButton((COLORREF)-1, FALSE, this);
    label->m_strText = m_strDocColors;
    label->m_bIsLabel = TRUE;
    InsertButton(label);
    for (COLORREF color : m_lstDocColors) {
      const BOOL selected = !found && color == m_ColorSelected;
      if (selected) found = TRUE;
      auto* cell = new CColorButton(color, selected, this);
      cell->m_bIsDocument = TRUE;
      const int index = InsertButton(cell);
      if (selected) m_iHighlighted = index;
    }
  }
  if (!m_strOtherColor.IsEmpty()) {
    InsertSeparator();
    auto* other = new CColorButton((COLORREF)-1, FALSE, this);
    other->m_strText = m_strOtherColor;
    other->m_bIsOther = TRUE;
    InsertButton(other);
    auto* custom = new CColorButton(m_ColorSelected, !found && m_ColorSelected != (COLORREF)-1, this);
    custom->m_bIsOtherColor = TRUE;
    InsertButton(custom);
  }
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (!m_bIsEnabled && !button->IsSeparator()) button->m_nStyle |= TBBS_DISABLED;
  }
  AdjustLayout();
}

void CTKColorBar::SetColor(COLORREF color) {
  if (color == m_ColorSelected) return;
  m_ColorSelected = color;
  BOOL found = color == (COLORREF)-1 && !m_strAutoColor.IsEmpty();
  CColorButton* custom = nullptr;
  int index = 0;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
    CColorButton* cell = AsColorButton(static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos)));
    if (!cell || cell->m_bIsLabel || cell->m_bIsOther) continue;
    if (cell->m_bIsOtherColor) {
      custom = cell;
      continue;
    }
    BOOL selected;
    if (cell->m_bIsAutomatic) {
      selected = color == (COLORREF)-1;
      if (selected) m_iHighlighted = index;
    } else {
      selected = !found && cell->m_Color == color;
      if (selected) {
        found = TRUE;
        m_iHighlighted = index;
      }
    }
    if (selected != cell->m_bHighlight) {
      cell->m_bHighlight = selected;
      InvalidateButton(index);
    }
  }
  if (custom) {
    custom->m_Color = color;
    custom->m_bHighlight = !found && color != (COLORREF)-1;
    InvalidateButton(ButtonToIndex(custom));
  }
  if (m_hWnd) UpdateWindow();
}

void CTKColorBar::SetOtherText(const char* text, BOOL platformDialog) {
  m_strOtherColor = text ? text : "";
  m_bStdColorDlg = platformDialog;
  if (m_hWnd) Rebuild();
}

void CTKColorBar::SetMargins(int horizontal, int vertical) {
  m_nHorzMargin = horizontal;
  m_nVertMargin = vertical;
  AdjustLayout();
}

CTKColorMenuButton* CTKColorBar::GetOpenerButton() const {
  CTKPopupMenu* popup = GetPopup();
  return popup ? dynamic_cast<CTKColorMenuButton*>(popup->GetParentButton()) : nullptr;
}

HPALETTE CTKColorBar::GetDrawPalette() {
  if (GlobalData::Get().bitsPerPixel != 8) {
    if (m_Palette) ::DeleteObject(m_Palette);
    m_Palette = nullptr;
    return nullptr;
  }
  if (m_pParentBtn && m_pParentBtn->m_Palette) return m_pParentBtn->m_Palette;
  if (!m_Palette) MakePalette();
  return m_Palette;
}

void CTKColorBar::MakePalette() {
  const int count = std::max(1, std::min<int>(kMaxPaletteColors, static_cast<int>(m_colors.size())));
  std::vector<BYTE> bytes(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
  auto* log = reinterpret_cast<LOGPALETTE*>(bytes.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(count);
  for (int i = 0; i < count; ++i) {
    const COLORREF color = i < static_cast<int>(m_colors.size()) ? m_colors[i] : 0;
    log->palPalEntry[i].peRed = GetRValue(color);
    log->palPalEntry[i].peGreen = GetGValue(color);
    log->palPalEntry[i].peBlue = GetBValue(color);
    log->palPalEntry[i].peFlags = 0;
  }
  m_Palette = ::CreatePalette(log);
}

void CTKColorBar::DoPaint(CDC* dc) {
  HPALETTE palette = GetDrawPalette();
  HPALETTE old = nullptr;
  if (palette) {
    old = ::SelectPalette(dc->GetSafeHdc(), palette, FALSE);
    ::RealizePalette(dc->GetSafeHdc());
  }
  CTKPopupMenuBar::DoPaint(dc);
  if (old) ::SelectPalette(dc->GetSafeHdc(), old, FALSE);
}

void CTKColorBar::OnUpdateCmdUI(CFrameWnd* target, BOOL) {
  if (m_nCommandID == 0 || m_nCommandID == (UINT)-1) return;
  CCmdTarget* route = target;
  if (!route) route = GetCommandTarget();
  if (!route) return;
  // The owner's update handler decides; without one, a command handler enables.
  struct Probe : CCmdUI {
    BOOL value = TRUE;
    void Enable(BOOL on = TRUE) override {
      CCmdUI::Enable(on);
      value = on;
    }
  } probe;
  probe.m_nID = m_nCommandID;
  BOOL enabled = m_bIsEnabled;
  if (probe.DoUpdate(route)) {
    if (probe.m_bEnableChanged) enabled = probe.value;
  } else {
    int query = 0;
    enabled = route->OnCmdMsg(m_nCommandID, CN_COMMAND, &query);
  }
  if (enabled == m_bIsEnabled) return;
  m_bIsEnabled = enabled;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (button->IsSeparator()) continue;
    if (enabled)
      button->m_nStyle &= ~TBBS_DISABLED;
    else
      button->m_nStyle |= TBBS_DISABLED;
  }
  Invalidate();
}

void CTKColorBar::ShowCommandMessageString(UINT) {
  CTKPopupMenuBar::ShowCommandMessageString(m_nCommandID == (UINT)-1 ? kIdlePrompt : m_nCommandID);
}

CWnd* CTKColorBar::GetCommandTarget() const {
  if (GetPopup()) return CTKPopupMenuBar::GetCommandTarget();
  if (m_pOwnerWnd) return m_pOwnerWnd;
  // A control tells its dialog; a docked or floating bar its frame.
  if (m_bIsControl) return CWnd::FromHandle(::GetParent(m_hWnd));
  return CTKToolBar::GetCommandTarget();
}

BOOL CTKColorBar::OnSendCommand(const CTKToolbarButton* button) {
  CColorButton* cell = AsColorButton(const_cast<CTKToolbarButton*>(button));
  if (!cell) return TRUE;
  if (cell->m_nStyle & TBBS_DISABLED) return TRUE;
  ChooseButton(cell);
  return TRUE;
}

void CTKColorBar::ReleaseCaptureForButton() {
  if (m_pParentBtn && ::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void CTKColorBar::ChooseButton(CColorButton* cell) {
  if (cell->m_bIsLabel) return;
  ReleaseCaptureForButton();
  if (!cell->m_bIsOther) {
    ApplyColor(cell->m_bIsAutomatic ? (COLORREF)-1 : cell->m_Color);
    return;
  }
  // The other entry: the popup steps aside while the dialog runs.
  HWND self = m_hWnd;
  CTKPopupMenu* popup = GetPopup();
  HWND popupWindow = popup ? popup->m_hWnd : nullptr;
  SetInCommand(TRUE);
  if (popup) popup->GetMenuBar()->SetInCommand(TRUE);
  if (popupWindow) ::ShowWindow(popupWindow, SW_HIDE);
  InvalidateButton(ButtonToIndex(cell));
  const COLORREF initial = m_ColorSelected == (COLORREF)-1 ? m_ColorAutomatic : m_ColorSelected;
  CTKColorButton* parentButton = m_pParentBtn;
  CTKColorMenuButton* opener = GetOpenerButton();
  COLORREF chosen = initial;
  const BOOL ok = OpenColorDialog(initial, chosen);
  if (!::IsWindow(self)) {
    // The popup went while the dialog ran; the colour still reaches its button and
    // the command its frame.
    if (ok && parentButton) {
      parentButton->PickColor(chosen);
    } else if (ok && opener) {
      opener->SetColor(chosen, TRUE);
      if (CFrameWnd* frame = CTKPopupMenu::FrameOf(opener->m_pWndParent); frame && frame->m_hWnd)
        ::PostMessageA(frame->m_hWnd, WM_COMMAND, opener->m_nID, 0);
    }
    return;
  }
  SetInCommand(FALSE);
  if (popup) popup->GetMenuBar()->SetInCommand(FALSE);
  if (ok) {
    ApplyColor(chosen);
    return;
  }
  if (parentButton) {
    if (popupWindow && ::IsWindow(popupWindow)) ::SendMessageA(popupWindow, WM_CLOSE, 0, 0);
  } else if (opener) {
    InvokeCommand(0, nullptr);
  } else if (HWND top = ::GetAncestor(m_hWnd, GA_ROOT)) {
    ::SetFocus(top);
  }
}

void CTKColorBar::ApplyColor(COLORREF color) {
  if (CTKColorMenuButton* opener = GetOpenerButton()) {
    opener->SetColor(color, TRUE);
    InvokeCommand(opener->m_nID, opener);
    return;
  }
  if (m_pParentBtn) {
    CTKColorButton* button = m_pParentBtn;
    HWND popup = ::GetParent(m_hWnd);
    button->PickColor(color);
    if (popup && ::IsWindow(popup)) ::SendMessageA(popup, WM_CLOSE, 0, 0);
    return;
  }
  SetColor(color);
  if (m_nCommandID != 0 && m_nCommandID != (UINT)-1) {
    CTKColorMenuButton::SetColorByCmd(m_nCommandID, color);
    CWnd* owner = GetCommandTarget();
    if (owner && owner->m_hWnd) ::SendMessageA(owner->m_hWnd, WM_COMMAND, m_nCommandID, 0);
  }
  if (!m_bIsControl)
    if (HWND top = ::GetAncestor(m_hWnd, GA_ROOT)) ::SetFocus(top);
}

BOOL CTKColorBar::OpenColorDialog(COLORREF initial, COLORREF& result) {
  if (CTKColorMenuButton* opener = GetOpenerButton()) return opener->OpenColorDialog(initial, result);
  return RunColorDialog(m_bStdColorDlg, initial, result, this, GetDrawPalette());
}

BOOL CTKColorBar::RunColorDialog(BOOL platformDialog, COLORREF initial, COLORREF& result, CWnd* parent,
                                 HPALETTE palette) {
  HWND owner = parent && parent->m_hWnd ? ::GetAncestor(parent->m_hWnd, GA_ROOT) : nullptr;
  if (owner && !(::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD) &&
      (::GetWindowLongA(owner, GWL_STYLE) & WS_POPUP))
    owner = ::GetWindow(owner, GW_OWNER);
  if (platformDialog) {
    static COLORREF custom[16] = {};
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = initial;
    choose.lpCustColors = custom;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!::ChooseColorA(&choose)) return FALSE;
    result = choose.rgbResult;
    return TRUE;
  }
  CTKColorPickerDialog dialog(initial, FALSE, CWnd::FromHandle(owner), palette);
  if (dialog.DoModal() != IDOK) return FALSE;
  result = dialog.GetColor();
  return TRUE;
}

BOOL CTKColorBar::OnKey(UINT key) {
  if (key == VK_RETURN) {
    CColorButton* cell = AsColorButton(GetButton(m_iHighlighted));
    if (!cell) return TRUE;
    if (CWnd* owner = GetCommandTarget(); owner && owner->m_hWnd)
      owner->SendMessage(kSetMessageString, kIdlePrompt);
    if (!(cell->m_nStyle & TBBS_DISABLED)) ChooseButton(cell);
    return TRUE;
  }
  // Left and right step through the entries; up and down move to the cell above or
  // below in the grid, or to the entry before or after when there is none.
  if (key == VK_LEFT) return CTKPopupMenuBar::OnKey(VK_UP);
  if (key == VK_RIGHT) return CTKPopupMenuBar::OnKey(VK_DOWN);
  if ((key == VK_UP || key == VK_DOWN) && m_iHighlighted >= 0) {
    CTKToolbarButton* current = GetButton(m_iHighlighted);
    CColorButton* cell = AsColorButton(current);
    if (cell && !cell->m_bIsAutomatic && !cell->m_bIsOther && !cell->m_bIsLabel) {
      CPoint target = current->m_rect.CenterPoint();
      target.y += key == VK_UP ? -m_BoxSize.cy : m_BoxSize.cy;
      const int index = HitTest(target);
      CColorButton* next = AsColorButton(GetButton(index));
      if (next && !next->m_bIsLabel && index != m_iHighlighted) {
        const int old = m_iHighlighted;
        m_iHighlighted = index;
        InvalidateButton(old);
        InvalidateButton(index);
        UpdateWindow();
        return TRUE;
      }
    }
  }
  return CTKPopupMenuBar::OnKey(key);
}

void CTKColorBar::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_ESCAPE && ClosePopup()) return;
  if (!OnKey(key)) Default();
  (void)repeat;
  (void)flags;
}

void CTKColorBar::OnSysKeyDown(UINT key, UINT repeat, UINT flags) {
  if (!ClosePopup()) CTKPopupMenuBar::OnSysKeyDown(key, repeat, flags);
}

void CTKColorBar::OnContextMenu(CWnd* wnd, CPoint point) {
  if (!ClosePopup()) CTKPopupMenuBar::OnContextMenu(wnd, point);
}

void CTKColorBar::OnLButtonDown(UINT flags, CPoint point) {
  if (!ClosePopupOutside(point)) CTKPopupMenuBar::OnLButtonDown(flags, point);
}

void CTKColorBar::OnRButtonDown(UINT flags, CPoint point) {
  if (!ClosePopupOutside(point)) CTKPopupMenuBar::OnRButtonDown(flags, point);
}

void CTKColorBar::OnMButtonDown(UINT flags, CPoint point) {
  if (!ClosePopupOutside(point)) CTKPopupMenuBar::OnMButtonDown(flags, point);
}

BOOL CTKColorBar::ClosePopup() {
  // Only a colour button's popup closes this way, and not while an entry holds the mouse.
  if (!m_pParentBtn || !m_hWnd || m_iButtonCapture >= 0) return FALSE;
  ReleaseCaptureForButton();
  if (HWND popup = ::GetParent(m_hWnd)) ::SendMessageA(popup, WM_CLOSE, 0, 0);
  return TRUE;
}

BOOL CTKColorBar::ClosePopupOutside(CPoint point) {
  CRect client;
  GetClientRect(&client);
  return !client.PtInRect(point) && ClosePopup();
}

int CTKColorBar::OnToolHitTest(CPoint point, TOOLINFOA* info) {
  // Captions and disabled entries have no tooltip.
  CColorButton* entry = AsColorButton(GetButton(HitTest(point)));
  if (entry && (entry->m_bIsLabel || (entry->m_nStyle & TBBS_DISABLED))) return -1;
  return CTKPopupMenuBar::OnToolHitTest(point, info);
}

void CTKColorBar::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_nNumColumns << m_nNumRowsHorz << m_nNumColumnsVert;
    ar << static_cast<DWORD>(m_ColorAutomatic);
    ar << m_strAutoColor << m_strOtherColor << m_strDocColors;
    ar << static_cast<int>(m_bDockedLayout) << static_cast<DWORD>(m_nCommandID)
       << static_cast<int>(m_bStdColorDlg);
    ar << static_cast<int>(m_colors.size());
    for (COLORREF color : m_colors) ar << static_cast<DWORD>(color);
    return;
  }
  int dockedLayout = 0, platformDialog = 0, count = 0;
  DWORD automatic = 0, command = 0;
  ar >> m_nNumColumns >> m_nNumRowsHorz >> m_nNumColumnsVert;
  ar >> automatic;
  ar >> m_strAutoColor >> m_strOtherColor >> m_strDocColors;
  ar >> dockedLayout >> command >> platformDialog;
  ar >> count;
  m_ColorAutomatic = automatic;
  m_bDockedLayout = dockedLayout;
  m_nCommandID = command;
  m_bStdColorDlg = platformDialog;
  m_colors.clear();
  for (int i = 0; i < count; ++i) {
    DWORD color = 0;
    ar >> color;
    m_colors.push_back(color);
  }
  if (m_hWnd) Rebuild();
}
