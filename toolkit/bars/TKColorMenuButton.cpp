#include "toolkit/bars/TKColorMenuButton.h"

#include "toolkit/bars/ColorPopup.h"
#include "toolkit/bars/TKColorBar.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

IMPLEMENT_SERIAL(CTKColorMenuButton, CTKToolbarMenuButton, 1)

CMap<UINT, UINT, COLORREF, COLORREF> CTKColorMenuButton::s_ColorsMap;

namespace {

// Records carry the docked counts from stored state 4.71 on.
constexpr int kDockedCountsVersion = 0x40710;

BOOL IsRealCommand(UINT id) { return id != 0 && id != (UINT)-1; }

struct ColorsMapSetUp {
  ColorsMapSetUp() { CTKColorMenuButton::s_ColorsMap.InitHashTable(17); }
} g_colorsMapSetUp;

}  // namespace

UINT CTKColorMenuButton::GetDocumentColorsMessage() {
  static const UINT message = ::RegisterWindowMessageA("TKTOOLBAR__GETDOCUMENTCOLORS");
  return message;
}

CTKColorMenuButton::CTKColorMenuButton() = default;

CTKColorMenuButton::CTKColorMenuButton(UINT command, const char* text, HPALETTE palette)
    : CTKToolbarMenuButton(command, nullptr, CTKToolBar::GetDefaultImage(command), text) {
  CTKColorBar::InitColors(palette, m_Colors);
  COLORREF stored = (COLORREF)-1;
  if (s_ColorsMap.Lookup(command, stored)) m_Color = stored;
  MakePalette();
}

CTKColorMenuButton::~CTKColorMenuButton() {
  if (m_Palette) ::DeleteObject(m_Palette);
}

void CTKColorMenuButton::MakePalette() {
  if (m_Palette) ::DeleteObject(m_Palette);
  m_Palette = nullptr;
  if (GlobalData::Get().bitsPerPixel != 8 || m_Colors.empty()) return;
  const int count = static_cast<int>(std::min<size_t>(m_Colors.size(), 256));
  std::vector<BYTE> bytes(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
  auto* log = reinterpret_cast<LOGPALETTE*>(bytes.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(count);
  for (int i = 0; i < count; ++i) {
    log->palPalEntry[i].peRed = GetRValue(m_Colors[i]);
    log->palPalEntry[i].peGreen = GetGValue(m_Colors[i]);
    log->palPalEntry[i].peBlue = GetBValue(m_Colors[i]);
  }
  m_Palette = ::CreatePalette(log);
}

void CTKColorMenuButton::EnableAutomaticButton(const char* label, COLORREF automatic, BOOL enable) {
  m_bIsAutomaticButton = enable;
  m_strAutomaticButtonLabel = label ? label : "";
  m_colorAutomatic = automatic;
}

void CTKColorMenuButton::EnableOtherButton(const char* label, BOOL platformDialog, BOOL enable) {
  m_bIsOtherButton = enable;
  m_strOtherButtonLabel = label ? label : "";
  m_bStdColorDlg = platformDialog;
}

void CTKColorMenuButton::EnableDocumentColors(const char* caption, BOOL enable) {
  m_bIsDocumentColors = enable;
  m_strDocumentColorsLabel = caption ? caption : "";
}

void CTKColorMenuButton::Repaint() {
  auto* bar = dynamic_cast<CTKToolBar*>(m_pWndParent);
  if (bar && bar->m_hWnd && ::IsWindow(bar->m_hWnd)) {
    const int index = bar->ButtonToIndex(this);
    if (index >= 0) {
      bar->InvalidateButton(index);
      bar->UpdateWindow();
    }
  }
}

void CTKColorMenuButton::SetColor(COLORREF color, BOOL notify) {
  m_Color = color;
  if (IsRealCommand(m_nID)) s_ColorsMap.SetAt(m_nID, color);
  Repaint();
  if (!notify || !IsRealCommand(m_nID)) return;
  CObList buttons;
  CTKToolBar::GetCommandButtons(m_nID, buttons);
  for (POSITION pos = buttons.GetHeadPosition(); pos;) {
    auto* other = dynamic_cast<CTKColorMenuButton*>(buttons.GetNext(pos));
    if (other && other != this) other->SetColor(color, FALSE);
  }
  for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;) {
    auto* colorBar = dynamic_cast<CTKColorBar*>(CTKToolBar::GetAllToolbars().GetNext(pos));
    if (colorBar && colorBar->GetCommandID() == m_nID) colorBar->SetColor(color);
  }
}

void CTKColorMenuButton::SetColorByCmd(UINT command, COLORREF color) {
  s_ColorsMap.SetAt(command, color);
  CObList buttons;
  CTKToolBar::GetCommandButtons(command, buttons);
  for (POSITION pos = buttons.GetHeadPosition(); pos;)
    if (auto* button = dynamic_cast<CTKColorMenuButton*>(buttons.GetNext(pos)))
      button->SetColor(color, FALSE);
}

COLORREF CTKColorMenuButton::GetColorByCmd(UINT command) {
  COLORREF color = (COLORREF)-1;
  s_ColorsMap.Lookup(command, color);
  return color;
}

BOOL CTKColorMenuButton::OpenColorDialog(COLORREF initial, COLORREF& result) {
  CWnd* parent = m_pWndParent;
  return CTKColorBar::RunColorDialog(m_bStdColorDlg, initial, result, parent, m_Palette);
}

void CTKColorMenuButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarMenuButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CTKColorMenuButton*>(&source);
  if (!other) return;
  m_Color = other->m_Color;
  if (IsRealCommand(m_nID)) s_ColorsMap.SetAt(m_nID, m_Color);
  m_colorAutomatic = other->m_colorAutomatic;
  m_Colors = other->m_Colors;
  m_nColumns = other->m_nColumns;
  m_nHorzDockRows = other->m_nHorzDockRows;
  m_nVertDockColumns = other->m_nVertDockColumns;
  m_bIsAutomaticButton = other->m_bIsAutomaticButton;
  m_bIsOtherButton = other->m_bIsOtherButton;
  m_bIsDocumentColors = other->m_bIsDocumentColors;
  m_strAutomaticButtonLabel = other->m_strAutomaticButtonLabel;
  m_strOtherButtonLabel = other->m_strOtherButtonLabel;
  m_strDocumentColorsLabel = other->m_strDocumentColorsLabel;
  m_bStdColorDlg = other->m_bStdColorDlg;
  MakePalette();
}

