#include "toolkit/bars/TKButtonAppearanceDlg.h"

#include "platform/afx/AfxMessageBox.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/bars/TKImageEditDialog.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKUserToolsManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

namespace {
using namespace customize_text;

constexpr DWORD kRadio = BS_AUTORADIOBUTTON | WS_VISIBLE | WS_TABSTOP;

const DialogTemplateWriter& AppearanceTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kButtonAppearance, 230, 196,
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK);
    w.Control(0x80, IDC_TKAPPEARANCE_IMAGE_ONLY, kImageOnly, kRadio | WS_GROUP, 7, 7, 70, 10);
    w.Control(0x80, IDC_TKAPPEARANCE_TEXT_ONLY, kTextOnly, kRadio, 80, 7, 70, 10);
    w.Control(0x80, IDC_TKAPPEARANCE_IMAGE_TEXT, kImageAndText, kRadio, 153, 7, 70, 10);
    w.Control(0x82, IDC_TKAPPEARANCE_DESCRIPTION, "", SS_LEFT | WS_VISIBLE | WS_GROUP, 7, 21, 216, 16);
    w.Control(0x80, IDC_TKAPPEARANCE_DEFAULT_IMAGE, kUseDefaultImage, kRadio | WS_GROUP, 7, 40, 100, 10);
    w.Control(0x82, IDC_TKAPPEARANCE_DEFAULT_FRAME, "", SS_OWNERDRAW | WS_VISIBLE, 110, 38, 30, 16);
    w.Control(0x80, IDC_TKAPPEARANCE_USER_IMAGE, kSelectUserImage, kRadio, 7, 58, 120, 10);
    w.Control(0x82, IDC_TKAPPEARANCE_IMAGES, kImages, SS_OWNERDRAW | SS_NOTIFY | WS_BORDER | WS_VISIBLE, 7,
              70, 160, 80);
    w.Control(0x80, IDC_TKAPPEARANCE_NEW, kNew, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 173, 70,
              50, 14);
    w.Control(0x80, IDC_TKAPPEARANCE_EDIT, kEdit, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 173, 88, 50, 14);
    w.Control(0x82, -1, kButtonText, SS_LEFT | WS_VISIBLE, 7, 158, 50, 8);
    w.Control(0x81, IDC_TKAPPEARANCE_TEXT, "", ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 60, 156,
              163, 12);
    w.Control(0x80, IDOK, kOk, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 119, 176, 50, 14);
    w.Control(0x80, IDCANCEL, kCancel, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 173, 176, 50, 14);
    return w;
  }();
  return writer;
}
}  // namespace

BEGIN_MESSAGE_MAP(CTKButtonAppearanceDlg, CDialog)
  ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
END_MESSAGE_MAP()

CTKButtonAppearanceDlg::CTKButtonAppearanceDlg(CTKToolbarButton* button, CTKToolbarImageList* images,
                                               CWnd* parent, int startImage, BOOL menuMode)
    : m_pButton(button), m_pImages(images), m_iStartImage(startImage), m_bMenuMode(menuMode) {
  InitModalIndirect(AppearanceTemplate().Get(), parent);
  if (g_pUserToolsManager) m_pUserTool = g_pUserToolsManager->LookupTool(button->m_nID);
  m_bUserImage = button->m_bUserImage || (!m_pUserTool && DefaultImage() < 0);
  m_iSelImage = button->m_bUserImage ? button->m_iUserImage : button->m_iImage;
  m_bText = button->m_bText;
  m_bImage = (m_bMenuMode || button->IsLocked()) ? TRUE : button->m_bImage;
  if (m_bMenuMode) {
    // A menu item always shows its text; its image shows unless the user chose text
    // alone for the command, or there is none.
    const BOOL noImage = m_bUserImage ? m_iSelImage < 0 : (!m_pUserTool && DefaultImage() < 0);
    m_bText = TRUE;
    m_bImage = !noImage && !GetCommandManager()->IsMenuItemWithoutImage(button->m_nID);
  }
}

