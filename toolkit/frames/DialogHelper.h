#pragma once
// The implementation object embedded in every toolkit dialog, property sheet and
// property page. While a library popup menu opened from the dialog is open it
// closes it on clicks and keys elsewhere (a thread mouse hook catches clicks outside
// the dialog), turns accelerators into a plain close of the popup, and keeps the
// dialog's caption active while a popup it opened has the activation.
#include "toolkit/frames/TKPopupMenuBase.h"

#ifndef WM_FLOATSTATUS
#define WM_FLOATSTATUS 0x036D
#endif
#ifndef FS_SYNCACTIVE
#define FS_SYNCACTIVE 0x0008
#endif

class DialogHelper {
public:
  explicit DialogHelper(CWnd* owner = nullptr) : m_pDlg(owner) {}
  virtual ~DialogHelper();
  DialogHelper(const DialogHelper&) = delete;
  DialogHelper& operator=(const DialogHelper&) = delete;

  // Makes the popup the open one (none: closes the books on it). The first popup
  // installs the thread's mouse hook; none removes it.
  void SetOpenMenu(CTKPopupMenuBase* popup);
  // TRUE when the message was used up for the popup.
  BOOL PreTranslateMessage(MSG* msg);
  // Accelerator commands only (code 1); TRUE when handled here and the base must
  // not run the command.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  void OnActivate(UINT state, HWND other);
  // Adjusts the active flag WM_NCACTIVATE passes on.
  void OnNcActivate(BOOL& active);
  // A click at a screen point while a popup is open; TRUE when it is used up.
  BOOL ProcessMouseClick(POINT point);
  // A mouse move while the popup is open (in a dialog or a frame), outside the popup:
  // the bar of the popup's chain under the point takes it, and no other window sees it,
  // so nothing but the menus follows the mouse. TRUE when used up.
  static BOOL TrackPopupMouseMove(CWnd* popup, const MSG* msg);
  // The owner is going (its WM_DESTROY): its hook goes with it.
  void ReleaseHook();

  BOOL StaysActive() const { return m_stayActive; }

  // The library's open popup menu, and the helper whose dialog installed the hook.
  static CTKPopupMenuBase* GetOpenMenu();
  static DialogHelper* GetHookingHelper();
  static BOOL IsHookInstalled();

  CWnd* m_pDlg;

private:
  BOOL m_stayActive = FALSE;
};
