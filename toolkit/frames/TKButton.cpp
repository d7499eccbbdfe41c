#include "toolkit/frames/TKButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"
#include "toolkit/frames/DialogHelper.h"
#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKVisualManager.h"

BOOL CTKButton::s_lookFlag = FALSE;
BOOL CTKButton::s_lookFlagSet = FALSE;

namespace {
constexpr UINT_PTR kAutoRepeatTimer = 1;
GlobalData& GD() { return GlobalData::Get(); }
COLORREF Or(COLORREF color, COLORREF fallback) { return color == (COLORREF)-1 ? fallback : color; }
int ListCount(HIMAGELIST list) { return list ? ImageList_GetImageCount(list) : 0; }
}  // namespace

void CTKButton::SetGlobalLookFlag(BOOL flag) {
  s_lookFlag = flag;
  s_lookFlagSet = TRUE;
}

BOOL CTKButton::GetGlobalLookFlag() { return s_lookFlag; }

CTKButton::~CTKButton() {
  for (HIMAGELIST& list : m_Images)
    if (list) ImageList_Destroy(list);
  if (m_hToolTip && ::IsWindow(m_hToolTip)) ::DestroyWindow(m_hToolTip);
}

// --- Creation and style -------------------------------------------------------------

void CTKButton::InitStyle(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
      m_bCheckButton = TRUE;
      break;
    case BS_AUTOCHECKBOX:
      m_bCheckButton = TRUE;
      m_bAutoCheck = TRUE;
      break;
    case BS_RADIOBUTTON:
      m_bRadioButton = TRUE;
      break;
    case BS_AUTORADIOBUTTON:
      m_bRadioButton = TRUE;
      m_bAutoCheck = TRUE;
      break;
    default:
      break;
  }
  if (m_bCheckButton || m_bRadioButton) {
    switch (style & BS_CENTER) {
      case BS_LEFT:
        m_nAlignStyle = ALIGN_LEFT;
        break;
      case BS_RIGHT:
        m_nAlignStyle = ALIGN_RIGHT;
        break;
      case BS_CENTER:
        m_nAlignStyle = ALIGN_CENTER;
        break;
      default:
        break;
    }
  }
  if (!s_lookFlagSet) SetGlobalLookFlag(TRUE);
  m_bStyleDecoded = TRUE;
}

BOOL CTKButton::PreCreateWindow(CREATESTRUCTA& cs) {
  InitStyle(cs.style);
  cs.style = (cs.style & ~(BS_TYPEMASK | BS_DEFPUSHBUTTON)) | BS_OWNERDRAW;
  return CButton::PreCreateWindow(cs);
}

void CTKButton::PreSubclassWindow() {
  if (m_bStyleDecoded) return;  // made by us: already decoded
  DWORD style = GetStyle();
  InitStyle(style);
  ::SetWindowLongA(m_hWnd, GWL_STYLE,
                   static_cast<LONG>((style & ~(BS_TYPEMASK | BS_DEFPUSHBUTTON)) | BS_OWNERDRAW));
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
  if (font) m_hFont = font;
}

// --- Images -------------------------------------------------------------------------

void CTKButton::EmptySet(int first) {
  for (int i = first; i < first + 3; ++i)
    if (m_Images[i]) ImageList_RemoveAll(m_Images[i]);
}

void CTKButton::ClearImages() {
  m_nStdImageId = -1;
  m_nStdImageDisabledId = -1;
  m_sizeImage = SIZE{0, 0};
  for (HIMAGELIST list : m_Images)
    if (list) ImageList_RemoveAll(list);
}

void CTKButton::AddToList(int index, HICON icon, BOOL) {
  if (!icon) return;
  ICONINFO info{};
  if (::GetIconInfo(icon, &info)) {
    BITMAP bm{};
    if (info.hbmColor && ::GetObjectA(info.hbmColor, sizeof bm, &bm))
      m_sizeImage = SIZE{bm.bmWidth, bm.bmHeight};
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
  }
  if (!m_Images[index] || ImageList_GetImageCount(m_Images[index]) == 0) {
    if (m_Images[index]) ImageList_Destroy(m_Images[index]);
    m_Images[index] = ImageList_Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR32 | ILC_MASK, 1, 1);
  }
  ImageList_AddIcon(m_Images[index], icon);
}

