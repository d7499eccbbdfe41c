#include "toolkit/bars/TKToolbarMenuButton.h"

#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKFrameSite.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"
#include "toolkit/frames/TearOffManager.h"

IMPLEMENT_SERIAL(CTKToolbarMenuButton, CTKToolbarButton, 0x80000001)

namespace {

constexpr UINT kColumnBreak = 0x20000000;
constexpr UINT kTearOffMark = 0x20;
constexpr int kTearOffVersion = 0x40710;

// The item's text by position: its length first, then a buffer of twice that.
CString MenuItemText(HMENU menu, int position) {
  const int length = ::GetMenuStringA(menu, position, nullptr, 0, MF_BYPOSITION);
  if (length <= 0) return CString();
  std::string buffer(static_cast<size_t>(length) * 2 + 2, '\0');
  ::GetMenuStringA(menu, position, buffer.data(), length * 2 + 1, MF_BYPOSITION);
  return CString(buffer.c_str());
}

BOOL IsRealCommand(UINT id) { return id != 0 && id != (UINT)-1; }

BOOL IsOnBarKind(const CTKToolbarButton& button, CTKBaseControlBar::Kind kind) {
  return button.m_bar && button.m_bar->LookKind() == kind;
}

}  // namespace

CTKToolbarMenuButton::CTKToolbarMenuButton() = default;

CTKToolbarMenuButton::CTKToolbarMenuButton(UINT command, HMENU menu, int image, const char* text,
                                           BOOL userImage) {
  m_nID = command;
  m_bUserImage = userImage;
  SetImage(image);
  m_strText = text ? text : "";
  CreateFromMenu(menu);
}

CTKToolbarMenuButton::~CTKToolbarMenuButton() {
  if (CTKPopupMenu* popup = GetPopupMenu()) popup->SetParentButton(nullptr);
  m_popupMenu = nullptr;
  DeleteCommands();
  if (m_uiTearOffBarID && g_pTearOffManager) g_pTearOffManager->ChangeUseCount(m_uiTearOffBarID, FALSE);
}

CTKPopupMenu* CTKToolbarMenuButton::GetPopupMenu() const { return static_cast<CTKPopupMenu*>(m_popupMenu); }

void CTKToolbarMenuButton::DeleteCommands() {
  while (!m_listCommands.IsEmpty()) delete m_listCommands.RemoveHead();
}

void CTKToolbarMenuButton::SetTearOff(UINT id) {
  if (m_uiTearOffBarID == id) return;
  if (g_pTearOffManager) {
    if (m_uiTearOffBarID) g_pTearOffManager->ChangeUseCount(m_uiTearOffBarID, FALSE);
    if (id) g_pTearOffManager->ChangeUseCount(id, TRUE);
  }
  m_uiTearOffBarID = id;
}

void CTKToolbarMenuButton::CreateFromMenu(HMENU menu) {
  DeleteCommands();
  if (!menu || !::IsMenu(menu)) return;
  const UINT defaultItem = ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED);
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
    if (!::GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
    auto* item = new CTKToolbarMenuButton;
    // The menu's own check and greyed states stay with the item until the command's
    // update handler says otherwise.
    if (info.fState & MFS_CHECKED) item->m_nStyle |= TBBS_CHECKED;
    if (info.fState & (MFS_GRAYED | MFS_DISABLED)) item->m_nStyle |= TBBS_DISABLED;
    item->m_strText = MenuItemText(menu, i);
    if (info.fType & MFT_SEPARATOR) {
      item->m_nID = 0;
      item->m_nStyle = TBBS_SEPARATOR;
    } else if (info.hSubMenu) {
      item->m_nID = (UINT)-1;
      if (g_pTearOffManager) item->SetTearOff(TearOffManager::ReadIdFromText(item->m_strText));
      item->CreateFromMenu(info.hSubMenu);
    } else {
      item->m_nID = info.wID;
      if (info.wID == defaultItem) item->m_bDefault = TRUE;
    }
    if (info.fType & MFT_MENUBREAK) item->m_nStyle |= kColumnBreak;
    m_listCommands.AddTail(item);
  }
}

