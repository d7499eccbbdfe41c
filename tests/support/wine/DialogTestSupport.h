#pragma once
// Helpers for window tests of dialogs: driving a modal dialog from inside its own
// message loop, answering message boxes, and dialog templates built in memory.
#include "support/wine/GTestWin.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include <vector>
#include "platform/seams/MessageBox.h"
#include "platform/afx/linux_headers_end.h"

namespace dialogtest {

// Records every message box instead of showing it (one would block the test) and
// answers with `answer`. Installed for its lifetime.
class RecordedMessageBoxes final : public seams::MessageBoxService {
public:
  struct Box {
    std::string text;
    std::string caption;
    unsigned flags;
  };
  explicit RecordedMessageBoxes(int answer = IDOK);
  ~RecordedMessageBoxes() override;
  int Show(const std::string& text, const std::string& caption, unsigned flags) override;
  std::vector<Box> shown;

private:
  int m_answer;
  seams::MessageBoxService* m_previous;
};

// --- Driving a modal dialog -------------------------------------------------------
// open() shows a modal dialog titled `caption` and returns when it has ended. Once the
// dialog is up, script(dialog) runs from a timer on this thread, inside the dialog's
// own message loop, so it can set texts and send commands as the user would. A dialog
// the script leaves open gets a second to end by itself (keys the script posted),
// then it is ended with IDABORT; a dialog that never shows up is reported and any
// dialog of the thread is ended, so a test never hangs.
void DriveModal(const char* caption, std::function<void(HWND)> script, const std::function<void()>& open);

// --- Small helpers for scripts ----------------------------------------------------
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const char* text);
// Presses a push button of the dialog (OK, Cancel) the way a click does.
void Press(HWND dialog, int id);
// True while a modal dialog has not been ended (ending hides it).
bool StillOpen(HWND dialog);
// The texts of a property sheet's tabs, in order.
std::vector<std::string> SheetTabs(HWND sheet);

// --- Dialog templates in memory -----------------------------------------------------
// A DLGTEMPLATE with controls, in dialog units, for tests of dialog machinery that
// should not depend on the program's resources.
class DialogTemplate {
public:
  DialogTemplate(const char* caption, short width, short height,
                 DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE);
  // Predefined classes: 0x80 button, 0x81 edit, 0x82 static.
  DialogTemplate& Control(WORD classAtom, int id, const char* text, DWORD style, short x, short y, short cx,
                          short cy);
  DialogTemplate& Edit(int id, short x, short y, DWORD style = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP);
  DialogTemplate& Radio(int id, const char* text, short x, short y, bool firstOfGroup);
  DialogTemplate& Button(int id, const char* text, short x, short y, bool isDefault = false);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
  void Word(WORD value) { m_words.push_back(value); }
  void Text(const char* text);
  std::vector<WORD> m_words;
  size_t m_countAt = 0;
};

}  // namespace dialogtest
