#pragma once
// The toolkit's base dialog: an ordinary dialog that lives with the library popup
// menus (through its DialogHelper) and can paint a background colour or bitmap
// behind its static controls.
#include "toolkit/frames/DialogHelper.h"

class CTKDialog : public CDialog {
public:
  CTKDialog() : m_Impl(this) {}
  explicit CTKDialog(UINT templateId, CWnd* parent = nullptr);
  ~CTKDialog() override;

  // Where the background bitmap goes.
  enum BackgroundPlace { kTile = 0, kTopLeft = 1, kTopRight = 2, kBottomLeft = 3, kBottomRight = 4 };
  // A solid background (-1 drops it).
  void SetBackgroundColor(COLORREF color, BOOL repaint = TRUE);
  // A background bitmap (null drops it); with `owns` the dialog deletes it.
  void SetBackgroundImage(HBITMAP bitmap, int place = kTile, BOOL owns = FALSE, BOOL repaint = TRUE);

  void SetOpenMenu(CTKPopupMenuBase* popup) { m_Impl.SetOpenMenu(popup); }
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  HBRUSH m_brBackground = nullptr;
  HBITMAP m_hBkgrImage = nullptr;
  SIZE m_sizeBkgrImage{0, 0};
  int m_BkgrLocation = -1;
  BOOL m_bAutoDestroyBmp = FALSE;
  DialogHelper m_Impl;

protected:
  void DropBackgroundImage();

  BOOL OnEraseBkgnd(CDC* dc);
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  BOOL OnNcActivate(BOOL active);
  void OnDestroy();

  DECLARE_MESSAGE_MAP()
};