void CTKButton::AddToList(int index, HBITMAP bitmap, COLORREF transparent) {
  if (!bitmap) return;
  BITMAP bm{};
  ::GetObjectA(bitmap, sizeof bm, &bm);
  m_sizeImage = SIZE{bm.bmWidth, bm.bmHeight};
  if (m_Images[index]) ImageList_Destroy(m_Images[index]);
  m_Images[index] = ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_COLOR32 | ILC_MASK, 1, 1);
  ImageList_AddMasked(m_Images[index], bitmap, transparent);
}

void CTKButton::AssignImages(HICON icon, BOOL autoDestroy, HICON hotIcon, HICON disabledIcon, BOOL alpha) {
  m_nStdImageId = m_nStdImageDisabledId = -1;
  EmptySet(0);
  AddToList(0, icon, alpha);
  AddToList(1, hotIcon, alpha);
  AddToList(2, disabledIcon, alpha);
  if (autoDestroy) {
    if (icon) ::DestroyIcon(icon);
    if (hotIcon) ::DestroyIcon(hotIcon);
  }
}

void CTKButton::AssignCheckedImages(HICON icon, BOOL autoDestroy, HICON hotIcon, HICON disabledIcon,
                                    BOOL alpha) {
  EmptySet(3);
  AddToList(3, icon, alpha);
  AddToList(4, hotIcon, alpha);
  AddToList(5, disabledIcon, alpha);
  if (autoDestroy) {
    if (icon) ::DestroyIcon(icon);
    if (hotIcon) ::DestroyIcon(hotIcon);
  }
}

void CTKButton::AssignImages(HBITMAP bitmap, BOOL autoDestroy, HBITMAP hotBitmap, BOOL mappedColors,
                             HBITMAP disabledBitmap) {
  m_nStdImageId = m_nStdImageDisabledId = -1;
  EmptySet(0);
  auto transparentFor = [&](HBITMAP b) {
    BITMAP bm{};
    ::GetObjectA(b, sizeof bm, &bm);
    const bool midDepth = bm.bmBitsPixel >= 9 && bm.bmBitsPixel <= 31;
    return mappedColors || midDepth ? RGB(0xC0, 0xC0, 0xC0) : GD().buttonFace;
  };
  HBITMAP all[3] = {bitmap, hotBitmap, disabledBitmap};
  for (int i = 0; i < 3; ++i)
    if (all[i]) AddToList(i, all[i], transparentFor(all[i]));
  if (autoDestroy)
    for (HBITMAP b : all)
      if (b) ::DeleteObject(b);
}

void CTKButton::AssignImagesFromResource(UINT bitmapId, UINT hotId, UINT disabledId) {
  auto load = [](UINT id) -> HBITMAP {
    if (!id) return nullptr;
    return static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                             0, 0, LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION));
  };
  AssignImages(load(bitmapId), TRUE, load(hotId), FALSE, load(disabledId));
}

LRESULT CTKButton::OnSetImage(WPARAM wParam, LPARAM lParam) {
  switch (wParam) {
    case IMAGE_BITMAP:
      AssignImages(reinterpret_cast<HBITMAP>(lParam), FALSE, nullptr, TRUE);
      break;
    case IMAGE_ICON:
      AssignImages(reinterpret_cast<HICON>(lParam), FALSE);
      break;
    default:
      return 0;
  }
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
  return 0;
}

LRESULT CTKButton::OnGetImage(WPARAM wParam, LPARAM) {
  HIMAGELIST list = m_Images[0];
  if (!ListCount(list)) return 0;
  switch (wParam) {
    case IMAGE_BITMAP: {
      IMAGEINFO info{};
      return ImageList_GetImageInfo(list, 0, &info) ? reinterpret_cast<LRESULT>(info.hbmImage) : 0;
    }
    case IMAGE_ICON:
      return reinterpret_cast<LRESULT>(ImageList_GetIcon(list, 0, ILD_NORMAL));
    default:
      return 0;
  }
}

void CTKButton::SetStdImage(int imageId, int disabledImageId) {
  ClearImages();
  m_sizeImage = MenuImages::Size();
  m_nStdImageId = imageId;
  m_nStdImageDisabledId = disabledImageId;
}

