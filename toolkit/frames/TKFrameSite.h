#pragma once
// What the library's popup menus, menu bar and toolbars ask of the toolkit frame they
// live in, whichever kind it is (single-document, MDI or in-place frame), with the
// answers all of them give unless a frame says otherwise.
#include "platform/afx/afxwin.h"

class FrameHelper;
class CTKPopupMenu;
class CTKToolbarButton;
class CTKToolbarMenuButton;
class CControlBar;

class CTKFrameSite {
public:
  virtual ~CTKFrameSite() = default;

  // Called by every library popup menu when it opens: the popup becomes the open
  // one; outside toolbar customization the popup-shown hook answers.
  virtual BOOL NotifyPopupMenuOpen(CWnd* popup);
  // The accessibility hooks of a popup that opens or closes; a closing popup that is
  // the open one leaves none open.
  virtual BOOL OnMenuPopupShown(CWnd* popup);
  virtual void OnMenuPopupClosed(CWnd* popup);
  // Told by a popup whose window goes, with itself; the popup-closed hook answers.
  virtual void OnClosePopupMenu(CWnd* popup) { OnMenuPopupClosed(popup); }
  // Draws a popup's logo band (the rectangle in the popup's client coordinates), for
  // popups that the frame gave a logo when they opened; nothing by default.
  virtual void OnDrawMenuLogo(CDC*, CWnd* /*popup*/, const RECT*) {}
  // Makes the bar of a menu torn off its popup: by default a floating toolbar of the
  // popup's items, with the tear-off id of the menu's button and the menu's name,
  // remembered with the frame's torn-off bars. Null: no bar.
  virtual CControlBar* OnTearOffMenu(CTKPopupMenu* popup);
  // Draws a menu item's image when the image lists have none for its command (rect is
  // the item's image column); FALSE when it drew nothing.
  virtual BOOL OnDrawMenuImage(CDC*, CTKToolbarMenuButton* /*button*/, const RECT*) { return FALSE; }
  // A button's own tooltip: the hit-test code for it (0: none, as in every toolkit
  // frame), and its text.
  virtual int OnMenuButtonToolHitTest(CTKToolbarButton* /*button*/, TOOLINFOA*) { return 0; }
  virtual BOOL OnMenuButtonToolTip(CTKToolbarButton* /*button*/, CString& /*text*/) { return FALSE; }
  // Hooks for subclasses (what the library's popup menus and toolbars ask of a frame).
  virtual BOOL OnShowPopupMenuHook(CWnd*, CWnd*, UINT) { return FALSE; }
  virtual BOOL OnShowCustomizePaneHook(CWnd*, UINT) { return TRUE; }
  // Fills the "Add or Remove Buttons" list further.
  virtual BOOL OnFillCustomizeList(CWnd*, CWnd*) { return TRUE; }

  // The frame's implementation object (its menu bar, user and torn-off toolbars).
  virtual FrameHelper& GetFrameHelper() = 0;
  // The resource id the frame was loaded from (its menu is the menu bar's default).
  virtual UINT GetLoadedResourceId() const = 0;

  // The toolkit frame behind a window, or null.
  static CTKFrameSite* Of(CWnd* wnd) { return dynamic_cast<CTKFrameSite*>(wnd); }
};
