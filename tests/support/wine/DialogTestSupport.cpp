#include "support/wine/DialogTestSupport.h"

#include <commctrl.h>

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <utility>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace dialogtest {

RecordedMessageBoxes::RecordedMessageBoxes(int answer) : m_answer(answer) {
  m_previous = seams::SetMessageBoxService(this);
}

RecordedMessageBoxes::~RecordedMessageBoxes() { seams::SetMessageBoxService(m_previous); }

int RecordedMessageBoxes::Show(const std::string& text, const std::string& caption, unsigned flags) {
  shown.push_back({text, caption, flags});
  return m_answer;
}

// --- Driving a modal dialog -------------------------------------------------------
namespace {

struct DriveState {
  std::string caption;
  std::function<void(HWND)> script;
  HWND dialog = nullptr;
  DWORD started = 0;
  bool scriptRan = false;
  bool scriptRunning = false;
  UINT_PTR timer = 0;
};
// The drives in progress, innermost last: a script may open and drive a dialog of its
// own, and a dialog may open another one that an outer drive waits for.
std::vector<DriveState*> g_states;

struct FindArgs {
  const char* caption;
  HWND found;
};
BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM lParam) {
  auto* args = reinterpret_cast<FindArgs*>(lParam);
  char text[256] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  if (::IsWindowVisible(hwnd) && (!args->caption || std::string(text) == args->caption)) {
    args->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
HWND FindThreadWindow(const char* caption) {
  FindArgs args{caption, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), FindVisibleWindow, reinterpret_cast<LPARAM>(&args));
  return args.found;
}

void CALLBACK OnDriveTick(HWND, UINT, UINT_PTR timer, DWORD) {
  DriveState* state = nullptr;
  for (DriveState* s : g_states)
    if (s->timer == timer) state = s;
  // A script that is running (and pumping messages) is left alone.
  if (!state || state->scriptRunning) return;
  const DWORD elapsed = ::GetTickCount() - state->started;
  if (!state->scriptRan) {
    HWND dialog = FindThreadWindow(state->caption.c_str());
    if (!dialog) {
      if (elapsed > 10000) {  // a dialog that fills a shell tree first takes a while on a busy machine
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
    state->scriptRunning = true;
    if (script) script(dialog);
    state->scriptRunning = false;
    state->started = ::GetTickCount();
    return;
  }
  if (state->dialog && ::IsWindow(state->dialog) && ::IsWindowVisible(state->dialog) &&
      ::GetTickCount() - state->started > 1000)
    ::EndDialog(state->dialog, IDABORT);
}

}  // namespace

void DriveModal(const char* caption, std::function<void(HWND)> script, const std::function<void()>& open) {
  DriveState state;
  state.caption = caption;
  state.script = std::move(script);
  state.started = ::GetTickCount();
  state.timer = ::SetTimer(nullptr, 0, 5, OnDriveTick);
  g_states.push_back(&state);
  open();
  ::KillTimer(nullptr, state.timer);
  g_states.erase(std::find(g_states.begin(), g_states.end(), &state));
  EXPECT_TRUE(state.scriptRan) << "the dialog \"" << caption << "\" ended before the script ran";
}

// --- Small helpers for scripts ----------------------------------------------------
std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void SetItemText(HWND dialog, int id, const char* text) { ::SetDlgItemTextA(dialog, id, text); }

std::vector<std::string> SheetTabs(HWND sheet) {
  HWND tab = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  std::vector<std::string> texts;
  const int count = static_cast<int>(::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[64] = "";
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    texts.emplace_back(text);
  }
  return texts;
}

void Press(HWND dialog, int id) {
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool StillOpen(HWND dialog) { return ::IsWindow(dialog) && ::IsWindowVisible(dialog); }

// --- Dialog templates in memory -----------------------------------------------------
DialogTemplate::DialogTemplate(const char* caption, short width, short height, DWORD style) {
  Word(LOWORD(style));
  Word(HIWORD(style));
  Word(0);  // extended style
  Word(0);
  m_countAt = m_words.size();
  Word(0);  // control count, filled in as controls come
  Word(10);
  Word(10);
  Word(width);
  Word(height);
  Word(0);  // no menu
  Word(0);  // the dialog class
  Text(caption);
}

DialogTemplate& DialogTemplate::Control(WORD classAtom, int id, const char* text, DWORD style, short x,
                                        short y, short cx, short cy) {
  while (m_words.size() % 2) Word(0);  // DWORD aligned
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
  ++m_words[m_countAt];
  return *this;
}

DialogTemplate& DialogTemplate::Edit(int id, short x, short y, DWORD style) {
  return Control(0x81, id, "", style, x, y, 60, 12);
}

DialogTemplate& DialogTemplate::Radio(int id, const char* text, short x, short y, bool firstOfGroup) {
  return Control(0x80, id, text, BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0), x, y, 60,
                 10);
}

DialogTemplate& DialogTemplate::Button(int id, const char* text, short x, short y, bool isDefault) {
  return Control(0x80, id, text, (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | WS_GROUP, x, y,
                 50, 14);
}

void DialogTemplate::Text(const char* text) {
  for (const char* p = text; *p; ++p) Word(static_cast<unsigned char>(*p));
  Word(0);
}

}  // namespace dialogtest
