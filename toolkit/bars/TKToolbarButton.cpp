#include "toolkit/bars/TKToolbarButton.h"

#include "platform/afx/afxole.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

IMPLEMENT_SERIAL(CTKToolbarButton, CObject, 1)

CString CTKToolbarButton::s_clipboardFormatName;
BOOL CTKToolbarButton::s_registerImages = TRUE;
CList<UINT, UINT> CTKToolbarButton::s_nonEditableIds;
BOOL CTKToolbarButton::s_wrapText = TRUE;

namespace {

// Whether a record of the stored state carries the visible word: from version 6.40,
// and when no version is known.
BOOL RecordHasVisibleWord() {
  CTKWorkspace* workspace = CurrentWorkspace();
  if (!workspace) return FALSE;
  const int major = workspace->m_savedMajor, minor = workspace->m_savedMinor;
  return (major == 6 && minor >= 40) || major >= 7 || (major == -1 && minor == -1);
}

// The part of the command's string resource after the first newline.
CString CommandPrompt(UINT command) {
  char buffer[256] = "";
  if (command == 0 || command == (UINT)-1 ||
      !::LoadStringA(::GetModuleHandleA(nullptr), command, buffer, 256))
    return CString();
  const char* newline = strchr(buffer, '\n');
  return CString(newline ? newline + 1 : "");
}

BOOL IsUserToolCommand(UINT command) {
  return g_pUserToolsManager && g_pUserToolsManager->LookupTool(command) != nullptr;
}

}  // namespace

CTKToolbarButton::CTKToolbarButton() { MakeDefaults(); }

CTKToolbarButton::CTKToolbarButton(UINT command, int image, const char* text, BOOL userImage, BOOL locked) {
  MakeDefaults();
  m_nID = command;
  m_bLocked = locked;
  m_strText = text ? text : "";
  m_bUserImage = userImage;
  SetImage(image);
}

CTKToolbarButton::~CTKToolbarButton() = default;

void CTKToolbarButton::MakeDefaults() {
  m_bUserImage = FALSE;
  m_nID = 0;
  m_nStyle = TBBS_BUTTON;
  m_iImage = m_iUserImage = -1;
  m_bImage = TRUE;
  m_bText = FALSE;
  m_bVisible = TRUE;
}

CString CTKToolbarButton::TextWithoutAmpersands(const CString& text) {
  std::string out;
  const std::string& in = text.str();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '&') {
      if (i + 1 < in.size() && in[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += in[i];
  }
  return CString(out);
}

void CTKToolbarButton::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_nID);
    ar << static_cast<int>(m_nStyle);
    ar << (m_bUserImage ? m_iUserImage : m_iImage);
    ar << m_strText;
    ar << static_cast<int>(m_bUserImage);
    ar << static_cast<int>(m_bFromToolbar);
    ar << static_cast<int>(m_bText);
    ar << static_cast<int>(m_bImage);
    if (RecordHasVisibleWord()) ar << static_cast<int>(m_bVisible);
    return;
  }
  int id = 0, style = 0, image = -1, user = 0, fromCollection = 0, text = 0, showImage = 0;
  ar >> id >> style >> image >> m_strText >> user >> fromCollection >> text >> showImage;
  m_nID = static_cast<UINT>(id);
  m_nStyle = static_cast<UINT>(style);
  m_bUserImage = user;
  m_bFromToolbar = fromCollection;
  m_bText = text;
  m_bImage = showImage;
  if (RecordHasVisibleWord()) {
    int visible = 1;
    ar >> visible;
    m_bVisible = visible;
  }
  SetImage(image);
}

void CTKToolbarButton::CopyFrom(const CTKToolbarButton& source) {
  m_nID = source.m_nID;
  m_bLocked = source.m_bLocked;
  m_bUserImage = source.m_bUserImage;
  m_nStyle = source.m_nStyle;
  SetImage(source.m_bUserImage ? source.m_iUserImage : source.m_iImage);
  m_strText = source.m_strText;
  m_bText = source.m_bText;
  m_bImage = source.m_bImage;
  m_bTextCopy = source.m_bTextCopy;
  m_strTooltip = source.m_strTooltip;
  m_bVisible = source.m_bVisible;
  m_bFromToolbar = FALSE;
  m_bExtra = FALSE;
}

