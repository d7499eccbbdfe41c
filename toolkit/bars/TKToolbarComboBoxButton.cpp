#include "toolkit/bars/TKToolbarComboBoxButton.h"

#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/ToolbarFieldDrawing.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

IMPLEMENT_SERIAL(CTKToolbarComboBoxButton, CTKToolbarButton, 1)

BOOL CTKToolbarComboBoxButton::s_bFlat = FALSE;

namespace {

// Whether the stored state carries the dropped width: from version 4.72 on, and when
// no version is known.
BOOL RecordHasDroppedWidth() {
  CTKWorkspace* workspace = CurrentWorkspace();
  if (!workspace) return TRUE;
  const int major = workspace->m_savedMajor, minor = workspace->m_savedMinor;
  return (major == 4 && minor >= 72) || major >= 5 || (major == -1 && minor == -1);
}

}  // namespace

CTKToolbarComboBoxButton::CTKToolbarComboBoxButton() = default;

CTKToolbarComboBoxButton::CTKToolbarComboBoxButton(UINT command, int image, DWORD style, int width)
    : CTKToolbarButton(command, image) {
  m_dwStyle = style | WS_CHILD | WS_VISIBLE;
  if (width > 0) m_iWidth = width;
}

CTKToolbarComboBoxButton::~CTKToolbarComboBoxButton() { DestroyCombo(); }

void CTKToolbarComboBoxButton::DestroyCombo() {
  if (m_pWndEdit) {
    if (::IsWindow(m_pWndEdit->m_hWnd)) m_pWndEdit->UnsubclassWindow();
    delete m_pWndEdit;
    m_pWndEdit = nullptr;
  }
  if (m_pWndCombo) {
    if (::IsWindow(m_pWndCombo->m_hWnd)) m_pWndCombo->DestroyWindow();
    delete m_pWndCombo;
    m_pWndCombo = nullptr;
  }
}

void CTKToolbarComboBoxButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CTKToolbarComboBoxButton*>(&source);
  if (!other) return;
  m_lstItems.RemoveAll();
  for (POSITION pos = other->m_lstItems.GetHeadPosition(); pos;)
    m_lstItems.AddTail(other->m_lstItems.GetNext(pos));
  m_lstItemData.RemoveAll();
  for (int i = 0; i < other->m_lstItemData.GetSize(); ++i) m_lstItemData.Add(other->m_lstItemData[i]);
  m_dwStyle = other->m_dwStyle;
  m_iWidth = other->m_iWidth;
  m_iSelIndex = other->m_iSelIndex;
  m_strEdit = other->m_strEdit;
  m_nDropDownHeight = other->m_nDropDownHeight;
}

void CTKToolbarComboBoxButton::RefreshListsFromCombo() {
  if (!m_pWndCombo || !m_pWndCombo->m_hWnd) return;
  m_lstItems.RemoveAll();
  m_lstItemData.RemoveAll();
  const int count = m_pWndCombo->GetCount();
  for (int i = 0; i < count; ++i) {
    CString text;
    m_pWndCombo->GetLBText(i, text);
    m_lstItems.AddTail(text);
    m_lstItemData.Add(static_cast<DWORD>(m_pWndCombo->GetItemData(i)));
  }
}

void CTKToolbarComboBoxButton::Serialize(CArchive& ar) {
  CTKToolbarButton::Serialize(ar);
  if (ar.IsStoring()) {
    RefreshListsFromCombo();
    ar << m_iWidth << static_cast<int>(m_dwStyle) << m_iSelIndex << m_strEdit;
    if (RecordHasDroppedWidth()) ar << m_nDropDownHeight;
    m_lstItems.Serialize(ar);
    for (int i = 0; i < m_lstItemData.GetSize(); ++i) ar << m_lstItemData[i];
    return;
  }
  int style = 0, selected = -1;
  ar >> m_iWidth >> style >> selected >> m_strEdit;
  m_dwStyle = static_cast<DWORD>(style);
  if (RecordHasDroppedWidth()) ar >> m_nDropDownHeight;
  m_lstItems.RemoveAll();
  m_lstItems.Serialize(ar);
  m_lstItemData.RemoveAll();
  for (int i = 0; i < m_lstItems.GetCount(); ++i) {
    DWORD data = 0;
    ar >> data;
    m_lstItemData.Add(data);
  }
  SelectItem(selected, FALSE);
}

int CTKToolbarComboBoxButton::AddItem(const char* text, DWORD data) {
  m_lstItems.AddTail(CString(text ? text : ""));
  m_lstItemData.Add(data);
  if (m_pWndCombo && m_pWndCombo->m_hWnd) {
    const int at = m_pWndCombo->InsertString(-1, text ? text : "");
    m_pWndCombo->SetItemData(at, data);
  }
  return m_lstItems.GetCount() - 1;
}

