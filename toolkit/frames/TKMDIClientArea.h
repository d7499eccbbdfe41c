#pragma once
// The MDI client of the toolkit's MDI frame, taken over: it tells the frame when its
// children change (made, activated, maximized, restored, destroyed), so the menu
// bar's document buttons follow the active child, and it can show the children as
// tabs (title and small icon), a click on a tab activating its window.
#include "platform/afx/afxwin.h"
#include "toolkit/frames/TKTabWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <map>
#include "platform/afx/linux_headers_end.h"

class CTKMDIFrameWnd;

class CTKMDIClientArea : public CWnd {
public:
  CTKMDIClientArea() = default;
  ~CTKMDIClientArea() override;

  // Takes over the frame's MDI client and makes the tab strip (hidden while tabs are
  // off).
  BOOL AttachClient(CTKMDIFrameWnd* frame, HWND client);

  // Tabs on or off, at the top or the bottom (CTKTabWnd::LOCATION_TOP or _BOTTOM).
  void EnableTabs(BOOL enable, int location = CTKTabWnd::LOCATION_TOP);
  BOOL AreTabsEnabled() const { return m_bTabsEnabled; }
  // The strip shows with tabs on, outside print preview, and with enough children.
  BOOL IsTabStripVisible() const;
  void SetPreviewMode(BOOL preview);

  // The tabs follow the children: a new child gets one at the end, a changed title or
  // icon is shown, a hidden child loses its tab; the active child's tab is selected.
  void UpdateTabs();
  // A child going away loses its tab at once (the tab refers to its window object).
  void RemoveTabOf(HWND child);
  // Called when the frame lays itself out: the strip takes its room from the client.
  void LayoutTabs();

  // The small icon a child shows: its own WM_GETICON answer, else its class's.
  static HICON IconOf(HWND child);

  CTKTabWnd m_wndTab;
  BOOL m_bTabsEnabled = FALSE;
  int m_tabLocation = CTKTabWnd::LOCATION_TOP;
  HIMAGELIST m_hImages = nullptr;
  std::map<HICON, int> m_iconIndex;
  BOOL m_bHideTabsWhenOne = FALSE;
  BOOL m_bHideTabsWhenNone = TRUE;

protected:
  // A child going away is marked and loses its tab before the client destroys it.
  LRESULT OnMDIDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnChildrenChanged(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  CTKMDIFrameWnd* m_pFrame = nullptr;
  BOOL m_bPreview = FALSE;
  BOOL m_bUpdating = FALSE;
};
