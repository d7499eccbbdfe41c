#include "app/view/DocManagerEx.h"

#include "app/view/CustomSaveDlg.h"
#include "app/view/ViewText.h"
#include "options/sheet/DialogControls.h"

#include <commdlg.h>

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include <strings.h>
#include "app/settings/FileEncodeOptions.h"
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr int kNameBuffer = 260;
constexpr int kFileTypeCombo = 1136;  // cmb1

UINT_PTR CALLBACK OpenHookProc(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE)
    CDocManagerEx::PlaceFileDialog(::GetParent(hook));
  return 0;
}
}  // namespace

void CDocManagerEx::PlaceFileDialog(HWND dialog) {
  // The common dialog comes up in the corner of the screen without this.
  dialogcontrols::CenterOver(dialog, ::GetWindow(dialog, GW_OWNER));
  // The list drops as many rows as the dialog's template gives it room for (four)
  // and opens scrolled to the chosen type: the first types would be out of sight.
  HWND types = ::GetDlgItem(dialog, kFileTypeCombo);
  const int count = types ? static_cast<int>(::SendMessageA(types, CB_GETCOUNT, 0, 0)) : 0;
  if (count <= 0) return;
  RECT field;
  ::GetWindowRect(types, &field);
  const int fieldHeight =
      static_cast<int>(::SendMessageA(types, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  const int rowHeight = static_cast<int>(::SendMessageA(types, CB_GETITEMHEIGHT, 0, 0));
  const int border = 2 * ::GetSystemMetrics(SM_CYBORDER);
  const int height = fieldHeight + 2 * ::GetSystemMetrics(SM_CYEDGE) + count * rowHeight + 2 * border;
  ::SetWindowPos(types, nullptr, 0, 0, field.right - field.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AppendFilter(std::string& filter, std::string& allPatterns, const std::string& name,
                  const std::string& pattern) {
  filter += name;
  filter += '\0';
  filter += pattern;
  filter += '\0';
  if (!allPatterns.empty()) allPatterns += ";";
  allPatterns += pattern;
}

std::vector<CDocManagerEx::Filter> CDocManagerEx::OpenFilters() {
  std::vector<Filter> filters;
  std::string all;
  auto add = [&](const std::string& name, const std::string& pattern) {
    filters.push_back({name, pattern, ""});
    if (!all.empty()) all += ";";
    all += pattern;
  };
  add(view_text::kOpenMp3Filter, "*.mp3;*.mp2;*.mp1");
  for (const settings::WavContainer& row : settings::WavContainers()) add(row.name, row.pattern);
  add(view_text::kOpenOggFilter, "*.ogg");
  filters.push_back({view_text::kAllSupportedFilter, all, ""});
  return filters;
}

std::vector<CDocManagerEx::Filter> CDocManagerEx::SaveFilters() {
  std::vector<Filter> filters;
  filters.push_back({view_text::kSaveOggFilter, "*.ogg", ".ogg"});
  filters.push_back({view_text::kSaveMp3Filter, "*.mp3;*.mp2;*.mp1", ".mp3"});
  for (const settings::WavContainer& row : settings::WavContainers())
    filters.push_back({row.name, row.pattern, std::string(".") + row.extension});
  return filters;
}

std::string CDocManagerEx::FilterText(const std::vector<Filter>& filters) {
  std::string text, all;
  for (const Filter& f : filters) AppendFilter(text, all, f.name, f.pattern);
  text += '\0';
  return text;
}

std::string CDocManagerEx::ExtensionOf(const std::string& fileName) {
  size_t part = fileName.find_last_of("\\/");
  size_t start = part == std::string::npos ? 0 : part + 1;
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot < start) return "";
  return fileName.substr(dot);
}

std::string CDocManagerEx::WithExtension(const std::string& fileName, const std::string& extension) {
  std::string ext = ExtensionOf(fileName);
  std::string base = fileName.substr(0, fileName.size() - ext.size());
  return base + "." + extension;
}

int CDocManagerEx::SaveFilterIndexFor(const std::string& fileName) {
  std::string ext = ExtensionOf(fileName);
  if (ext.empty()) return 0;
  std::vector<Filter> filters = SaveFilters();
  for (size_t i = 0; i < filters.size(); ++i)
    if (strcasecmp(filters[i].extension.c_str(), ext.c_str()) == 0) return static_cast<int>(i) + 1;
  return 0;
}

std::string CDocManagerEx::ExtensionForTypeIndex(int index) {
  if (index <= 0) return "ogg";
  if (index == 1) return "mp3";
  auto rows = settings::WavContainers();
  return rows[static_cast<size_t>(index - 2) % rows.size()].extension;
}

BOOL CDocManagerEx::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog,
                                     CDocTemplate*) {
  char buffer[kNameBuffer] = {};
  lstrcpynA(buffer, fileName, kNameBuffer);
  CString title;
  title.LoadString(titleId);
  CWinApp* app = AfxGetApp();
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = kNameBuffer;
  ofn.lpstrTitle = title.IsEmpty() ? nullptr : static_cast<const char*>(title);
  BOOL ok;
  if (openFileDialog) {
    std::vector<Filter> filters = OpenFilters();
    std::string text = FilterText(filters);
    ofn.lpstrFilter = text.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filters.size());  // all supported formats
    ofn.Flags = flags | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK;
    ofn.lpfnHook = OpenHookProc;
    ok = ::GetOpenFileNameA(&ofn);
  } else {
    CCustomSaveDlg dialog(fileName, ofn.lpstrTitle, flags, ofn.hwndOwner);
    ok = dialog.DoModal() == IDOK;
    if (ok) lstrcpynA(buffer, dialog.GetPathName(), kNameBuffer);
  }
  if (ok) fileName = buffer;
  return ok;
}