CString CTKToolbarComboBoxButton::GetItem(int index) const {
  POSITION pos = index >= 0 ? m_lstItems.FindIndex(index) : nullptr;
  return pos ? m_lstItems.GetAt(pos) : CString();
}

DWORD CTKToolbarComboBoxButton::GetItemData(int index) const {
  return index >= 0 && index < m_lstItemData.GetSize() ? m_lstItemData[index] : 0;
}

void CTKToolbarComboBoxButton::RemoveAllItems() {
  m_lstItems.RemoveAll();
  m_lstItemData.RemoveAll();
  m_iSelIndex = -1;
  m_strEdit.Empty();
  if (m_pWndCombo && m_pWndCombo->m_hWnd) m_pWndCombo->ResetContent();
}

BOOL CTKToolbarComboBoxButton::SelectItem(int index, BOOL notify) {
  if (index < 0 || index >= m_lstItems.GetCount()) return FALSE;
  m_iSelIndex = index;
  if (m_pWndCombo && m_pWndCombo->m_hWnd) {
    m_strEdit = GetItem(index);
    if (m_pWndEdit && m_pWndEdit->m_hWnd) {
      CString shown;
      m_pWndEdit->GetWindowText(shown);
      if (shown != m_strEdit) m_pWndEdit->SetWindowText(m_strEdit);
    }
    if (m_pWndCombo->GetCurSel() != index) m_pWndCombo->SetCurSel(index);
    if (notify) NotifyCommand(CBN_SELENDOK);
  }
  return TRUE;
}

HWND CTKToolbarComboBoxButton::GetHwnd() {
  if (!m_pWndCombo || !m_pWndCombo->m_hWnd) return nullptr;
  if (m_pWndEdit && m_pWndEdit->m_hWnd && !m_pWndCombo->GetDroppedState()) return m_pWndEdit->m_hWnd;
  return m_pWndCombo->m_hWnd;
}

BOOL CTKToolbarComboBoxButton::HasFocus() const {
  if (!m_pWndCombo || !m_pWndCombo->m_hWnd) return FALSE;
  HWND focus = ::GetFocus();
  return focus && (focus == m_pWndCombo->m_hWnd || ::IsChild(m_pWndCombo->m_hWnd, focus));
}

void CTKToolbarComboBoxButton::EnableWindow(BOOL enable) {
  if (m_pWndCombo && m_pWndCombo->m_hWnd) m_pWndCombo->EnableWindow(enable);
  if (m_pWndEdit && m_pWndEdit->m_hWnd) m_pWndEdit->EnableWindow(enable);
}

BOOL CTKToolbarComboBoxButton::IsDroppedDown() const {
  return m_pWndCombo && m_pWndCombo->m_hWnd && m_pWndCombo->GetDroppedState();
}

BOOL CTKToolbarComboBoxButton::IsComboVisible() const {
  return m_pWndCombo && m_pWndCombo->m_hWnd && (m_pWndCombo->GetStyle() & WS_VISIBLE);
}

BOOL CTKToolbarComboBoxButton::ShowsLabels() const {
  auto* bar = dynamic_cast<CTKToolBar*>(m_bar);
  return bar && bar->AreTextLabels() && !m_strText.IsEmpty();
}

int CTKToolbarComboBoxButton::LabelHeight(CDC* dc) const {
  if (!ShowsLabels()) return 0;
  CRect text(0, 0, m_iWidth, 0);
  dc->DrawText(m_strText, m_strText.GetLength(), &text, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  return text.Height();
}

SIZE CTKToolbarComboBoxButton::OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) {
  m_bHorz = horizontal;
  const BOOL exists = m_pWndCombo && m_pWndCombo->m_hWnd;
  if (!IsVisible() || !horizontal) {
    if (exists) m_pWndCombo->ShowWindow(SW_HIDE);
    if (!IsVisible()) return SIZE{0, 0};
    return CTKToolbarButton::OnCalculateSize(dc, defaultSize, horizontal);
  }
  if (!exists) return SIZE{m_iWidth, defaultSize.cy + LabelHeight(dc)};
  if (!CTKToolBar::IsCustomizeMode()) m_pWndCombo->ShowWindow(SW_SHOWNOACTIVATE);
  CRect window;
  m_pWndCombo->GetWindowRect(&window);
  return SIZE{m_iWidth, window.Height() + LabelHeight(dc)};
}

