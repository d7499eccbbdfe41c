#pragma once
// The customization sheet's "Keyboard" page: assigns and removes the keyboard
// shortcuts of commands, for each kind of document and for the frame's default
// table, and resets them all.
#include "toolkit/frames/TKPropertyPage.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CMultiDocTemplate;
class CTKToolbarButton;
class CTKToolbarCustomize;

// An edit that captures the key combination the user presses, before the keys are
// translated into characters or shortcuts.
class CTKKeyEdit : public CWnd {
public:
  void ResetKey();
  const ACCEL& GetAccel() const { return m_Accel; }
  BOOL IsKeyComplete() const { return m_bIsKeyComplete; }

  BOOL PreTranslateMessage(MSG* msg) override;

protected:
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMButtonDown(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKeyUp(UINT key, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
  void OnSysKeyUp(UINT key, UINT repeat, UINT flags);
  LRESULT OnCharMessage(WPARAM wParam, LPARAM lParam);
  UINT OnGetDlgCode();
  // flags: the high word of the key message's lParam (KF_REPEAT, ...).
  void OnKey(UINT message, UINT key, UINT flags);
  void ShowKey();
  DECLARE_MESSAGE_MAP()

  ACCEL m_Accel{};
  BOOL m_bIsKeyComplete = FALSE;
};

class CTKKeyboardPage : public CTKPropertyPage {
  DECLARE_DYNAMIC(CTKKeyboardPage)

public:
  explicit CTKKeyboardPage(CFrameWnd* frame = nullptr, BOOL autoSet = FALSE);

  void SetAllCategory(const char* name) { m_strAllCategory = name; }
  const std::vector<ACCEL>& GetWorkingTable() const { return m_lpAccel; }

  CTKKeyEdit m_wndNewKey;
  CString m_strDescription;
  CString m_strAssignedTo;

  static const DLGTEMPLATE* Template();

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnSelchangeCategory();
  void OnSelchangeCommandsList();
  void OnSelchangeCurrentKeysList();
  void OnSelchangeViewType();
  void OnUpdateNewShortcutKey();
  void OnAssign();
  void OnRemove();
  void OnResetAll();
  // The working table installed as the target's table.
  void InstallTable();
  CTKToolbarCustomize* Sheet() const;
  HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

  DECLARE_MESSAGE_MAP()

  HACCEL m_hAccelTable = nullptr;
  // The kind of document whose keys are edited, null for the frame's table.
  CMultiDocTemplate* m_pTemplate = nullptr;
  std::vector<ACCEL> m_lpAccel;
  CTKToolbarButton* m_pSelButton = nullptr;
  int m_nSelEntry = -1;
  CFrameWnd* m_pParentFrame;
  BOOL m_bAutoSet;
  CString m_strAllCategory;
};