void CTKToolbarButton::SetImage(int image) {
  if (IsSeparator()) {
    m_iImage = image;  // a separator's width
    return;
  }
  if (m_bUserImage)
    m_iUserImage = image;
  else
    m_iImage = image;
  if (!m_bLocked && m_nID != 0) {
    CTKCommandManager* commands = GetCommandManager();
    if (image != -1) {
      if (commands && (m_bUserImage || s_registerImages)) commands->StoreImageOf(m_nID, image, m_bUserImage);
    } else if (commands) {
      m_iImage = commands->FindImageOf(m_nID, FALSE);
      m_iUserImage = commands->FindImageOf(m_nID, TRUE);
      if (m_iImage == -1) m_bUserImage = !m_bUserImage;
    }
  }
  if ((m_bUserImage ? m_iUserImage : m_iImage) < 0) {
    m_bImage = FALSE;
    m_bText = TRUE;
  }
}

void CTKToolbarButton::ResetImageToDefault() {
  if (m_bUserImage || static_cast<int>(m_nID) < 1 || IsUserToolCommand(m_nID)) return;
  const int image = CTKToolBar::GetDefaultImage(m_nID);
  if (image >= 0) {
    SetImage(image);
    return;
  }
  if (m_bImage) {
    m_bImage = FALSE;
    m_bText = TRUE;
    if (m_strText.IsEmpty()) m_strText = CommandPrompt(m_nID);
  }
}

BOOL CTKToolbarButton::IsEditable() const {
  const UINT id = m_nID;
  if ((id >= 0xE110 && id <= 0xE11F) || (id >= 0xE210 && id <= 0xE21F) || (id >= 0xF000 && id <= 0xF1EF) ||
      id >= 0xFF00)
    return FALSE;
  if (g_pUserToolsManager && id == g_pUserToolsManager->GetToolsEntryCmd()) return FALSE;
  return s_nonEditableIds.Find(id) == nullptr;
}

void CTKToolbarButton::OnChangeParentWnd(CWnd* parent) {
  m_bar = dynamic_cast<CTKBaseControlBar*>(parent);
  auto* toolbar = dynamic_cast<CTKToolBar*>(parent);
  m_bExtraBorder = toolbar && toolbar->AllowLookBorder();
}

BOOL CTKToolbarButton::CopyToMenuButton(CObject* menuButton) {
  auto* button = dynamic_cast<CTKToolbarButton*>(menuButton);
  if (button && m_strText.IsEmpty() && m_nID) button->m_strText = CommandPrompt(m_nID);
  return TRUE;
}

void CTKToolbarButton::EnableWindow(BOOL enable) {
  if (HWND hwnd = GetHwnd()) ::EnableWindow(hwnd, enable);
}

BOOL CTKToolbarButton::IsWindowVisible() {
  HWND hwnd = GetHwnd();
  return hwnd && (::GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE);
}

BOOL CTKToolbarButton::IsOwnerOf(HWND hwnd) {
  HWND own = const_cast<CTKToolbarButton*>(this)->GetHwnd();
  return own && hwnd && (own == hwnd || ::IsChild(own, hwnd));
}

BOOL CTKToolbarButton::HasFocus() const {
  HWND own = const_cast<CTKToolbarButton*>(this)->GetHwnd();
  HWND focus = ::GetFocus();
  return own && focus && (own == focus || ::IsChild(own, focus));
}

BOOL CTKToolbarButton::OnToolHitTest(const CWnd* window, TOOLINFOA* info) {
  HWND hwnd = window ? window->m_hWnd : AfxGetSafeHwnd(AfxGetMainWnd());
  HWND top = hwnd ? ::GetAncestor(hwnd, GA_ROOT) : nullptr;
  auto* frame = CTKFrameSite::Of(CWnd::FromHandlePermanent(top));
  if (!frame) return FALSE;
  return frame->OnMenuButtonToolHitTest(this, info);
}

