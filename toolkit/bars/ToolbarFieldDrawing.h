#pragma once
// Drawing shared by the toolbar buttons that hold a field (edit box, combo box): the
// label under the field and the field's picture in the customize list.
#include "platform/afx/afxwin.h"

// The button's text centred under its field, from y = top to the bottom of rect,
// greyed when the button is disabled.
void DrawFieldButtonLabel(CDC* dc, const CRect& rect, int top, const CString& text, BOOL disabled);

// A sunken white field at the right of a customize-list row, at least 8 pixels wide,
// half the button's width when there is room after the row's own text (textWidth
// pixels). Returns the field's rectangle inside its edge.
CRect DrawCustomizeListField(CDC* dc, const CRect& rect, int textWidth, int buttonWidth);