HIMAGELIST CTKButton::ChooseList(int set, UINT itemState) const {
  const int base = set * 3;
  if ((itemState & ODS_DISABLED) && m_bGrayDisabled && ListCount(m_Images[base + 2]))
    return m_Images[base + 2];
  if (m_bHighlighted && ListCount(m_Images[base + 1])) return m_Images[base + 1];
  return ListCount(m_Images[base]) ? m_Images[base] : nullptr;
}

// --- Appearance setters ---------------------------------------------------------------

void CTKButton::SetFaceColor(COLORREF color, BOOL redraw) {
  m_clrFace = color;
  if (redraw && m_hWnd) Invalidate();
}

void CTKButton::SetMouseCursorHand() { m_hCursor = GD().GetHandCursor(); }

void CTKButton::SetTipText(const char* text) {
  if (!m_hWnd) return;
  if (!text) {
    m_bTipActive = FALSE;
    if (m_hToolTip) ::SendMessageA(m_hToolTip, TTM_ACTIVATE, FALSE, 0);
    return;
  }
  m_tipText = text;
  m_bTipActive = TRUE;
  // The tip's window is made when the pointer first comes over the button: a window
  // full of buttons would otherwise make a window for every tip as it opens.
  if (m_hToolTip) ShowTipText();
}

