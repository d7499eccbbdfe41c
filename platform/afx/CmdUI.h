#pragma once
// The state of one command's user-interface element (menu item, toolbar button),
// handed to ON_UPDATE_COMMAND_UI handlers.
#include <windows.h>

class CCmdTarget;

class CCmdUI {
public:
  virtual ~CCmdUI() = default;
  UINT m_nID = 0;
  BOOL m_bContinueRouting = FALSE;
  BOOL m_bEnableChanged = FALSE;

  virtual void Enable(BOOL on = TRUE) {
    m_bEnableChanged = TRUE;
    (void)on;
  }
  virtual void SetCheck(int check = 1) { (void)check; }
  virtual void SetText(const char* text) { (void)text; }
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  // Asks target for the element's state; TRUE when some handler answered.
  BOOL DoUpdate(CCmdTarget* target);
};
