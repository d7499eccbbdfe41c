#pragma once
// A toolbar button that stands for a whole second toolbar: it shows and runs the
// command chosen last from it. Held down, or pressed on its arrow, it opens a frame
// with the second toolbar's buttons; the one chosen there runs and becomes the
// button's command.
#include "toolkit/bars/TKToolbarButton.h"

class CTKDropDownToolBar;
class CTKDropDownFrame;

class CTKDropDownToolbarButton : public CTKToolbarButton {
  DECLARE_SERIAL(CTKDropDownToolbarButton)

public:
  CTKDropDownToolbarButton();
  CTKDropDownToolbarButton(const char* text, CTKDropDownToolBar* source);
  ~CTKDropDownToolbarButton() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CTKToolbarButton& source) override;
  void OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList* images, BOOL horizontal = TRUE,
              BOOL customizeMode = FALSE, BOOL highlighted = FALSE, BOOL drawBorder = TRUE,
              BOOL grayDisabledButtons = TRUE) override;
  BOOL OnClick(CWnd* window, BOOL delay = TRUE) override;
  BOOL OnClickUp() override;
  void OnCancelMode() override;
  BOOL IsDroppedDown() const override { return m_pFrame != nullptr; }

  // The current command becomes the first enabled button of the source toolbar with
  // this id (its image with it); an unknown id leaves the first button.
  void SetDefaultCommand(UINT id);
  // A popup menu of the source toolbar's buttons (disabled ones greyed), owned by the
  // caller.
  HMENU ExportToMenu() const;
  CTKDropDownToolBar* GetSourceToolBar() const { return m_pToolBar; }
  CTKDropDownFrame* GetFrame() const { return m_pFrame; }
  int GetCurrentIndex() const { return m_iSelectedImage; }
  // Opens or closes the frame now.
  void OpenFrame();
  void CloseFrame();

  // How long the button must be held before its frame opens, in ms.
  static UINT s_dropDownDelay;
  static constexpr int kArrowWidth = 7;

private:
  friend class CTKDropDownFrame;
  static void StopDelay();
  static void CALLBACK OnDelayTimer(HWND, UINT, UINT_PTR, DWORD);

  CTKDropDownToolBar* m_pToolBar = nullptr;
  CString m_strName;
  int m_iSelectedImage = 0;
  int m_iCurrentImage = -1;
  BOOL m_bCurrentUserImage = FALSE;
  CTKDropDownFrame* m_pFrame = nullptr;
  BOOL m_bLocalUserButton = FALSE;

  static UINT_PTR s_delayTimer;
  static CTKDropDownToolbarButton* s_pPendingButton;
};
