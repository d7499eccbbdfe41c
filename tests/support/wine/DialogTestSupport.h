#pragma once
// Helpers for window tests of dialogs: driving a modal dialog from inside its own
// message loop, answering message boxes, and dialog templates built in memory.
#include "support/wine/gtest_win.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include <utility>
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
  explicit RecordedMessageBoxes(int answer = IDOK) : answer_(answer) {
    previous_ = seams::SetMessageBoxService(this);
  }
  ~RecordedMessageBoxes() override { seams::SetMessageBoxService(previous_); }
  int Show(const std::string& text, const std::string& caption, unsigned flags) override {
    shown.push_back({text, caption, flags});
    return answer_;
  }
  std::vector<Box> shown;

private:
  int answer_;
  seams::MessageBoxService* previous_;
};

// --- Driving a modal dialog -------------------------------------------------------
// open() shows a modal dialog titled `caption` and returns when it has ended. Once the
// dialog is up, script(dialog) runs from a timer on this thread, inside the dialog's
// own message loop, so it can set texts and send commands as the user would. A dialog
// the script leaves open gets a second to end by itself (keys the script posted),
// then it is ended with IDABORT; a dialog that never shows up is reported and any
// dialog of the thread is ended, so a test never hangs.
namespace detail {
struct DriveState {
  std::string caption;
  std::function<void(HWND)> script;
  HWND dialog = nullptr;
  DWORD started = 0;
  bool scriptRan = false;
  UINT_PTR timer = 0;
};
inline DriveState*& State() {
  static DriveState* state = nullptr;
  return state;
}

struct FindArgs {
  const char* caption;
  HWND found;
};
inline BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM lParam) {
  auto* args = reinterpret_cast<FindArgs*>(lParam);
  char text[256] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  if (::IsWindowVisible(hwnd) && (!args->caption || std::string(text) == args->caption)) {
    args->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
inline HWND FindThreadWindow(const char* caption) {
  FindArgs args{caption, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), FindVisibleWindow, reinterpret_cast<LPARAM>(&args));
  return args.found;
}

inline void CALLBACK OnDriveTick(HWND, UINT, UINT_PTR, DWORD) {
  DriveState* state = State();
  if (!state) return;
  const DWORD elapsed = ::GetTickCount() - state->started;
  if (!state->scriptRan) {
    HWND dialog = FindThreadWindow(state->caption.c_str());
    if (!dialog) {
      if (elapsed > 3000) {
        ADD_FAILURE() << "no dialog titled \"" << state->caption << "\" appeared";
        state->scriptRan = true;
        if (HWND other = FindThreadWindow(nullptr)) ::EndDialog(other, IDABORT);
      }
      return;
    }
    state->dialog = dialog;
    state->scriptRan = true;
    state->started = ::GetTickCount();
    auto script = std::move(state->script);
    if (script) script(dialog);
    return;
  }
  if (state->dialog && ::IsWindow(state->dialog) && ::IsWindowVisible(state->dialog) &&
      ::GetTickCount() - state->started > 1000)
    ::EndDialog(state->dialog, IDABORT);
}
}  // namespace detail

inline void DriveModal(const char* caption, std::function<void(HWND)> script,
                       const std::function<void()>& open) {
  detail::DriveState state;
  state.caption = caption;
  state.script = std::move(script);
  state.started = ::GetTickCount();
  detail::State() = &state;
  state.timer = ::SetTimer(nullptr, 0, 5, detail::OnDriveTick);
  open();
  ::KillTimer(nullptr, state.timer);
  detail::State() = nullptr;
  EXPECT_TRUE(state.scriptRan) << "the dialog \"" << caption << "\" ended before the script ran";
}

// --- Small helpers for scripts ----------------------------------------------------
inline std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}
inline void SetItemText(HWND dialog, int id, const char* text) {
  ::SetDlgItemTextA(dialog, id, text);
}
// Presses a push button of the dialog (OK, Cancel) the way a click does.
inline void Press(HWND dialog, int id) {
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}
// True while a modal dialog has not been ended (ending hides it).
inline bool StillOpen(HWND dialog) { return ::IsWindow(dialog) && ::IsWindowVisible(dialog); }

// --- Dialog templates in memory -----------------------------------------------------
// A DLGTEMPLATE with controls, in dialog units, for tests of dialog machinery that
// should not depend on the program's resources.
class DialogTemplate {
public:
  DialogTemplate(const char* caption, short width, short height,
                 DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE) {
    Word(LOWORD(style));
    Word(HIWORD(style));
    Word(0);  // extended style
    Word(0);
    countAt_ = words_.size();
    Word(0);  // control count, filled in as controls come
    Word(10);
    Word(10);
    Word(width);
    Word(height);
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(caption);
  }
  // Predefined classes: 0x80 button, 0x81 edit, 0x82 static.
  DialogTemplate& Control(WORD classAtom, int id, const char* text, DWORD style, short x, short y,
                          short cx, short cy) {
    while (words_.size() % 2) Word(0);  // DWORD aligned
    style |= WS_CHILD | WS_VISIBLE;
    Word(LOWORD(style));
    Word(HIWORD(style));
    Word(0);
    Word(0);
    Word(x);
    Word(y);
    Word(cx);
    Word(cy);
    Word(static_cast<WORD>(id));
    Word(0xFFFF);
    Word(classAtom);
    Text(text);
    Word(0);  // no creation data
    ++words_[countAt_];
    return *this;
  }
  DialogTemplate& Edit(int id, short x, short y, DWORD style = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP) {
    return Control(0x81, id, "", style, x, y, 60, 12);
  }
  DialogTemplate& Radio(int id, const char* text, short x, short y, bool firstOfGroup) {
    return Control(0x80, id, text, BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0),
                   x, y, 60, 10);
  }
  DialogTemplate& Button(int id, const char* text, short x, short y, bool isDefault = false) {
    return Control(0x80, id, text,
                   (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | WS_GROUP, x, y, 50, 14);
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
  void Word(WORD value) { words_.push_back(value); }
  void Text(const char* text) {
    for (const char* p = text; *p; ++p) Word(static_cast<unsigned char>(*p));
    Word(0);
  }
  std::vector<WORD> words_;
  size_t countAt_ = 0;
};

}  // namespace dialogtest
