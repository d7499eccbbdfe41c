#pragma once
// The control panel's big transport buttons: faces composed from the tinted skin
// background and a glyph blended through its mask (normal, hover, down, disabled).
// A click posts WM_COMMAND (control id, button window) to the parent. A plain button
// latches down at the click and ignores the mouse until its owner raises it; a
// toggle button flips at each click.
#include "app/skin/SkinCache.h"
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

class CMMButton : public CWnd {
public:
  enum Image { kNormal = 0, kHover = 1, kDown = 2, kDisabled = 3 };

  CMMButton();
  ~CMMButton() override;

  // Takes the place, id and rectangle of the placeholder control with that id.
  BOOL CreateFromControl(UINT id, CWnd* parent, BOOL toggle = FALSE);
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, BOOL toggle = FALSE);

  BOOL SetImages(UINT normalId, UINT disabledId, UINT hoverId, UINT maskId);
  void SizeToImage();
  void Enable();
  void Disable();
  void SetDown();
  void SetUp();
  BOOL WasShiftHeld() const { return m_bShift; }
  void SetTooltip(const char* text);
  BOOL PreTranslateMessage(MSG* msg) override;

  BOOL IsDown() const { return m_bDown; }
  BOOL IsEnabled() const { return m_bEnabled; }
  int GetImageIndex() const { return m_nImage; }
  HBITMAP GetFace(int index) const { return index >= 0 && index < 4 ? m_hFaces[index] : nullptr; }

  static constexpr const char* kClassName = "ZQYMMButton";

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnMouseLeave();
  LRESULT OnMouseHover(WPARAM flags, LPARAM point);
  LRESULT OnPrintClient(WPARAM dc, LPARAM);

private:
  void Paint(HDC dc);
  void UpdateState(POINT point);
  BOOL IgnoresMouse() const { return !m_bEnabled || (!m_bToggle && m_bDown); }
  void Repaint();
  // Makes the tip's window (once) and gives it the tip text.
  void ShowTooltip();

  skin::SkinHolder m_skin;
  HWND m_hToolTip = nullptr;
  std::string m_tipText;  // empty: no tip
  int m_nWidth = 48;
  int m_nHeight = 48;
  BOOL m_bTracking = FALSE;
  BOOL m_bEntered = FALSE;
  BOOL m_bLeft = FALSE;
  BOOL m_bShift = FALSE;
  BOOL m_bDown = FALSE;
  BOOL m_bPressed = FALSE;
  BOOL m_bEnabled = TRUE;
  BOOL m_bToggle = FALSE;
  int m_nImage = kNormal;
  HBITMAP m_hFaces[4] = {};

  DECLARE_MESSAGE_MAP()
};