void CTKButton::ShowTipText() {
  TOOLINFOA info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = m_hWnd;
  info.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
  info.lpszText = const_cast<char*>(static_cast<const char*>(m_tipText));
  if (!m_hToolTip) {
    m_hToolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    if (!m_hToolTip) return;
    if (GD().maxTooltipWidth != -1) ::SendMessageA(m_hToolTip, TTM_SETMAXTIPWIDTH, 0, GD().maxTooltipWidth);
    ::SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  } else {
    ::SendMessageA(m_hToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  }
  ::SendMessageA(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
}

// --- Painting ---------------------------------------------------------------------

UINT CTKButton::CurrentItemState() const {
  UINT state = 0;
  if (!::IsWindowEnabled(m_hWnd)) state |= ODS_DISABLED;
  if (::GetFocus() == m_hWnd) state |= ODS_FOCUS;
  if (::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) state |= ODS_SELECTED;
  return state;
}

void CTKButton::DrawButton(CDC* dc, UINT itemState) {
  CRect rect;
  GetClientRect(&rect);
  FillBackground(dc, rect);
  CRect content = rect;
  DrawBorder(dc, content, itemState);
  PaintContent(dc, content, itemState);
  if ((itemState & ODS_FOCUS) && m_bDrawFocus) DrawFocusRectangle(dc, content);
}

void CTKButton::FillBackground(CDC* dc, const CRect& rect) {
  if (m_bTransparent)
    GD().PaintParentBackground(this, dc, &rect);
  else
    dc->FillSolidRect(&rect, Or(m_clrFace, GD().buttonFace));
  if (m_bChecked && m_bHighlightChecked && !(m_bPushed && m_bHighlighted)) {
    DrawManager dm(*dc);
    dm.LightenRect(rect);
  }
}

void CTKButton::DrawBorder(CDC* dc, CRect& rect, UINT itemState) {
  if (m_nFlatStyle == BUTTONSTYLE_NOBORDERS) {
    rect.DeflateRect(2, 2);
    return;
  }
  const bool lookDraws = s_lookFlag && !m_bDontUseWinXPTheme;
  if (lookDraws) {
    const UINT state = (m_bPushed ? 1u : 0u) | (m_bHighlighted ? 2u : 0u);
    if (CTKVisualManager::GetInstance()->DrawPushButton(dc, rect, this, state, 0)) {
      rect.DeflateRect(2, 2);
      return;
    }
  }
  const GlobalData& gd = GD();
  const bool down = (m_bPushed && m_bHighlighted) || (itemState & ODS_SELECTED) || m_bChecked;
  if (down) {
    dc->Draw3dRect(&rect, gd.buttonDarkShadow, gd.buttonHighlight);
    rect.DeflateRect(1, 1);
    if (m_nFlatStyle != BUTTONSTYLE_FLAT) dc->Draw3dRect(&rect, gd.buttonShadow, gd.buttonLight);
    rect.DeflateRect(1, 1);
    if (!lookDraws) rect.OffsetRect(m_sizePushOffset.cx, m_sizePushOffset.cy);
    return;
  }
  if (m_nFlatStyle == BUTTONSTYLE_FLAT && !m_bHighlighted) {
    rect.DeflateRect(2, 2);
    return;
  }
  dc->Draw3dRect(&rect, gd.buttonHighlight, gd.buttonDarkShadow);
  rect.DeflateRect(1, 1);
  if (m_nFlatStyle == BUTTONSTYLE_3D || (m_nFlatStyle == BUTTONSTYLE_SEMIFLAT && m_bHighlighted))
    dc->Draw3dRect(&rect, gd.buttonLight, gd.buttonShadow);
  rect.DeflateRect(1, 1);
}

void CTKButton::DrawFocusRectangle(CDC* dc, const CRect& rect) {
  CRect focus = rect;
  focus.DeflateRect(1, 1);
  if (!s_lookFlag || m_bDontUseWinXPTheme) {
    const COLORREF face = Or(m_clrFace, GD().buttonFace);
    dc->Draw3dRect(&focus, face, face);
    focus.DeflateRect(1, 1);
  }
  dc->SetTextColor(GD().buttonText);
  dc->SetBkColor(Or(m_clrFace, GD().buttonFace));
  dc->DrawFocusRect(&focus);
}

HGDIOBJ CTKButton::SelectButtonFont(CDC* dc) {
  return dc->SelectObject(m_hFont ? static_cast<HGDIOBJ>(m_hFont) : ::GetStockObject(DEFAULT_GUI_FONT));
}

void CTKButton::DrawButtonText(CDC* dc, CRect& rect, const CString& text, UINT format) {
  dc->DrawText(text, -1, &rect, format);
}

void CTKButton::PaintContent(CDC* dc, const CRect& rect, UINT itemState) {
  CString text;
  GetWindowText(text);
  HGDIOBJ oldFont = SelectButtonFont(dc);
  const int oldMode = dc->SetBkMode(TRANSPARENT);

  CRect textRect = rect;
  CSize textSize = text.IsEmpty() ? CSize(0, 0) : dc->GetTextExtent(text, text.GetLength());
  const bool hasImage = m_sizeImage.cx > 0 && m_sizeImage.cy > 0;
  if (hasImage) {
    CRect imageRect = rect;
    const int margin = text.IsEmpty() ? 0 : ImageMargin();
    if (m_bTopImage) {
      imageRect.top = rect.top + VerticalMargin();
      imageRect.left = rect.left + (rect.Width() - m_sizeImage.cx) / 2;
      textRect.top = imageRect.top + m_sizeImage.cy + VerticalMargin();
    } else {
      const int total = m_sizeImage.cx + margin + textSize.cx;
      int left = rect.left + (rect.Width() - total) / 2;
      if (m_nAlignStyle == ALIGN_LEFT) left = rect.left + ImageMargin() / 2;
      if (m_nAlignStyle == ALIGN_RIGHT) left = rect.right - total - ImageMargin() / 2;
      if (m_bRightImage) {
        imageRect.left = left + textSize.cx + margin;
        textRect.left = left;
        textRect.right = imageRect.left - margin;
      } else {
        imageRect.left = left;
        textRect.left = left + m_sizeImage.cx + margin;
        textRect.right = std::max<LONG>(textRect.left, rect.right);
      }
      imageRect.top = rect.top + (rect.Height() - m_sizeImage.cy) / 2;
    }
    const bool disabled = (itemState & ODS_DISABLED) != 0;
    if (m_nStdImageId >= 0) {
      int glyph = m_nStdImageId;
      if (disabled && m_bGrayDisabled && m_nStdImageDisabledId != 0) glyph = m_nStdImageDisabledId;
      MenuImages::Draw(dc, glyph, POINT{imageRect.left, imageRect.top});
    } else {
      HIMAGELIST list = nullptr;
      if (m_bChecked) list = ChooseList(1, itemState);
      if (!list) list = ChooseList(0, itemState);
      if (list) {
        const bool fromDisabledList = list == m_Images[2] || list == m_Images[5];
        if (disabled && m_bGrayDisabled && !fromDisabledList) {
          HICON icon = ImageList_GetIcon(list, 0, ILD_NORMAL);
          ::DrawStateA(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, imageRect.left,
                       imageRect.top, m_sizeImage.cx, m_sizeImage.cy, DST_ICON | DSS_DISABLED);
          ::DestroyIcon(icon);
        } else {
          ImageList_Draw(list, 0, *dc, imageRect.left, imageRect.top, ILD_NORMAL);
        }
      }
    }
    if (text.IsEmpty()) textRect.SetRectEmpty();
  }

  if (!text.IsEmpty()) {
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    if (hasImage && !m_bTopImage)
      format |= DT_LEFT;
    else if (m_nAlignStyle == ALIGN_LEFT)
      format |= DT_LEFT;
    else if (m_nAlignStyle == ALIGN_RIGHT)
      format |= DT_RIGHT;
    else
      format |= DT_CENTER;
    if (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) format |= DT_RTLREADING;
    m_bTextClipped = textSize.cx > textRect.Width();
    if ((itemState & ODS_DISABLED) && m_bGrayDisabled) {
      CRect shifted = textRect;
      shifted.OffsetRect(1, 1);
      dc->SetTextColor(GD().buttonHighlight);
      DrawButtonText(dc, shifted, text, format);
      dc->SetTextColor(GD().grayText);
    } else {
      COLORREF color = Or(m_clrText, GD().buttonText);
      if (m_bHighlighted && m_clrHover != (COLORREF)-1) color = m_clrHover;
      dc->SetTextColor(color);
    }
    DrawButtonText(dc, textRect, text, format);
  }
  if (m_bTooltipFromClipped) SetTipText(m_bTextClipped ? static_cast<const char*>(text) : nullptr);
  dc->SetBkMode(oldMode);
  dc->SelectObject(oldFont);
}

void CTKButton::FitToContent(SIZE& size, BOOL keepSize) {
  CString text;
  GetWindowText(text);
  CClientDC dc(this);
  HGDIOBJ old = SelectButtonFont(&dc);
  CSize textSize = text.IsEmpty() ? CSize(0, 0) : dc.GetTextExtent(text, text.GetLength());
  dc.SelectObject(old);
  const bool hasText = !text.IsEmpty();
  if (m_bTopImage) {
    size.cx = std::max<LONG>(m_sizeImage.cx, textSize.cx) + ImageMargin() * (hasText ? 2 : 1);
    size.cy = m_sizeImage.cy + textSize.cy + VerticalMargin() * (hasText ? 3 : 2);
  } else {
    size.cx = ImageMargin() + m_sizeImage.cx + textSize.cx + (hasText ? ImageMargin() : 0);
    size.cy = std::max<LONG>(m_sizeImage.cy, textSize.cy) + VerticalMargin() * 2;
  }
  if (!keepSize)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

// --- Mouse and keys -----------------------------------------------------------------

void CTKButton::NotifyParent(HWND from, UINT id) {
  HWND parent = ::GetParent(m_hWnd);
  if (!from) from = m_hWnd;
  if (!id) id = static_cast<UINT>(::GetDlgCtrlID(from));
  if (parent) ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(from));
}

void CTKButton::TrackHover(UINT flags, POINT point) {
  m_bHover = FALSE;
  const bool leftDown = (flags & MK_LBUTTON) != 0;
  if (!leftDown && m_nFlatStyle == BUTTONSTYLE_3D && (!s_lookFlag || m_bDontUseWinXPTheme)) return;
  bool redraw = false;
  CRect client;
  GetClientRect(&client);
  if (client.PtInRect(point)) {
    m_bHover = TRUE;
    if (!m_bHighlighted) {
      m_bHighlighted = TRUE;
      redraw = true;
    }
    if (leftDown && m_bClickiedInside && !m_bPushed) {
      m_bPushed = TRUE;
      redraw = true;
    }
    if (!m_bCaptured) {
      ::SetCapture(m_hWnd);
      m_bCaptured = TRUE;
      redraw = true;
    }
  } else {
    if (leftDown) {
      if (m_bPushed) {
        m_bPushed = FALSE;
        redraw = true;
      }
    } else {
      if (m_bHighlighted) {
        m_bHighlighted = FALSE;
        redraw = true;
      }
      m_bCaptured = FALSE;
      if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
  }
  if (redraw) Invalidate();
}

void CTKButton::BeginPress() {
  if (m_bResponseOnButtonDown) {
    NotifyParent();
    return;
  }
  m_bPushed = m_bClickiedInside = m_bHighlighted = TRUE;
  if (!m_bCaptured) {
    ::SetCapture(m_hWnd);
    m_bCaptured = TRUE;
  }
  Invalidate();
  if (m_nAutoRepeatTimeDelay > 0) SetTimer(kAutoRepeatTimer, static_cast<UINT>(m_nAutoRepeatTimeDelay));
}

void CTKButton::UncheckRadioGroup() {
  HWND parent = ::GetParent(m_hWnd);
  if (!parent) return;
  HWND next = m_hWnd;
  for (int guard = 0; guard < 256; ++guard) {
    next = ::GetNextDlgGroupItem(parent, next, FALSE);
    if (!next || next == m_hWnd) break;
    auto* other = dynamic_cast<CTKButton*>(FromHandlePermanent(next));
    if (other && other->m_bRadioButton && other->m_bChecked) {
      other->m_bChecked = FALSE;
      other->Invalidate();
    }
  }
}

void CTKButton::EndPress() {
  const bool click = m_bPushed && m_bClickiedInside && m_bHighlighted;
  m_bPushed = m_bClickiedInside = m_bHighlighted = FALSE;
  if (click && m_bAutoCheck) {
    if (m_bCheckButton) {
      m_bChecked = !m_bChecked;
    } else if (m_bRadioButton && !m_bChecked) {
      m_bChecked = TRUE;
      UncheckRadioGroup();
    }
  }
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  StopTracking(TRUE);
}

void CTKButton::StopTracking(BOOL stopTimer) {
  m_bCaptured = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (stopTimer) KillTimer(kAutoRepeatTimer);
  if (m_hToolTip) ::SendMessageA(m_hToolTip, TTM_POP, 0, 0);
}

void CTKButton::MoveInRadioGroup(BOOL forward) {
  HWND parent = ::GetParent(m_hWnd);
  if (!parent) return;
  HWND next = m_hWnd;
  for (int guard = 0; guard < 256; ++guard) {
    next = ::GetNextDlgGroupItem(parent, next, !forward);
    if (!next || next == m_hWnd) return;
    auto* other = dynamic_cast<CTKButton*>(FromHandlePermanent(next));
    if (other && other->m_bRadioButton && ::IsWindowVisible(next) && ::IsWindowEnabled(next)) {
      other->SendMessage(BM_SETCHECK, 1);
      ::SetFocus(next);
      NotifyParent(next);
      return;
    }
  }
}

BOOL CTKButton::PreTranslateMessage(MSG* msg) {
  if (!m_hToolTip && m_bTipActive && msg->message == WM_MOUSEMOVE && msg->hwnd == m_hWnd) ShowTipText();
  if (m_hToolTip && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST)
    ::SendMessageA(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
  if (msg->message == WM_KEYDOWN && msg->hwnd == m_hWnd) {
    switch (msg->wParam) {
      case VK_RETURN:
        // A key meant for an open popup menu is not a press of the button.
        if (!DialogHelper::GetOpenMenu()) NotifyParent();
        return TRUE;
      case VK_SPACE:
        if (m_bAutoCheck && m_bCheckButton) {
          m_bChecked = !m_bChecked;
          Invalidate();
          NotifyParent();
          return TRUE;
        }
        break;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if (m_bAutoCheck && m_bRadioButton) {
          MoveInRadioGroup(msg->wParam == VK_RIGHT || msg->wParam == VK_DOWN);
          return TRUE;
        }
        break;
      default:
        break;
    }
  }
  return CButton::PreTranslateMessage(msg);
}

void CTKButton::CancelPress(BOOL stopTimer) {
  m_bPushed = m_bClickiedInside = m_bHighlighted = m_bHover = FALSE;
  StopTracking(stopTimer);
  Invalidate();
}

BEGIN_MESSAGE_MAP(CTKButton, CButton)
  ON_WM_PAINT()
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
  ON_WM_ERASEBKGND()
  ON_MESSAGE(BM_GETCHECK, OnGetCheck)
  ON_MESSAGE(BM_SETCHECK, OnSetCheck)
  ON_MESSAGE(BM_SETIMAGE, OnSetImage)
  ON_MESSAGE(BM_GETIMAGE, OnGetImage)
  ON_MESSAGE(WM_SETFONT, OnSetFont)
  ON_MESSAGE(WM_GETFONT, OnGetFont)
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_LBUTTONUP()
  ON_WM_TIMER()
  ON_WM_CANCELMODE()
  ON_WM_KILLFOCUS()
  ON_WM_SETFOCUS()
  ON_WM_ENABLE()
  ON_WM_SIZE()
END_MESSAGE_MAP()

void CTKButton::OnPaint() {
  CPaintDC dc(this);
  DrawButton(&dc, CurrentItemState());
}

LRESULT CTKButton::OnPrintClient(WPARAM wParam, LPARAM) {
  CDC dc(reinterpret_cast<HDC>(wParam));
  DrawButton(&dc, CurrentItemState());
  return 0;
}

BOOL CTKButton::OnEraseBkgnd(CDC*) { return TRUE; }

LRESULT CTKButton::OnGetCheck(WPARAM, LPARAM) {
  return (m_bCheckButton || m_bRadioButton) && m_bChecked ? 1 : 0;
}

LRESULT CTKButton::OnSetCheck(WPARAM wParam, LPARAM) {
  const BOOL check = wParam != 0;
  if (!(m_bCheckButton || m_bRadioButton) || check == m_bChecked) return 0;
  m_bChecked = check;
  if (m_bRadioButton && check) UncheckRadioGroup();
  Invalidate();
  return 0;
}

LRESULT CTKButton::OnSetFont(WPARAM wParam, LPARAM lParam) {
  m_hFont = reinterpret_cast<HFONT>(wParam);
  if (lParam) Invalidate();
  return 0;
}

LRESULT CTKButton::OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hFont); }

BOOL CTKButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_hCursor) {
    POINT point{};
    ::GetCursorPos(&point);
    ::ScreenToClient(m_hWnd, &point);
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
      ::SetCursor(m_hCursor);
      return TRUE;
    }
  }
  return CButton::OnSetCursor(wnd, hitTest, message);
}

