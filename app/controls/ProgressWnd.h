#pragma once
// The modeless progress window of long work on the user-interface thread: a caption
// with the percentage done, a few lines of text, a bar and a Cancel button. While it
// is shown its top-level owner is disabled. The worker sets the range, moves the
// bar, pumps the messages now and then and stops when Cancelled() turns true.
#include "platform/afx/afxwin.h"

class CProgressWnd : public CWnd {
public:
  CProgressWnd();  // no window yet
  ~CProgressWnd() override;

  // Makes the window (owned by owner, else the main window) and shows it; TRUE when
  // the window and its controls were made.
  BOOL Create(CWnd* owner, const char* caption, BOOL smooth = FALSE);
  // Makes the window when needed, disables the outermost enabled window above it and
  // takes the focus; FALSE only when the window cannot be made.
  BOOL Show(const char* caption = nullptr, BOOL smooth = FALSE);
  void Hide();
  // Shows a hidden window again without taking the activation.
  void ShowAgain();

  void SetRange(int lower, int upper, int step = 1);
  // Moves the bar; the caption shows the whole percentage of the range. Answers the
  // previous position.
  int SetPos(int position);
  // The text line(s) above the bar, printf-style.
  void SetText(const char* format, ...);
  // Handles the thread's waiting messages until none is left or the user cancelled;
  // Escape cancels when escapeCancels. A WM_QUIT ends the pumping and is posted again.
  void PumpMessages(BOOL escapeCancels = TRUE);
  BOOL Cancelled() const { return m_bCancelled; }
  // Lays the window out for this many lines of text.
  void SetWindowSize(int textLines, int width = 390);

  BOOL DestroyWindow() override;

  enum { kCancelButtonId = 10, kTextId = 11, kProgressId = 12 };

protected:
  void OnCancel();
  void OnClose();
  void OnDestroy();

  DECLARE_MESSAGE_MAP()

private:
  // Gives the owner back its input (after Show).
  void ReleaseOwner();
  void Place(HWND owner);

  HWND m_wndDisabled = nullptr;
  BOOL m_bCancelled = FALSE;
  BOOL m_bModal = FALSE;
  int m_nPrevPos = 0;
  int m_nPrevPercent = 0;
  int m_nStep = 1;
  int m_nMaxValue = 100;
  int m_nMinValue = 0;
  int m_nNumTextLines = 4;
  HWND m_Text = nullptr;
  HWND m_wndProgress = nullptr;
  HWND m_CancelButton = nullptr;
  CString m_strTitle;
  CString m_strCancelLabel = " Cancel ";
  HFONT m_font = nullptr;
};