void CTKToolbarComboBoxButton::OnMove() {
  if (!IsComboVisible()) return;
  int label = 0;
  if (ShowsLabels() && m_bar) {
    CClientDC dc(m_bar);
    HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), GlobalData::Get().regularFont.m_hObject);
    label = LabelHeight(&dc);
    ::SelectObject(dc.GetSafeHdc(), old);
  }
  CRect window;
  m_pWndCombo->GetWindowRect(&window);
  const int y = std::max<int>(0, m_rect.top + (m_rect.Height() - label - window.Height()) / 2);
  ::SetWindowPos(m_pWndCombo->m_hWnd, nullptr, m_rect.left + 3, y, m_rect.Width() - 6,
                 window.Height() + m_nDropDownHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  m_pWndCombo->SetEditSel(-1, 0);
  m_pWndCombo->GetWindowRect(&m_rectCombo);
}

void CTKToolbarComboBoxButton::OnChangeParentWnd(CWnd* parent) {
  CTKToolbarButton::OnChangeParentWnd(parent);
  if (m_pWndCombo && m_pWndCombo->m_hWnd) {
    if (::GetParent(m_pWndCombo->m_hWnd) == AfxGetSafeHwnd(parent)) return;
    RefreshListsFromCombo();
  }
  DestroyCombo();
  if (!parent || !parent->m_hWnd) return;
  CRect rect = m_rect;
  if (rect.Width() <= 0) rect.right = rect.left + m_iWidth;
  rect.InflateRect(-3, 0);
  rect.bottom = rect.top + m_nDropDownHeight;
  m_pWndCombo = CreateCombo(parent, rect);
  if (!m_pWndCombo) return;
  OnGlobalFontsChanged();
  int index = 0;
  for (POSITION pos = m_lstItems.GetHeadPosition(); pos; ++index) {
    const int at = m_pWndCombo->AddString(m_lstItems.GetNext(pos));
    m_pWndCombo->SetItemData(at, GetItemData(index));
  }
  if (m_iSelIndex >= 0) m_pWndCombo->SetCurSel(m_iSelIndex);
  if ((m_dwStyle & 0x3) == CBS_DROPDOWN) {
    if (HWND edit = ::GetWindow(m_pWndCombo->m_hWnd, GW_CHILD)) {
      m_pWndEdit = new CTKComboEdit(*this, *parent);
      m_pWndEdit->SubclassWindow(edit);
      if (m_iSelIndex < 0 && !m_strEdit.IsEmpty()) m_pWndEdit->SetWindowText(m_strEdit);
    }
  }
}

CComboBox* CTKToolbarComboBoxButton::CreateCombo(CWnd* parent, const CRect& rect) {
  auto* combo = new CComboBox;
  if (!combo->Create(m_dwStyle, rect, parent, m_nID)) {
    delete combo;
    return nullptr;
  }
  return combo;
}