void CTKColorMenuButton::Serialize(CArchive& ar) {
  CTKToolbarMenuButton::Serialize(ar);
  CTKWorkspace* workspace = CurrentWorkspace();
  const int version = workspace ? workspace->StoredVersion() : -1;
  const BOOL withDockedCounts = version == -1 || version >= kDockedCountsVersion;
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_Colors.size());
    for (COLORREF color : m_Colors) ar << static_cast<DWORD>(color);
    ar << m_nColumns;
    if (withDockedCounts) ar << m_nHorzDockRows << m_nVertDockColumns;
    ar << static_cast<int>(m_bIsAutomaticButton) << static_cast<int>(m_bIsOtherButton)
       << static_cast<int>(m_bIsDocumentColors);
    ar << m_strAutomaticButtonLabel << m_strOtherButtonLabel << m_strDocumentColorsLabel;
    ar << static_cast<int>(m_bStdColorDlg);
    return;
  }
  int count = 0;
  ar >> count;
  m_Colors.clear();
  for (int i = 0; i < count; ++i) {
    DWORD color = 0;
    ar >> color;
    m_Colors.push_back(color);
  }
  ar >> m_nColumns;
  if (withDockedCounts) ar >> m_nHorzDockRows >> m_nVertDockColumns;
  int automatic = 0, other = 0, documents = 0, platformDialog = 0;
  ar >> automatic >> other >> documents;
  ar >> m_strAutomaticButtonLabel >> m_strOtherButtonLabel >> m_strDocumentColorsLabel;
  ar >> platformDialog;
  m_bIsAutomaticButton = automatic;
  m_bIsOtherButton = other;
  m_bIsDocumentColors = documents;
  m_bStdColorDlg = platformDialog;
  COLORREF stored = (COLORREF)-1;
  if (s_ColorsMap.Lookup(m_nID, stored)) m_Color = stored;
  MakePalette();
}