int CTKButtonAppearanceDlg::DefaultImage() const { return CTKToolBar::GetDefaultImage(m_pButton->m_nID); }

SIZE CTKButtonAppearanceDlg::CellSize() const {
  const SIZE image = m_pImages ? m_pImages->GetImageSize() : SIZE{16, 15};
  return SIZE{image.cx + 6, image.cy + 7};
}

BOOL CTKButtonAppearanceDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const BOOL hasImage = m_pUserTool || DefaultImage() >= 0 || (m_pImages && m_pImages->GetCount() > 0);
  if (!m_pImages) {
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_IMAGES), FALSE);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_USER_IMAGE), FALSE);
    if (!hasImage) {
      ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_IMAGE_ONLY), FALSE);
      ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_IMAGE_TEXT), FALSE);
    }
  }
  ::CheckRadioButton(m_hWnd, IDC_TKAPPEARANCE_USER_IMAGE, IDC_TKAPPEARANCE_DEFAULT_IMAGE,
                     m_bUserImage ? IDC_TKAPPEARANCE_USER_IMAGE : IDC_TKAPPEARANCE_DEFAULT_IMAGE);
  const int style = !m_bImage ? IDC_TKAPPEARANCE_TEXT_ONLY
                    : m_bText ? IDC_TKAPPEARANCE_IMAGE_TEXT
                              : IDC_TKAPPEARANCE_IMAGE_ONLY;
  ::CheckRadioButton(m_hWnd, IDC_TKAPPEARANCE_IMAGE_ONLY, IDC_TKAPPEARANCE_IMAGE_TEXT, style);
  // The part after a tab (a shortcut) is kept and added back.
  const CString text = m_pButton->m_strText;
  const int tab = text.Find('\t');
  m_strButtonText = tab >= 0 ? text.Left(tab) : text;
  m_strAccel = tab >= 0 ? text.Mid(tab + 1) : CString();
  ::SetDlgItemTextA(m_hWnd, IDC_TKAPPEARANCE_TEXT, m_strButtonText);
  CString prompt;
  if (m_pButton->m_nID && prompt.LoadString(m_pButton->m_nID)) {
    const int newline = prompt.Find('\n');
    m_strButtonDescr = newline >= 0 ? prompt.Left(newline) : prompt;
  }
  ::SetDlgItemTextA(m_hWnd, IDC_TKAPPEARANCE_DESCRIPTION, m_strButtonDescr);
  if (m_bMenuMode) {
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_IMAGE_ONLY), FALSE);
    if (!hasImage) {
      ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_TEXT_ONLY), FALSE);
      ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_IMAGE_TEXT), FALSE);
    }
  }
  if (m_pButton->IsLocked()) ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_IMAGE_ONLY), FALSE);
  EnableControls();
  return TRUE;
}

void CTKButtonAppearanceDlg::EnableControls() {
  const auto enable = [&](int id, BOOL on) { ::EnableWindow(::GetDlgItem(m_hWnd, id), on); };
  enable(IDC_TKAPPEARANCE_TEXT, m_bText && !(m_bMenuMode && m_pUserTool));
  const BOOL userImages = m_bImage && m_pImages && m_bUserImage && !m_bMenuMode && !m_pButton->IsLocked();
  enable(IDC_TKAPPEARANCE_IMAGES, userImages);
  enable(IDC_TKAPPEARANCE_NEW, userImages);
  enable(IDC_TKAPPEARANCE_EDIT, userImages && m_iSelImage >= 0);
  enable(IDC_TKAPPEARANCE_USER_IMAGE, m_bImage && m_pImages && !m_bMenuMode && !m_pButton->IsLocked());
  enable(IDC_TKAPPEARANCE_DEFAULT_IMAGE, m_bImage && (m_pUserTool || DefaultImage() >= 0));
  enable(IDC_TKAPPEARANCE_DEFAULT_FRAME, m_pUserTool || DefaultImage() >= 0);
  ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_IMAGES), nullptr, TRUE);
}

