#include "options/sheet/DialogControls.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

namespace dialogcontrols {

int FillCombo(HWND dialog, int id, std::span<const settings::ValueName> table, std::int32_t value) {
  HWND combo = ::GetDlgItem(dialog, id);
  ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  int selected = -1;
  for (size_t i = 0; i < table.size(); ++i) {
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(table[i].name));
    if (selected < 0 && table[i].value == value) selected = static_cast<int>(i);
  }
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  return selected;
}

void FillCombo(HWND dialog, int id, const std::vector<std::string>& names) {
  HWND combo = ::GetDlgItem(dialog, id);
  ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& name : names)
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

int ComboSelection(HWND dialog, int id) {
  return static_cast<int>(::SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

void SelectCombo(HWND dialog, int id, int index) {
  ::SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool IsChecked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetChecked(HWND dialog, int id, bool checked) {
  ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableItem(HWND dialog, int id, bool enable) { ::EnableWindow(::GetDlgItem(dialog, id), enable); }

void SetItemDouble(HWND dialog, int id, const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  ::SetDlgItemTextA(dialog, id, text);
}

std::string ItemText(HWND dialog, int id) {
  HWND item = ::GetDlgItem(dialog, id);
  const int length = ::GetWindowTextLengthA(item);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  ::GetWindowTextA(item, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

void CenterOver(HWND window, HWND over) {
  if (!over) {
    CWnd* main = AfxGetMainWnd();
    over = main ? main->m_hWnd : nullptr;
  }
  if (over) over = ::GetAncestor(over, GA_ROOT);
  if (!window || !over || !::IsWindowVisible(over) || ::IsIconic(over)) return;
  RECT rect, around;
  ::GetWindowRect(window, &rect);
  ::GetWindowRect(over, &around);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int x = around.left + (around.right - around.left - width) / 2;
  int y = around.top + (around.bottom - around.top - height) / 2;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (::GetMonitorInfoA(::MonitorFromWindow(over, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  }
  ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace dialogcontrols