SIZE CTKToolbarButton::OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) {
  if (!m_bVisible) return SIZE{0, 0};
  if (IsSeparator()) {
    if (horizontal) return SIZE{m_iImage < 1 ? 8 : m_iImage, defaultSize.cy};
    return SIZE{defaultSize.cx, 8};
  }
  SIZE size = defaultSize;
  if (!m_bImage || GetImage() < 0) {
    SIZE without = m_bExtraBorder ? CTKVisualManager::GetInstance()->GetButtonExtraSize() : SIZE{0, 0};
    if (horizontal)
      size.cx = without.cx;
    else
      size.cy = without.cy;
  }
  m_sizeText = SIZE{0, 0};
  if (!m_strText.IsEmpty()) {
    if (m_bTextBelow && horizontal) {
      CRect text(0, 0, defaultSize.cx * 3, defaultSize.cy);
      UINT flags = DT_CALCRECT | DT_CENTER;
      if (s_wrapText) flags |= DT_WORDBREAK;
      dc->DrawText(m_strText, m_strText.GetLength(), &text, flags);
      m_sizeText.cx = text.Width() + 6;
      m_sizeText.cy = text.Height();
      size.cx = std::max<int>(m_sizeText.cx, size.cx) + 12;
      size.cy += text.Height() + 2 * ::GetSystemMetrics(SM_CYBORDER);
    } else if (m_bText) {
      CString shown = TextWithoutAmpersands(m_strText);
      SIZE extent{0, 0};
      ::GetTextExtentPoint32A(dc->GetSafeHdc(), shown, shown.GetLength(), &extent);
      m_sizeText = extent;
      if (horizontal)
        size.cx += extent.cx + 9;
      else
        size.cy += extent.cx + 9;
    }
  }
  return size;
}

void CTKToolbarButton::DrawButtonFrame(CDC* dc, const CRect& rect, BOOL highlighted) {
  if (m_bNoFace) return;
  const int state = highlighted ? 2 : ((m_nStyle & TBBS_PRESSED) ? 1 : 0);
  CTKVisualManager::GetInstance()->PaintButtonFace(dc, this, rect, state);
}