BOOL CTKToolbarComboBoxButton::NotifyCommand(int code) {
  if (!m_pWndCombo || !m_pWndCombo->m_hWnd) return FALSE;
  if (s_bFlat && m_bar && m_bar->m_hWnd) ::InvalidateRect(m_bar->m_hWnd, &m_rect, TRUE);
  // Only a completed pick and the user's typing mean the command; the focus arriving
  // and the selection moving through the open list do not, or opening the list would
  // act on the old item and one pick would act twice.
  switch (code) {
    case CBN_SELCHANGE:
      if (m_pWndEdit && m_pWndEdit->m_hWnd) {
        const int index = m_pWndCombo->GetCurSel();
        if (index >= 0) {
          CString text;
          m_pWndCombo->GetLBText(index, text);
          m_pWndEdit->SetWindowText(text);
        }
      }
      return FALSE;
    case CBN_SETFOCUS:
    case CBN_EDITUPDATE:
      return FALSE;
    case CBN_EDITCHANGE: {
      if (m_pWndEdit && m_pWndEdit->m_hWnd) m_pWndEdit->GetWindowText(m_strEdit);
      CObList buttons;
      CTKToolBar::GetCommandButtons(m_nID, buttons);
      for (POSITION pos = buttons.GetHeadPosition(); pos;) {
        auto* other = dynamic_cast<CTKToolbarComboBoxButton*>(buttons.GetNext(pos));
        if (!other || other == this) continue;
        other->m_strEdit = m_strEdit;
        if (other->m_pWndCombo && other->m_pWndCombo->m_hWnd) other->m_pWndCombo->SetWindowText(m_strEdit);
      }
      return TRUE;
    }
    case CBN_SELENDOK: {
      m_iSelIndex = m_pWndCombo->GetCurSel();
      if (m_iSelIndex < 0) return FALSE;
      m_pWndCombo->GetLBText(m_iSelIndex, m_strEdit);
      if (m_pWndEdit && m_pWndEdit->m_hWnd) m_pWndEdit->SetWindowText(m_strEdit);
      CObList buttons;
      CTKToolBar::GetCommandButtons(m_nID, buttons);
      for (POSITION pos = buttons.GetHeadPosition(); pos;) {
        auto* other = dynamic_cast<CTKToolbarComboBoxButton*>(buttons.GetNext(pos));
        if (other && other != this && other->IsComboVisible()) other->SelectItem(m_iSelIndex, FALSE);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void CTKToolbarComboBoxButton::OnAddToCustomizePage() {
  CObList buttons;
  CTKToolBar::GetCommandButtons(m_nID, buttons);
  for (POSITION pos = buttons.GetHeadPosition(); pos;) {
    auto* other = dynamic_cast<CTKToolbarComboBoxButton*>(buttons.GetNext(pos));
    if (other && other != this) {
      CopyFrom(*other);
      return;
    }
  }
}

void CTKToolbarComboBoxButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images,
                                      BOOL horizontal, BOOL customizeMode, BOOL highlighted, BOOL drawBorder,
                                      BOOL grayDisabledButtons) {
  if (!IsComboVisible() || !horizontal) {
    CTKToolbarButton::OnDraw(dc, rect, images, horizontal, customizeMode, highlighted, drawBorder,
                             grayDisabledButtons);
    return;
  }
  CRect combo;
  m_pWndCombo->GetWindowRect(&combo);
  if (m_bar) ::MapWindowPoints(nullptr, m_bar->m_hWnd, reinterpret_cast<POINT*>(&combo), 2);
  if (s_bFlat) {
    const BOOL hot = m_bHighlighted || HasFocus() || IsDroppedDown();
    CRect frame = combo;
    frame.InflateRect(1, 1);
    CTKVisualManager::GetInstance()->DrawComboBorder(dc, frame, (m_nStyle & TBBS_DISABLED) != 0,
                                                     IsDroppedDown(), hot, 0);
  }
  if (ShowsLabels())
    DrawFieldButtonLabel(dc, rect, combo.bottom + 2, m_strText, (m_nStyle & TBBS_DISABLED) != 0);
}

int CTKToolbarComboBoxButton::OnDrawOnCustomizeList(CDC* dc, const CRect& rect, BOOL selected) {
  const int width = CTKToolbarButton::OnDrawOnCustomizeList(dc, rect, selected);
  const CRect field = DrawCustomizeListField(dc, rect, width, m_iWidth);
  CRect arrow = field;
  arrow.InflateRect(-2, -2);
  arrow.left = std::max<int>(arrow.left, arrow.right - ::GetSystemMetrics(SM_CXVSCROLL));
  ::DrawFrameControl(dc->GetSafeHdc(), &arrow, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
  return rect.Width();
}

void CTKToolbarComboBoxButton::OnShow(BOOL show) {
  if (!m_pWndCombo || !m_pWndCombo->m_hWnd) return;
  m_pWndCombo->ShowWindow(show && m_bHorz ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CTKToolbarComboBoxButton::SetStyle(UINT style) {
  CTKToolbarButton::SetStyle(style);
  const BOOL forbidden = CTKToolBar::IsCustomizeMode() && CTKToolBar::s_forbiddenCommands.Find(m_nID);
  EnableWindow(!(style & TBBS_DISABLED) && !forbidden);
}

void CTKToolbarComboBoxButton::OnGlobalFontsChanged() {
  const WPARAM font = reinterpret_cast<WPARAM>(GlobalData::Get().regularFont.m_hObject);
  if (m_pWndCombo && m_pWndCombo->m_hWnd) m_pWndCombo->SendMessage(WM_SETFONT, font, TRUE);
  if (m_pWndEdit && m_pWndEdit->m_hWnd) m_pWndEdit->SendMessage(WM_SETFONT, font, TRUE);
}

BOOL CTKToolbarComboBoxButton::OnClick(CWnd*, BOOL) {
  if (!m_pWndCombo || !m_pWndCombo->m_hWnd || !m_bHorz || !s_bFlat) return FALSE;
  if (m_pWndEdit && m_pWndEdit->m_hWnd)
    m_pWndEdit->SetFocus();
  else
    m_pWndCombo->SetFocus();
  m_pWndCombo->ShowDropDown(TRUE);
  if (m_bar && m_bar->m_hWnd) {
    ::InvalidateRect(m_bar->m_hWnd, &m_rect, TRUE);
    ::UpdateWindow(m_bar->m_hWnd);
  }
  return TRUE;
}

void CTKToolbarComboBoxButton::SetHighlight(BOOL highlight) {
  if (m_bHighlighted == highlight) return;
  m_bHighlighted = highlight;
  if (m_bar && m_bar->m_hWnd) {
    ::InvalidateRect(m_bar->m_hWnd, &m_rect, TRUE);
    ::UpdateWindow(m_bar->m_hWnd);
  }
}
