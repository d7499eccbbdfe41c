#include "toolkit/bars/ToolbarFieldDrawing.h"

#include <algorithm>

void DrawFieldButtonLabel(CDC* dc, const CRect& rect, int top, const CString& text, BOOL disabled) {
  CRect area = rect;
  area.top = top;
  const COLORREF colour = ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
  const COLORREF old = ::SetTextColor(dc->GetSafeHdc(), colour);
  const int mode = ::SetBkMode(dc->GetSafeHdc(), TRANSPARENT);
  dc->DrawText(text, text.GetLength(), &area, DT_CENTER | DT_WORDBREAK);
  ::SetBkMode(dc->GetSafeHdc(), mode);
  ::SetTextColor(dc->GetSafeHdc(), old);
}

CRect DrawCustomizeListField(CDC* dc, const CRect& rect, int textWidth, int buttonWidth) {
  CRect field = rect;
  field.left = std::max<int>(rect.left + textWidth, rect.right - std::max(8, buttonWidth / 2));
  if (field.Width() < 8) field.left = field.right - 8;
  field.InflateRect(-2, -3);
  ::FillRect(dc->GetSafeHdc(), &field, ::GetSysColorBrush(COLOR_WINDOW));
  dc->DrawEdge(&field, EDGE_SUNKEN, BF_RECT);
  return field;
}