void CTKToolbarButton::OnDraw(CDC* dc, const CRect& rectIn, CTKToolbarImageList* images, BOOL horizontal,
                              BOOL customizeMode, BOOL highlighted, BOOL drawBorder,
                              BOOL grayDisabledButtons) {
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  m_bHorz = horizontal;
  DrawButtonFrame(dc, rectIn, highlighted);
  CRect rect = rectIn;
  const SIZE imageSize = images ? images->GetImageSize() : SIZE{0, 0};
  if (m_bExtraBorder) {
    SIZE extra = look->GetButtonExtraSize();
    rect.DeflateRect(extra.cx / 2, extra.cy / 2);
  }
  const BOOL stacked = m_bTextBelow && horizontal;
  const BOOL pressed = (m_nStyle & TBBS_PRESSED) != 0;
  const BOOL disabledBit = (m_nStyle & TBBS_DISABLED) != 0;
  int textWidth = 0;
  if (m_bText && !m_strText.IsEmpty() && !stacked) {
    CString shown = TextWithoutAmpersands(m_strText);
    SIZE extent{0, 0};
    ::GetTextExtentPoint32A(dc->GetSafeHdc(), shown, shown.GetLength(), &extent);
    textWidth = extent.cx + 6;
  }
  CRect imageArea = rect;
  if (stacked)
    imageArea.bottom = imageArea.top + imageSize.cy + 6;
  else if (horizontal)
    imageArea.right -= textWidth;
  else
    imageArea.bottom -= textWidth;
  const BOOL hasImage = m_bImage && GetImage() >= 0 && images;
  int x = imageArea.left + std::max<int>(0, (imageArea.Width() - imageSize.cx) / 2);
  int y = imageArea.top + std::max<int>(0, (imageArea.Height() - imageSize.cy) / 2);
  if (!hasImage) x = y = 0;
  int textX = 3, textY = 3;
  TEXTMETRICA tm{};
  dc->GetTextMetrics(&tm);
  if (!stacked && textWidth) {
    if (horizontal)
      textY = (rect.Height() - tm.tmHeight - 1) / 2;
    else
      textX = (rect.Width() - tm.tmHeight + 1) / 2;
  }
  const BOOL checked = (m_nStyle & (TBBS_CHECKED | TBBS_INDETERMINATE)) != 0;
  BOOL shadowDrawn = FALSE;
  if (hasImage && highlighted && !customizeMode && look->m_xpImageStyle && !checked && !pressed &&
      !disabledBit) {
    images->Draw(dc, x, y, GetImage(), FALSE, FALSE, FALSE, TRUE);
    --x;
    --y;
    shadowDrawn = TRUE;
  }
  if (pressed && !customizeMode && !look->m_xpImageStyle && look->IsPressedButtonShifted()) {
    ++x;
    ++y;
    if (horizontal || stacked)
      ++textX, ++textY;
    else
      --textX, ++textY;
  }
  (void)shadowDrawn;
  const BOOL faded = !highlighted && look->m_xpImageStyle;
  const BOOL drawDisabled = customizeMode ? !IsEditable() : disabledBit;
  if (hasImage) {
    if (drawDisabled && !pressed && !customizeMode) {
      if (grayDisabledButtons) images->Draw(dc, x, y, GetImage(), FALSE, TRUE);
    } else {
      images->Draw(dc, x, y, GetImage(), FALSE, FALSE, (m_nStyle & TBBS_INDETERMINATE) != 0, FALSE, faded);
    }
  }
  if (stacked || (m_bText && !m_strText.IsEmpty())) {
    const int state = highlighted ? 2 : (pressed ? 1 : 0);
    COLORREF oldColor =
        dc->SetTextColor(drawDisabled ? GlobalData::Get().grayText : look->GetButtonTextColor(this, state));
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    if (stacked) {
      CRect text(rect.left, rect.top + imageSize.cy + 3 + textY, rect.right, rect.bottom);
      const int width = m_sizeText.cx ? m_sizeText.cx : text.Width();
      text.left = rect.left + (rect.Width() - width) / 2;
      text.right = text.left + width;
      if (m_bExtraBorder) text.OffsetRect(0, look->GetButtonExtraSize().cy / 2);
      UINT flags = DT_CENTER;
      if (s_wrapText) flags |= DT_WORDBREAK;
      dc->DrawText(m_strText, m_strText.GetLength(), &text, flags);
    } else if (horizontal) {
      CRect text = rect;
      text.left = (hasImage ? x + imageSize.cx : rect.left) + 3;
      text.top += textY;
      dc->DrawText(m_strText, m_strText.GetLength(), &text, DT_SINGLELINE);
    } else {
      // Rotated text cannot underline its access key: drawn without the "&" and the
      // underline drawn as a line beside it.
      CString shown = TextWithoutAmpersands(m_strText);
      HGDIOBJ oldFont = dc->SelectObject(&GlobalData::Get().verticalFont);
      CRect text(rect.right - textX, (hasImage ? y + imageSize.cy : rect.top) + 3, rect.left, rect.bottom);
      dc->DrawText(shown, shown.GetLength(), &text, DT_SINGLELINE | DT_NOCLIP);
      const int amp = m_strText.Find('&');
      if (amp >= 0 && amp + 1 < m_strText.GetLength() && m_strText[amp + 1] != '&') {
        CString before = TextWithoutAmpersands(m_strText.Left(amp));
        CString through = TextWithoutAmpersands(m_strText.Left(amp + 2));
        SIZE b{0, 0}, t{0, 0};
        ::GetTextExtentPoint32A(dc->GetSafeHdc(), before, before.GetLength(), &b);
        ::GetTextExtentPoint32A(dc->GetSafeHdc(), through, through.GetLength(), &t);
        const int lineX = text.left - tm.tmHeight - 3 + 1;
        HPEN pen = ::CreatePen(PS_SOLID, 1, dc->GetTextColor());
        HGDIOBJ oldPen = ::SelectObject(dc->GetSafeHdc(), pen);
        dc->MoveTo(lineX, text.top + b.cx);
        dc->LineTo(lineX, text.top + t.cx);
        ::SelectObject(dc->GetSafeHdc(), oldPen);
        ::DeleteObject(pen);
      }
      dc->SelectObject(oldFont);
    }
    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldColor);
  }
  if (!customizeMode && HaveHotBorder() && drawBorder) {
    if (pressed)
      look->PaintButtonEdge(dc, this, rectIn, 1);
    else if (highlighted && !(m_nStyle & (TBBS_CHECKED | TBBS_DISABLED | TBBS_INDETERMINATE)))
      look->PaintButtonEdge(dc, this, rectIn, 2);
  }
}