BOOL CTKButtonAppearanceDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  switch (id) {
    case IDC_TKAPPEARANCE_IMAGE_ONLY:
    case IDC_TKAPPEARANCE_TEXT_ONLY:
    case IDC_TKAPPEARANCE_IMAGE_TEXT:
      if (code != BN_CLICKED) break;
      m_bImage = id != IDC_TKAPPEARANCE_TEXT_ONLY;
      m_bText = id != IDC_TKAPPEARANCE_IMAGE_ONLY;
      EnableControls();
      return TRUE;
    case IDC_TKAPPEARANCE_DEFAULT_IMAGE:
      if (code != BN_CLICKED) break;
      m_iSelImage = -1;
      m_bUserImage = FALSE;
      EnableControls();
      return TRUE;
    case IDC_TKAPPEARANCE_USER_IMAGE:
      if (code != BN_CLICKED) break;
      m_iSelImage = m_pButton->m_bUserImage ? m_pButton->m_iUserImage : -1;
      m_bUserImage = TRUE;
      EnableControls();
      return TRUE;
    case IDC_TKAPPEARANCE_IMAGES:
      if (code == STN_CLICKED) {
        POINT cursor;
        ::GetCursorPos(&cursor);
        ::ScreenToClient(reinterpret_cast<HWND>(lParam), &cursor);
        const int image = ImageAt(CPoint(cursor.x, cursor.y));
        if (image >= 0) m_iSelImage = image;
        EnableControls();
      }
      return TRUE;
    case IDC_TKAPPEARANCE_NEW:
      if (code == BN_CLICKED) OnNewImage();
      return TRUE;
    case IDC_TKAPPEARANCE_EDIT:
      if (code == BN_CLICKED) OnEditImage();
      return TRUE;
    default:
      break;
  }
  return CDialog::OnCommand(wParam, lParam);
}

int CTKButtonAppearanceDlg::ImageAt(CPoint point) const {
  if (!m_pImages) return -1;
  CRect client;
  ::GetClientRect(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_IMAGES), &client);
  const SIZE cell = CellSize();
  const int columns = std::max<int>(1, client.Width() / cell.cx);
  if (point.x >= columns * cell.cx) return -1;
  const int index = m_iStartImage + (point.y / cell.cy) * columns + point.x / cell.cx;
  return index < m_pImages->GetCount() ? index : -1;
}

LRESULT CTKButtonAppearanceDlg::OnDrawItem(WPARAM id, LPARAM lParam) {
  auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
  if (id == IDC_TKAPPEARANCE_IMAGES) DrawImages(item);
  if (id == IDC_TKAPPEARANCE_DEFAULT_FRAME) DrawDefaultImage(item);
  return TRUE;
}

void CTKButtonAppearanceDlg::DrawImages(LPDRAWITEMSTRUCT item) {
  ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  if (!m_pImages || !::IsWindowEnabled(item->hwndItem)) return;
  CDC dc(item->hDC);
  const SIZE cell = CellSize();
  const int columns = std::max<int>(1, (item->rcItem.right - item->rcItem.left) / cell.cx);
  if (!m_pImages->PrepareDraw(&dc)) return;
  for (int index = m_iStartImage; index < m_pImages->GetCount(); ++index) {
    const int place = index - m_iStartImage;
    const int x = (place % columns) * cell.cx, y = (place / columns) * cell.cy;
    m_pImages->Draw(&dc, x + 3, y + 3, index);
    if (index == m_iSelImage) {
      RECT frame{x, y, x + cell.cx, y + cell.cy};
      ::DrawEdge(item->hDC, &frame, EDGE_SUNKEN, BF_RECT);
    }
  }
  m_pImages->EndDraw();
}

void CTKButtonAppearanceDlg::DrawDefaultImage(LPDRAWITEMSTRUCT item) {
  ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  CDC dc(item->hDC);
  if (m_pUserTool) {
    m_pUserTool->DrawToolIcon(&dc, CRect(item->rcItem));
    return;
  }
  const int image = DefaultImage();
  CTKToolbarImageList* images = CTKToolBar::GetImages();
  if (image < 0 || !images || !images->PrepareDraw(&dc)) return;
  images->Draw(&dc, item->rcItem.left + 2, item->rcItem.top + 1, image);
  images->EndDraw();
}

