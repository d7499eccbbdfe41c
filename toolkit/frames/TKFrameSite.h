#pragma once
// What the library's popup menus and menu bar ask of the toolkit frame they live in,
// whichever kind it is (single-document, MDI or in-place frame).
#include "platform/afx/afxwin.h"

class FrameHelper;

class CTKFrameSite {
public:
  virtual ~CTKFrameSite() = default;

  // Called by every library popup menu when it opens, and when it closes.
  virtual BOOL NotifyPopupMenuOpen(CWnd* popup) = 0;
  virtual void OnMenuPopupClosed(CWnd* popup) = 0;
  // The frame's implementation object (its menu bar, user and torn-off toolbars).
  virtual FrameHelper& GetFrameHelper() = 0;
  // The resource id the frame was loaded from (its menu is the menu bar's default).
  virtual UINT GetLoadedResourceId() const = 0;

  // The toolkit frame behind a window, or null.
  static CTKFrameSite* Of(CWnd* wnd) { return dynamic_cast<CTKFrameSite*>(wnd); }
};
