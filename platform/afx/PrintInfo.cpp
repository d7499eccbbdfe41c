#include "platform/afx/PrintInfo.h"

#include "platform/afx/PreviewText.h"

CPrintInfo::CPrintInfo() {
  // Without a printer, pages are A4 at 300 dots per inch (the default printer's page
  // when a program asks it: DoPreparePrinting).
  m_dotsPerInch = CSize(300, 300);
  m_pageSize = CSize(2480, 3508);
  m_rectDraw = CRect(0, 0, m_pageSize.cx, m_pageSize.cy);
  if (!m_strPageDesc.LoadString(0xEF1F)) m_strPageDesc = preview_text::kPageDescription;
}