BOOL CTKButtonAppearanceDlg::EditImage(HBITMAP bitmap) {
  if (CTKToolbarCustomize* sheet = CTKToolbarCustomize::GetOpenSheet())
    return sheet->EditButtonImage(this, bitmap, m_pImages ? m_pImages->GetBitsPerPixel() : -1);
  CTKImageEditDialog editor(bitmap, this, m_pImages ? m_pImages->GetBitsPerPixel() : -1);
  return editor.DoModal() == IDOK;
}

namespace {
// A bitmap of the image size on the button face, with the image drawn on it when one
// is given.
HBITMAP FaceBitmap(CTKToolbarImageList* images, int index) {
  const SIZE size = images->GetImageSize();
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
  HDC dc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  if (!bitmap || !dc) {
    if (bitmap) ::DeleteObject(bitmap);
    if (dc) ::DeleteDC(dc);
    return nullptr;
  }
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all{0, 0, size.cx, size.cy};
  ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
  if (index >= 0) {
    CDC drawing(dc);
    if (images->PrepareDraw(&drawing)) {
      images->Draw(&drawing, 0, 0, index);
      images->EndDraw();
    }
  }
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return bitmap;
}
}  // namespace

void CTKButtonAppearanceDlg::OnNewImage() {
  if (!m_pImages) return;
  HBITMAP bitmap = FaceBitmap(m_pImages, -1);
  if (!bitmap) {
    AfxMessageBox(kCantCreateImage, MB_ICONSTOP);
    return;
  }
  if (EditImage(bitmap)) {
    const int index = m_pImages->AddImage(bitmap);
    if (index < 0)
      AfxMessageBox(kCantCreateImage, MB_ICONSTOP);
    else
      m_iSelImage = index;
    EnableControls();
  }
  ::DeleteObject(bitmap);
}

void CTKButtonAppearanceDlg::OnEditImage() {
  if (!m_pImages || m_iSelImage < 0) return;
  HBITMAP bitmap = FaceBitmap(m_pImages, m_iSelImage);
  if (!bitmap) return;
  if (EditImage(bitmap)) {
    m_pImages->UpdateImage(m_iSelImage, bitmap);
    EnableControls();
  }
  ::DeleteObject(bitmap);
}

void CTKButtonAppearanceDlg::OnOK() {
  char text[256] = "";
  ::GetDlgItemTextA(m_hWnd, IDC_TKAPPEARANCE_TEXT, text, sizeof text);
  m_strButtonText = text;
  const BOOL noImage = m_bUserImage ? m_iSelImage < 0 : (!m_pUserTool && DefaultImage() < 0);
  if (m_bImage && noImage) {
    AfxMessageBox(kSelectImage, MB_ICONEXCLAMATION);
    ::SetFocus(::GetDlgItem(m_hWnd, m_bUserImage ? IDC_TKAPPEARANCE_IMAGES : IDC_TKAPPEARANCE_DEFAULT_IMAGE));
    return;
  }
  if (m_bText && m_strButtonText.IsEmpty()) {
    AfxMessageBox(kEnterText, MB_ICONEXCLAMATION);
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_TKAPPEARANCE_TEXT));
    return;
  }
  if (!m_pButton->IsLocked()) m_pButton->m_bText = m_bText;
  if (m_bMenuMode)  // a command without any image stays off the list
    GetCommandManager()->EnableMenuItemImage(m_pButton->m_nID, m_bImage || noImage);
  else
    m_pButton->m_bImage = m_bImage;
  m_pButton->m_bUserImage = m_bUserImage;
  if (m_bUserImage)
    m_pButton->m_iUserImage = m_iSelImage;
  else
    m_pButton->m_iImage = m_pUserTool ? 0 : DefaultImage();
  m_pButton->m_strText = m_strAccel.IsEmpty() ? m_strButtonText : m_strButtonText + "\t" + m_strAccel;
  CDialog::OnOK();
}