void CTKColorMenuButton::OnChangeParentWnd(CWnd* parent) {
  CTKToolbarMenuButton::OnChangeParentWnd(parent);
  // Always a drop-down: on a toolbar the body sends the command and the arrow opens
  // the colours; in menus the entry opens them.
  m_bMenuMode = TRUE;
}

void CTKColorMenuButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal,
                                BOOL customizeMode, BOOL highlighted, BOOL drawBorder,
                                BOOL grayDisabledButtons) {
  HPALETTE oldPalette = nullptr;
  if (m_Palette && GlobalData::Get().bitsPerPixel == 8) {
    oldPalette = ::SelectPalette(dc->GetSafeHdc(), m_Palette, FALSE);
    ::RealizePalette(dc->GetSafeHdc());
  }
  CTKToolbarMenuButton::OnDraw(dc, rect, images, horizontal, customizeMode, highlighted, drawBorder,
                               grayDisabledButtons);
  const int height = CTKToolBar::IsLargeIcons() ? 10 : 5;
  CRect strip;
  if (m_bMenuPaletteMode) {
    // Inside the image column of the menu.
    const int margin = CTKVisualManager::GetInstance()->GetMenuImageMargin();
    const SIZE image = m_bar ? m_bar->m_menuImageSize : SIZE{16, 15};
    const int left = rect.left + margin + 1;
    strip = CRect(left, rect.bottom - 3 - height, left + image.cx, rect.bottom - 3);
  } else {
    CRect face = rect;
    if (m_bHorz)
      face.right = ArrowStrip().left;
    else
      face.bottom = ArrowStrip().top;
    strip = CRect(face.left + 3, face.bottom - 3 - height, face.right - 3, face.bottom - 3);
  }
  const COLORREF shown = m_Color == (COLORREF)-1 ? m_colorAutomatic : m_Color;
  if (!strip.IsRectEmpty()) {
    HBRUSH brush = ::CreateSolidBrush(0x02000000 | (shown & 0x00FFFFFF));
    ::FillRect(dc->GetSafeHdc(), &strip, brush);
    ::DeleteObject(brush);
  }
  if (oldPalette) ::SelectPalette(dc->GetSafeHdc(), oldPalette, FALSE);
}

int CTKColorMenuButton::OnDrawOnCustomizeList(CDC* dc, const CRect& rect, BOOL selected) {
  // No command image is looked up for the list.
  const UINT saved = m_nID;
  m_nID = 0;
  const int result = CTKToolbarMenuButton::OnDrawOnCustomizeList(dc, rect, selected);
  m_nID = saved;
  return result;
}

CTKPopupMenu* CTKColorMenuButton::CreatePopupMenu() {
  CList<COLORREF, COLORREF> documentList;
  if (m_bIsDocumentColors && m_pWndParent && m_pWndParent->m_hWnd) {
    HWND top = ::GetAncestor(m_pWndParent->m_hWnd, GA_ROOT);
    if (CFrameWnd* frame = CTKPopupMenu::FrameOf(m_pWndParent)) top = frame->m_hWnd;
    if (top) ::SendMessageA(top, GetDocumentColorsMessage(), m_nID, reinterpret_cast<LPARAM>(&documentList));
  }
  std::vector<COLORREF> documents;
  for (POSITION pos = documentList.GetHeadPosition(); pos;) documents.push_back(documentList.GetNext(pos));
  auto* popup = new CColorPopup(
      m_Colors, m_Color, m_bIsAutomaticButton ? m_strAutomaticButtonLabel.operator const char*() : nullptr,
      m_bIsOtherButton ? m_strOtherButtonLabel.operator const char*() : nullptr,
      m_bIsDocumentColors ? m_strDocumentColorsLabel.operator const char*() : nullptr, documents, m_nColumns,
      m_nHorzDockRows, m_nVertDockColumns, m_colorAutomatic, m_nID, nullptr);
  popup->GetColorBar()->m_bStdColorDlg = m_bStdColorDlg;
  return popup;
}