int CTKToolbarButton::OnDrawOnCustomizeList(CDC* dc, const CRect& rectIn, BOOL selected) {
  const BOOL oldText = m_bText;
  m_bText = FALSE;
  const SIZE menuImage = CTKToolBar::GetMenuImageSize();
  const int column = menuImage.cx + 6;
  CTKToolbarImageList* images = m_bUserImage ? CTKToolBar::GetUserImages() : CTKToolBar::GetImages();
  if (!m_bUserImage && CTKToolBar::GetMenuImages()->GetCount() == CTKToolBar::GetImages()->GetCount())
    images = CTKToolBar::GetMenuImages();
  CRect rect = rectIn;
  const BOOL hasImage = images && GetImage() >= 0;
  if (selected && hasImage) rect.left += column;
  COLORREF textColor = CTKVisualManager::GetInstance()->PaintCustomizeListItem(dc, rect, selected);
  if (hasImage && images->PrepareDraw(dc)) {
    CRect cell(rectIn.left, rectIn.top, rectIn.left + column, rectIn.bottom);
    OnDraw(dc, cell, images, TRUE, TRUE, selected, TRUE, TRUE);
    images->EndDraw();
  }
  m_bText = oldText;
  CRect text = rectIn;
  text.left += menuImage.cx + 10;
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  COLORREF oldColor = dc->SetTextColor(textColor);
  dc->DrawText(m_strText, m_strText.GetLength(), &text, DT_SINGLELINE | DT_VCENTER);
  dc->SetTextColor(oldColor);
  dc->SetBkMode(oldMode);
  SIZE extent{0, 0};
  CString shown = TextWithoutAmpersands(m_strText);
  ::GetTextExtentPoint32A(dc->GetSafeHdc(), shown, shown.GetLength(), &extent);
  return extent.cx <= text.Width() ? column + extent.cx : column;
}

CLIPFORMAT CTKToolbarButton::GetClipboardFormat() {
  static CLIPFORMAT s_format = 0;
  if (!s_format) {
    CString name = s_clipboardFormatName;
    if (name.IsEmpty())
      name.Format("TKToolbarButton%lx",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(::GetModuleHandleA(nullptr))));
    s_format = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(name));
  }
  return s_format;
}

BOOL CTKToolbarButton::PrepareDrag(COleDataSource& source) {
  if (!CanBeStored()) return TRUE;
  CMemFile file(4096);
  {
    CArchive ar(&file, CArchive::store, 4096);
    ar.WriteObject(this);
    ar.Close();
  }
  const UINT size = static_cast<UINT>(file.GetLength());
  BYTE* bytes = file.Detach();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size ? size : 1);
  if (memory) {
    if (void* to = ::GlobalLock(memory)) {
      memcpy(to, bytes, size);
      ::GlobalUnlock(memory);
    }
    source.CacheGlobalData(GetClipboardFormat(), memory);
  }
  free(bytes);
  return TRUE;
}

CTKToolbarButton* CTKToolbarButton::CreateFromOleData(COleDataObject* data) {
  if (!data) return nullptr;
  CFile* file = data->GetFileData(GetClipboardFormat());
  if (!file) return nullptr;
  CTKToolbarButton* button = nullptr;
  try {
    CArchive ar(file, CArchive::load, 4096);
    CObject* object = ar.ReadObject(RUNTIME_CLASS(CTKToolbarButton));
    button = dynamic_cast<CTKToolbarButton*>(object);
    if (!button) delete object;
    ar.Close();
  } catch (CArchiveException&) {
    delete button;
    button = nullptr;
  }
  delete file;
  return button;
}