HMENU CTKToolbarMenuButton::CreateMenu() const {
  if (m_listCommands.IsEmpty() && IsRealCommand(m_nID) && !m_bMenuOnly) return nullptr;
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return nullptr;
  for (POSITION pos = m_listCommands.GetHeadPosition(); pos;) {
    auto* item = static_cast<CTKToolbarMenuButton*>(m_listCommands.GetNext(pos));
    UINT flags = (item->m_nStyle & kColumnBreak) ? MF_MENUBREAK : 0;
    if (item->m_uiTearOffBarID) flags |= kTearOffMark;
    BOOL added;
    if (item->m_nID == 0) {
      added = ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (item->m_nID == (UINT)-1) {
      HMENU sub = item->CreateMenu();
      CString text = item->m_strText;
      if (item->m_uiTearOffBarID && g_pTearOffManager)
        TearOffManager::PrefixItemText(item->m_uiTearOffBarID, text);
      added = sub && ::AppendMenuA(menu, MF_POPUP | flags, reinterpret_cast<UINT_PTR>(sub), text);
      if (sub && !added) ::DestroyMenu(sub);
    } else {
      if (item->m_nStyle & TBBS_CHECKED) flags |= MF_CHECKED;
      if (item->m_nStyle & TBBS_DISABLED) flags |= MF_GRAYED;
      added = ::AppendMenuA(menu, MF_STRING | flags, item->m_nID, item->m_strText);
      if (added && item->m_bDefault) ::SetMenuDefaultItem(menu, item->m_nID, FALSE);
    }
    if (!added) {
      ::DestroyMenu(menu);
      return nullptr;
    }
  }
  return menu;
}

CTKPopupMenu* CTKToolbarMenuButton::CreatePopupMenu() {
  auto* popup = new CTKPopupMenu;
  // Only the button follows this popup, and it learns of the closing without the
  // window going: the window can be kept for the next menu.
  popup->SetKeepWindowOnClose(TRUE);
  return popup;
}

BOOL CTKToolbarMenuButton::OpenPopupMenu(CWnd* window) {
  if (m_popupMenu) return FALSE;
  if (!window) window = m_pWndParent;
  if (!window || !window->m_hWnd) return FALSE;
  HMENU menu = CreateMenu();
  if (!menu && !IsEmptyMenuAllowed()) return FALSE;
  CTKPopupMenu* popup = CreatePopupMenu();
  if (!popup) {
    if (menu) ::DestroyMenu(menu);
    return FALSE;
  }
  if (popup->GetMenuItemCount() > 0 && menu) {
    ::DestroyMenu(menu);
    menu = nullptr;
  }
  CPoint point;
  int direction = CTKPopupMenu::kDropBelow;
  auto* bar = dynamic_cast<CControlBar*>(m_pWndParent);
  if (IsOnBarKind(*this, CTKBaseControlBar::kPopupMenuBar) && bar) {
    // A sub-menu: beside its item, to the right of the popup bar (left with a
    // right-to-left layout).
    CRect barWindow;
    bar->GetWindowRect(&barWindow);
    CPoint top(0, m_rect.top - 2);
    ::ClientToScreen(bar->m_hWnd, &top);
    if (::GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) {
      point = CPoint(barWindow.left - 1, top.y);
      direction = CTKPopupMenu::kDropLeft;
    } else {
      point = CPoint(barWindow.right + 1, top.y);
      direction = CTKPopupMenu::kDropRight;
    }
  } else {
    const BOOL horizontalBar = !bar || (bar->m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) ||
                               !IsOnBarKind(*this, CTKBaseControlBar::kMenuBar);
    if (horizontalBar) {
      if (m_bMenuRight)
        point = CPoint(m_rect.right - 2, m_rect.top);
      else
        point = CPoint(m_rect.left, m_rect.bottom - 1);
    } else {
      point = CPoint(m_rect.right, m_rect.top);
      direction = CTKPopupMenu::kDropRight;
    }
    ::ClientToScreen(window->m_hWnd, &point);
  }
  popup->SetParentButton(this);
  popup->SetDropDirection(direction);
  m_popupMenu = popup;
  if (!popup->Create(window, point.x, point.y, menu, FALSE, FALSE)) {
    m_popupMenu = nullptr;
    return FALSE;
  }
  if (m_pWndMessage) {
    popup->SetMessageWnd(m_pWndMessage);
  } else if (CTKPopupMenu* parent = popup->GetParentPopupMenu()) {
    popup->SetMessageWnd(parent->GetMessageWnd());
  }
  return TRUE;
}

CRect CTKToolbarMenuButton::ArrowStrip() const {
  SIZE glyph = MenuImages::Size();
  const int scale = CTKToolBar::IsLargeIcons() ? 2 : 1;
  CRect strip = m_rect;
  if (m_bHorz)
    strip.left = strip.right - (glyph.cx * scale + 2 + 2);
  else
    strip.top = strip.bottom - (glyph.cy * scale + 2 + 2);
  return strip;
}

BOOL CTKToolbarMenuButton::OnClick(CWnd* window, BOOL delay) {
  const BOOL onMenuBar = IsOnBarKind(*this, CTKBaseControlBar::kMenuBar);
  const BOOL onPopupBar = IsOnBarKind(*this, CTKBaseControlBar::kPopupMenuBar);
  if (!onMenuBar && !onPopupBar && IsRealCommand(m_nID)) {
    if (!m_bMenuMode && !m_bMenuOnly) return FALSE;
    // On a toolbar the command runs unless the press hit the arrow strip.
    POINT cursor;
    ::GetCursorPos(&cursor);
    if (window && window->m_hWnd) ::ScreenToClient(window->m_hWnd, &cursor);
    m_bClickedOnMenu = ArrowStrip().PtInRect(cursor);
    if (!m_bClickedOnMenu && !m_bMenuOnly) return FALSE;
  }
  auto* toolbar = dynamic_cast<CTKToolBar*>(m_pWndParent);
  if (!m_popupMenu && m_dwClosedAt && m_dwClosedAt == static_cast<DWORD>(::GetMessageTime()) && !delay) {
    // This very press closed the popup (the frame closes a menu on a press outside
    // it): the second click closes, it does not open again.
    m_dwClosedAt = 0;
    if (onMenuBar && toolbar) toolbar->Deactivate();
    return TRUE;
  }
  if (m_popupMenu) {
    // A second click closes the popup.
    if (CTKPopupMenu* popup = GetPopupMenu(); popup && popup->m_hWnd) {
      popup->m_bAutoDestroyParent = FALSE;
      popup->DestroyWindow();
    }
    m_popupMenu = nullptr;
    if (onMenuBar && toolbar) toolbar->Deactivate();
    return TRUE;
  }
  if (onPopupBar && delay && !CTKToolBar::IsCustomizeMode()) {
    if (auto* popupBar = dynamic_cast<CTKPopupMenuBar*>(m_pWndParent)) popupBar->StartPopupTimer(this);
  } else {
    if (onMenuBar && toolbar) {
      for (int i = 0; i < toolbar->GetCount(); ++i) {
        CTKToolbarButton* other = toolbar->GetButton(i);
        if (other != this && other && other->IsDroppedDown()) other->OnCancelMode();
      }
    }
    if (!OpenPopupMenu(window)) return FALSE;
  }
  if (onMenuBar && toolbar) {
    toolbar->m_iHighlighted = toolbar->m_iHot = toolbar->ButtonToIndex(this);
    CRect area = m_rect;
    const int shadow = CTKVisualManager::GetInstance()->m_menuShadowDepth;
    area.InflateRect(shadow, shadow);
    ::RedrawWindow(toolbar->m_hWnd, &area, nullptr, RDW_INVALIDATE | RDW_FRAME);
  }
  return TRUE;
}

BOOL CTKToolbarMenuButton::OnCloseRequest() {
  if (CTKPopupMenu* popup = GetPopupMenu(); popup && popup->m_hWnd) {
    popup->m_bAutoDestroyParent = FALSE;
    popup->DestroyWindow();
  }
  m_popupMenu = nullptr;
  return TRUE;
}

void CTKToolbarMenuButton::OnCancelMode() {
  CTKPopupMenu* popup = GetPopupMenu();
  if (popup && popup->m_hWnd && !popup->IsInCommand()) {
    CTKPopupMenuBar* bar = popup->GetMenuBar();
    for (int i = 0; i < bar->GetCount(); ++i)
      if (CTKToolbarButton* item = bar->GetButton(i)) item->OnCancelMode();
    popup->m_bAutoDestroyParent = FALSE;
    popup->CloseMenu(FALSE);
  }
  m_popupMenu = nullptr;
  if (m_pWndParent && ::IsWindow(m_pWndParent->m_hWnd)) {
    CRect area = m_rect;
    const int shadow = CTKVisualManager::GetInstance()->m_menuShadowDepth;
    area.InflateRect(shadow, shadow);
    ::RedrawWindow(m_pWndParent->m_hWnd, &area, nullptr, RDW_INVALIDATE | RDW_FRAME);
  }
  m_bToBeClosed = FALSE;
}

void CTKToolbarMenuButton::OnChangeParentWnd(CWnd* parent) {
  CTKToolbarButton::OnChangeParentWnd(parent);
  const BOOL hasItems = !m_listCommands.IsEmpty();
  if (IsOnBarKind(*this, CTKBaseControlBar::kMenuBar)) {
    m_bText = TRUE;
    m_bImage = FALSE;
    m_bMenuMode = IsRealCommand(m_nID) && hasItems;
  } else if (IsOnBarKind(*this, CTKBaseControlBar::kPopupMenuBar)) {
    m_bMenuPaletteMode = TRUE;
    m_bText = TRUE;
    m_bImage = FALSE;
    m_bMenuMode = m_nID == 0 || hasItems;
  } else {
    m_bMenuMode = m_nID == 0 || hasItems;
  }
  m_pWndParent = parent;
}

SIZE CTKToolbarMenuButton::OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) {
  m_bHorz = horizontal;
  if (!m_bVisible) return SIZE{0, 0};
  if (IsSeparator()) return CTKToolbarButton::OnCalculateSize(dc, defaultSize, horizontal);
  const SIZE glyph = MenuImages::Size();
  const int scale = CTKToolBar::IsLargeIcons() ? 2 : 1;
  int arrow = 0;
  if (m_bMenuMode || m_bMenuPaletteMode) arrow = (horizontal ? glyph.cx : glyph.cy) * scale - 1;
  if (m_bMenuPaletteMode) {
    if (g_pKeyboardManager && !(m_nID >= 0xF000 && m_nID <= 0xF1EF) && IsRealCommand(m_nID)) {
      // The label, then the shortcut the frame's accelerators give the command.
      const int tab = m_strText.Find('\t');
      if (tab >= 0) m_strText = m_strText.Left(tab);
      CString shortcut;
      CFrameWnd* frame = CTKPopupMenu::FrameOf(m_pWndParent);
      if (g_pKeyboardManager->FindAcceleratorText(m_nID, shortcut, frame, TRUE)) {
        m_strText += "\t";
        m_strText += shortcut;
      }
    }
    CString label = m_strText, shortcut;
    const int tab = m_strText.Find('\t');
    if (tab >= 0) {
      label = m_strText.Left(tab);
      shortcut = m_strText.Mid(tab + 1);
    }
    label = TextWithoutAmpersands(label);
    SIZE labelSize{0, 0}, shortcutSize{0, 0};
    ::GetTextExtentPoint32A(dc->GetSafeHdc(), label, label.GetLength(), &labelSize);
    if (!shortcut.IsEmpty())
      ::GetTextExtentPoint32A(dc->GetSafeHdc(), shortcut, shortcut.GetLength(), &shortcutSize);
    m_sizeText = SIZE{labelSize.cx + (shortcutSize.cx ? shortcutSize.cx + 10 : 0), labelSize.cy};
    return SIZE{defaultSize.cx + 6 + 3 + m_sizeText.cx + 9 + arrow, defaultSize.cy};
  }
  SIZE size = CTKToolbarButton::OnCalculateSize(dc, defaultSize, horizontal);
  const int margin = 2 * CTKVisualManager::GetInstance()->GetMenuImageMargin();
  if (horizontal)
    size.cx += arrow + (IsOnBarKind(*this, CTKBaseControlBar::kMenuBar) ? margin : 0);
  else
    size.cy += arrow + (IsOnBarKind(*this, CTKBaseControlBar::kMenuBar) ? margin : 0);
  return size;
}

