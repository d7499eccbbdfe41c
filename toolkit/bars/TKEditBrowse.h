#pragma once
// An edit field with a browse button in its frame, at its right: a click on the
// button calls OnBrowse (by default the owning editable list's).
#include "platform/afx/Edit.h"
#include "platform/afx/afxwin.h"

class CTKEditListBase;

class CTKEditBrowse : public CEdit {
public:
  static constexpr int kButtonWidth = 20;

  CTKEditBrowse() = default;

  virtual void OnBrowse();
  // The browse button in screen coordinates (empty before the frame is laid out).
  CRect GetButtonRect() const { return m_rectBtn; }
  BOOL IsButtonPressed() const { return m_bIsButtonPressed; }

  CTKEditListBase* m_pOwner = nullptr;

protected:
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  void OnNcPaint();
  LRESULT OnNcHitTest(CPoint point);
  void OnNcLButtonDown(UINT hitTest, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnCancelMode();
  UINT OnGetDlgCode();

  DECLARE_MESSAGE_MAP()

private:
  void UpdateButtonRect();
  void PaintButton();
  void SetPressed(BOOL pressed);

  CRect m_rectBtn;
  BOOL m_bIsButtonPressed = FALSE;
  BOOL m_bIsButtonCaptured = FALSE;
};