void CTKButton::OnMouseMove(UINT flags, CPoint point) {
  TrackHover(flags, point);
  CButton::OnMouseMove(flags, point);
}

void CTKButton::OnLButtonDown(UINT flags, CPoint point) {
  // A button that answers on the press never lets the system's button see it.
  if (!m_bResponseOnButtonDown) CButton::OnLButtonDown(flags, point);
  BeginPress();
}

void CTKButton::OnLButtonDblClk(UINT flags, CPoint point) {
  m_bPushed = m_bClickiedInside = m_bHighlighted = TRUE;
  Invalidate();
  CButton::OnLButtonDblClk(flags, point);
}

void CTKButton::OnLButtonUp(UINT flags, CPoint point) {
  // The system's button sends BN_CLICKED while it still holds the capture.
  CButton::OnLButtonUp(flags, point);
  EndPress();
}

void CTKButton::OnTimer(UINT_PTR id) {
  if (id != kAutoRepeatTimer) {
    CButton::OnTimer(id);
    return;
  }
  if (m_bPushed && m_bHighlighted) NotifyParent();
}

void CTKButton::OnCancelMode() {
  CancelPress(TRUE);
  CButton::OnCancelMode();
}

void CTKButton::OnKillFocus(CWnd* newWnd) {
  CancelPress(FALSE);
  CButton::OnKillFocus(newWnd);
}

void CTKButton::OnSetFocus(CWnd* oldWnd) {
  Invalidate();
  CButton::OnSetFocus(oldWnd);
}

void CTKButton::OnEnable(BOOL enable) {
  if (!enable) {
    m_bPushed = m_bClickiedInside = m_bHighlighted = FALSE;
    m_bCaptured = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  }
  Invalidate();
  CButton::OnEnable(enable);
}

void CTKButton::OnSize(UINT type, int cx, int cy) {
  m_bTextClipped = FALSE;
  CButton::OnSize(type, cx, cy);
}