namespace {

// Label at the left and shortcut at the right of the text area; a disabled item is
// drawn embossed.
void DrawItemText(CDC* dc, const CString& label, const CString& shortcut, CRect rect, BOOL disabled) {
  const int mode = dc->SetBkMode(TRANSPARENT);
  auto draw = [&](CRect area) {
    if (!label.IsEmpty()) dc->DrawText(label, label.GetLength(), &area, DT_SINGLELINE | DT_VCENTER);
    if (!shortcut.IsEmpty())
      dc->DrawText(shortcut, shortcut.GetLength(), &area, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  };
  if (disabled && CTKVisualManager::GetInstance()->m_embossDisabledText) {
    const COLORREF old = dc->SetTextColor(GlobalData::Get().buttonHighlight);
    CRect shifted = rect;
    shifted.OffsetRect(1, 1);
    draw(shifted);
    dc->SetTextColor(GlobalData::Get().buttonShadow);
    draw(rect);
    dc->SetTextColor(old);
  } else {
    draw(rect);
  }
  dc->SetBkMode(mode);
}

}  // namespace

BOOL CTKToolbarMenuButton::DrawImageByFrame(CDC* dc, const CRect& column) {
  // A real command only: separators, sub-menus and placeholders have no image to ask for.
  if (IsSeparator() || !IsRealCommand(m_nID) || !m_listCommands.IsEmpty() || !m_bar || !m_bar->m_hWnd)
    return FALSE;
  auto* site = CTKFrameSite::Of(CTKPopupMenu::FrameOf(m_bar));
  return site && site->OnDrawMenuImage(dc, this, &column);
}

void CTKToolbarMenuButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal,
                                  BOOL customizeMode, BOOL highlighted, BOOL drawBorder,
                                  BOOL grayDisabledButtons) {
  if (!m_bMenuPaletteMode) {
    const UINT saved = m_nStyle;
    if (m_popupMenu && !customizeMode) m_nStyle |= TBBS_PRESSED;
    CRect face = rect;
    const BOOL dropDown =
        m_bMenuMode && IsRealCommand(m_nID) && !IsOnBarKind(*this, CTKBaseControlBar::kMenuBar);
    CTKToolbarButton::OnDraw(dc, face, images, horizontal, customizeMode, highlighted, drawBorder,
                             grayDisabledButtons);
    if (dropDown || (m_bMenuMode && !IsOnBarKind(*this, CTKBaseControlBar::kMenuBar) && m_nID == 0)) {
      const CRect strip = ArrowStrip();
      const BOOL disabled = (m_nStyle & TBBS_DISABLED) != 0;
      const SIZE glyph = MenuImages::Size();
      MenuImages::Draw(
          dc, disabled ? MenuImages::kArrowDownDisabled : MenuImages::kArrowDown,
          POINT{strip.left + (strip.Width() - glyph.cx) / 2, strip.top + (strip.Height() - glyph.cy) / 2});
      if (dropDown && (highlighted || (m_nStyle & TBBS_PRESSED)) && !customizeMode)
        CTKVisualManager::GetInstance()->PaintButtonEdge(dc, this, strip, (m_nStyle & TBBS_PRESSED) ? 1 : 2);
    }
    m_nStyle = saved;
    return;
  }
  // An item of a popup menu: image column, highlight, text, sub-menu arrow.
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  const BOOL disabled = (m_nStyle & TBBS_DISABLED) != 0;
  const BOOL checked = (m_nStyle & TBBS_CHECKED) != 0;
  const int margin = look->GetMenuImageMargin();
  const SIZE menuImage = m_bar ? m_bar->m_menuImageSize : SIZE{16, 15};
  CRect column = rect;
  column.right = column.left + menuImage.cx + 2 * margin + 2;
  COLORREF textColor = disabled ? GlobalData::Get().grayText : GlobalData::Get().menuText;
  if (highlighted && !customizeMode) {
    look->PaintFace3D(dc, this, rect, textColor);
    if (!disabled && !look->m_xpImageStyle) textColor = GlobalData::Get().highlightText;
  }
  // The user may have chosen text alone for this command's menu items.
  const BOOL hasImage =
      m_bImage && GetImage() >= 0 && images && !GetCommandManager()->IsMenuItemWithoutImage(m_nID);
  if (hasImage) {
    const SIZE size = images->GetImageSize();
    const int x = column.left + (column.Width() - size.cx) / 2;
    const int y = column.top + (column.Height() - size.cy) / 2;
    if (checked)
      look->PaintMenuButtonBorder(dc, CRect(x - 2, y - 2, x + size.cx + 2, y + size.cy + 2), this, TRUE,
                                  FALSE);
    images->Draw(dc, x, y, GetImage(), FALSE, disabled);
  } else if (!DrawImageByFrame(dc, column) && checked) {
    const SIZE glyph = MenuImages::Size();
    CRect box(column.CenterPoint().x - glyph.cx / 2 - 3, column.CenterPoint().y - glyph.cy / 2 - 3, 0, 0);
    box.right = box.left + glyph.cx + 6;
    box.bottom = box.top + glyph.cy + 6;
    look->PaintMenuButtonBorder(dc, box, this, TRUE, FALSE);
    MenuImages::Draw(dc, disabled ? MenuImages::kCheckDisabled : MenuImages::kCheck,
                     POINT{box.left + 3, box.top + 3});
  }
  CString label = m_strText, shortcut;
  const int tab = m_strText.Find('\t');
  if (tab >= 0) {
    label = m_strText.Left(tab);
    shortcut = m_strText.Mid(tab + 1);
  }
  const SIZE glyph = MenuImages::Size();
  CRect text = rect;
  text.left = column.right + 3;
  text.right -= glyph.cx + 6;
  HGDIOBJ font = nullptr;
  if (m_bDefault) font = dc->SelectObject(&GlobalData::Get().boldFont);
  if (!m_bFitsColumn) {
    // Shortened one character at a time until it fits with "...".
    CString shown = label;
    SIZE extent{0, 0};
    for (;;) {
      CString trial = TextWithoutAmpersands(shown) + "...";
      ::GetTextExtentPoint32A(dc->GetSafeHdc(), trial, trial.GetLength(), &extent);
      if (extent.cx <= text.Width() || shown.IsEmpty()) break;
      shown = shown.Left(shown.GetLength() - 1);
    }
    label = shown + "...";
  }
  const COLORREF oldColor = dc->SetTextColor(textColor);
  DrawItemText(dc, label, shortcut, text, disabled && !highlighted);
  if (m_nID == (UINT)-1 || m_bMenuMode) {
    if (m_nID != 0 || !m_listCommands.IsEmpty()) {
      const char* arrow = m_bDrawDownArrow                                                              ? "6"
                          : (m_bar && (::GetWindowLongA(m_bar->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL)) ? "3"
                                                                                                        : "4";
      HGDIOBJ old = dc->SelectObject(&GlobalData::Get().glyphFont);
      CRect arrowRect = rect;
      arrowRect.right -= 2;
      const int mode = dc->SetBkMode(TRANSPARENT);
      dc->DrawText(arrow, 1, &arrowRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
      dc->SetBkMode(mode);
      dc->SelectObject(old);
    }
  }
  dc->SetTextColor(oldColor);
  if (font) dc->SelectObject(font);
}

void CTKToolbarMenuButton::Serialize(CArchive& ar) {
  CTKToolbarButton::Serialize(ar);
  CTKWorkspace* workspace = CurrentWorkspace();
  const int version = workspace ? workspace->StoredVersion() : -1;
  // An unknown version counts as the newest.
  const BOOL withTearOff = version == -1 || version >= kTearOffVersion;
  if (ar.IsStoring()) {
    if (withTearOff) ar << static_cast<int>(m_uiTearOffBarID);
    ar.WriteCount(static_cast<DWORD>(m_listCommands.GetCount()));
    for (POSITION pos = m_listCommands.GetHeadPosition(); pos;) ar.WriteObject(m_listCommands.GetNext(pos));
    return;
  }
  DeleteCommands();
  int tearOff = 0;
  if (withTearOff) ar >> tearOff;
  SetTearOff(static_cast<UINT>(tearOff));
  for (DWORD left = ar.ReadCount(); left > 0; --left) {
    CObject* object = ar.ReadObject(RUNTIME_CLASS(CTKToolbarMenuButton));
    if (auto* item = dynamic_cast<CTKToolbarMenuButton*>(object))
      m_listCommands.AddTail(item);
    else
      delete object;
  }
}

void CTKToolbarMenuButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarButton::CopyFrom(source);
  const auto* menuSource = dynamic_cast<const CTKToolbarMenuButton*>(&source);
  if (!menuSource) return;
  SetTearOff(menuSource->m_uiTearOffBarID);
  m_bDefault = menuSource->m_bDefault;
  m_bMenuOnly = menuSource->m_bMenuOnly;
  DeleteCommands();
  for (POSITION pos = menuSource->m_listCommands.GetHeadPosition(); pos;) {
    auto* item = static_cast<CTKToolbarMenuButton*>(menuSource->m_listCommands.GetNext(pos));
    auto* copy = static_cast<CTKToolbarMenuButton*>(item->GetRuntimeClass()->CreateObject());
    if (!copy) continue;
    copy->CopyFrom(*item);
    m_listCommands.AddTail(copy);
  }
}

BOOL CTKToolbarMenuButton::CompareWith(const CTKToolbarButton& other) const {
  if (m_nID != other.m_nID) return FALSE;
  const auto* menu = dynamic_cast<const CTKToolbarMenuButton*>(&other);
  if (!menu) return m_listCommands.IsEmpty();
  if (m_listCommands.GetCount() != menu->m_listCommands.GetCount()) return FALSE;
  POSITION mine = m_listCommands.GetHeadPosition(), theirs = menu->m_listCommands.GetHeadPosition();
  while (mine && theirs) {
    auto* a = static_cast<CTKToolbarButton*>(m_listCommands.GetNext(mine));
    auto* b = static_cast<CTKToolbarButton*>(menu->m_listCommands.GetNext(theirs));
    if (!a->CompareWith(*b)) return FALSE;
  }
  return TRUE;
}

void CTKToolbarMenuButton::ResetImageToDefault() {
  CTKToolbarButton::ResetImageToDefault();
  for (POSITION pos = m_listCommands.GetHeadPosition(); pos;)
    static_cast<CTKToolbarButton*>(m_listCommands.GetNext(pos))->ResetImageToDefault();
}
