#pragma once
// The "Windows" dialog of the toolkit's MDI frame: the visible document windows in
// a list with their icons and titles, and buttons that activate, save, close,
// cascade, tile or minimize the ones selected there.
#include "toolkit/frames/TKDialog.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CTKMDIFrameWnd;

class CTKWindowsDialog : public CTKDialog {
public:
  enum : UINT {
    kTemplateId = 16927,
    kActivate = 16920,
    kSave = 16921,
    kClose = 16922,
    kList = 16923,
    kTileHorizontally = 16924,
    kMinimize = 16925,
    kCascade = 16926,
    kTileVertically = 16928,
  };

  explicit CTKWindowsDialog(CTKMDIFrameWnd* frame);

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
  LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  // The list holds the client's visible children again.
  void FillList();
  void UpdateButtons();
  std::vector<HWND> Selected() const;
  // The selected windows come back from a minimised or maximized state and the others
  // are minimised, before the client arranges them.
  void PrepareArrange(const std::vector<HWND>& selected);
  HWND List() const { return ::GetDlgItem(m_hWnd, kList); }

  CTKMDIFrameWnd* m_pFrame;
};
