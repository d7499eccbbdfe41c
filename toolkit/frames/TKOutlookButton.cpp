#include "toolkit/frames/TKOutlookButton.h"

#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKOutlookBar.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_SERIAL(CTKOutlookButton, CTKToolbarButton, 1)

namespace {
// The page id is part of stored buttons from toolkit version 4.71 on (and when no
// version is known, as for any current record); without a workspace, or with state
// from an older version, it is neither read nor written.
BOOL StoresPageId() {
  CTKWorkspace* workspace = CurrentWorkspace();
  if (!workspace) return FALSE;
  const int major = workspace->m_savedMajor, minor = workspace->m_savedMinor;
  return major > 4 || (major == 4 && minor >= 71) || (major == -1 && minor == -1);
}
}  // namespace

CTKOutlookButton::CTKOutlookButton() = default;
CTKOutlookButton::~CTKOutlookButton() = default;

void CTKOutlookButton::Serialize(CArchive& ar) {
  CTKToolbarButton::Serialize(ar);
  if (!StoresPageId()) {
    if (!ar.IsStoring()) m_dwPageID = 0;
    return;
  }
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_dwPageID);
  } else {
    int page = 0;
    ar >> page;
    m_dwPageID = static_cast<UINT>(page);
  }
}

void CTKOutlookButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarButton::CopyFrom(source);
  if (auto* outlook = dynamic_cast<const CTKOutlookButton*>(&source)) m_dwPageID = outlook->m_dwPageID;
}

BOOL CTKOutlookButton::CompareWith(const CTKToolbarButton& other) const {
  auto* outlook = dynamic_cast<const CTKOutlookButton*>(&other);
  return CTKToolbarButton::CompareWith(other) && outlook && outlook->m_dwPageID == m_dwPageID;
}

BOOL CTKOutlookButton::IsOutlookBar(CWnd* window) { return dynamic_cast<CTKOutlookBar*>(window) != nullptr; }

void CTKOutlookButton::OnChangeParentWnd(CWnd* parent) {
  CTKToolbarButton::OnChangeParentWnd(parent);
  m_pWndParentBar = dynamic_cast<CTKOutlookBar*>(parent);
}

SIZE CTKOutlookButton::OnCalculateSize(CDC* dc, const SIZE& defaultSize, BOOL horizontal) {
  CString label = TextWithoutAmpersands(m_strText);
  if (!horizontal) {
    SIZE blanks{0, 0};
    ::GetTextExtentPoint32A(dc->GetSafeHdc(), "   ", 3, &blanks);
    CRect text(0, 0, std::max<int>(1, defaultSize.cx - blanks.cx), 0);
    if (!label.IsEmpty()) dc->DrawText(label, -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    m_bIsWholeText = text.Width() <= defaultSize.cx;
    const int width = std::max({m_nMinWidth, static_cast<int>(defaultSize.cx), text.Width()});
    return SIZE{width, defaultSize.cy + text.Height() + 10};
  }
  CRect text(0, 0, 1, defaultSize.cy);
  if (!label.IsEmpty()) dc->DrawText(label, -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  m_bIsWholeText = TRUE;
  const int height = std::max<int>(m_nMinHeight, std::min<int>(defaultSize.cy, text.Height()));
  return SIZE{defaultSize.cx + text.Width() + 10, std::max<int>(height, defaultSize.cy)};
}

void CTKOutlookButton::OnDraw(CDC* dc, const CRect& rectIn, CTKToolbarImageList* images, BOOL horizontal,
                              BOOL customizeMode, BOOL highlighted, BOOL, BOOL) {
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  m_bHorz = horizontal;
  CRect rect = rectIn;
  const BOOL pressed = (m_nStyle & TBBS_PRESSED) != 0;
  const BOOL checked = (m_nStyle & TBBS_CHECKED) != 0;
  const BOOL disabled = (m_nStyle & TBBS_DISABLED) != 0;
  if (look->IsPressedButtonShifted()) {
    rect.DeflateRect(1, 1);
    if (pressed && highlighted) rect.OffsetRect(1, 1);
  }
  const BOOL backImage = m_pWndParentBar && m_pWndParentBar->HasBackImage();
  SIZE imageSize = images ? images->GetImageSize() : SIZE{0, 0};
  CRect imageRect;
  const int image = GetImage();
  if (images && image >= 0) {
    if (!horizontal) {
      const int x = rect.left + (rect.Width() - imageSize.cx) / 2;
      imageRect.SetRect(x, rect.top + 5, x + imageSize.cx, rect.top + 5 + imageSize.cy);
    } else {
      const int y = rect.top + (rect.Height() - imageSize.cy) / 2;
      imageRect.SetRect(rect.left + 5, y, rect.left + 5 + imageSize.cx, y + imageSize.cy);
    }
    CRect frame = imageRect;
    frame.InflateRect(2, 2);
    if (!backImage) {
      DrawButtonFrame(dc, frame, highlighted);
    } else if (highlighted && !pressed) {
      DrawManager dm(*dc);
      dm.LightenRect(imageRect, 85);
    }
    images->Draw(dc, imageRect.left, imageRect.top, image, FALSE, disabled);
    if (!customizeMode && (highlighted || pressed || checked)) {
      const int state = ((pressed && highlighted) || checked) ? 2 : 1;
      look->PaintButtonEdge(dc, this, frame, state == 2 ? 1 : 2);
    }
  } else if (!customizeMode && (highlighted || pressed || checked)) {
    // A button without an image shows its state round the whole button.
    const int state = ((pressed && highlighted) || checked) ? 2 : 1;
    look->PaintButtonEdge(dc, this, rect, state == 2 ? 1 : 2);
  }
  if (m_strText.IsEmpty()) return;
  const int state = (pressed || checked) ? 1 : (highlighted ? 2 : 0);
  COLORREF color;
  if (disabled)
    color = backImage ? GlobalData::Get().SysColor(COLOR_GRAYTEXT) : look->GetButtonTextColor(this, state);
  else if (m_pWndParentBar && m_pWndParentBar->m_clrTextColor != (COLORREF)-1)
    color = m_pWndParentBar->m_clrTextColor;
  else
    color = backImage ? GlobalData::Get().SysColor(COLOR_WINDOWTEXT) : look->GetButtonTextColor(this, state);
  CString label = TextWithoutAmpersands(m_strText);
  CRect text = rect;
  if (!horizontal) {
    text.top = (imageRect.IsRectEmpty() ? rect.top + 5 : imageRect.bottom) + 7;
  } else {
    text.left = (imageRect.IsRectEmpty() ? rect.left + 5 : imageRect.right) + 10;
    CRect measure(0, 0, std::max<int>(1, text.Width()), 0);
    dc->DrawText(label, -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    text.top = rect.top + (rect.Height() - measure.Height()) / 2;
  }
  const COLORREF oldColor = dc->SetTextColor(color);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const UINT format = m_bIsWholeText ? (DT_CENTER | DT_WORDBREAK) : (DT_WORDBREAK | DT_END_ELLIPSIS);
  dc->DrawText(label, -1, &text, format | DT_NOPREFIX);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldColor);
}
