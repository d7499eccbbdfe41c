#include "options/log/LOGShellListCtrl.h"

#include "options/log/LogText.h"

#include <shlwapi.h>

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <strings.h>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;

}  // namespace

BEGIN_MESSAGE_MAP(CLOGShellListCtrl, CTKShellList)
  ON_WM_CREATE()
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

bool CLOGShellListCtrl::IsRowSelected(int row) const {
  return row >= 0 && (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

COLORREF CLOGShellListCtrl::GetCellTextColor(int row, int) {
  return IsRowSelected(row) ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : GetTextColor();
}

COLORREF CLOGShellListCtrl::GetCellBkColor(int row, int) {
  return IsRowSelected(row) ? ::GetSysColor(COLOR_HIGHLIGHT) : GetBkColor();
}

void CLOGShellListCtrl::OnCustomDraw(NMHDR* header, LRESULT* result) {
  CTKShellList::OnCustomDraw(header, result);
  // Left selected, the list view paints a row it does not have the focus for in the
  // faint face colour over the cell colours given here.
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
  if (draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) draw->nmcd.uItemState &= ~CDIS_SELECTED;
}

void CLOGShellListCtrl::PreSubclassWindow() {
  CTKShellList::PreSubclassWindow();
  SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
}

int CLOGShellListCtrl::OnCreate(LPCREATESTRUCT cs) {
  if (Default() == -1) return -1;
  SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, kListStyles, kListStyles);
  return 0;
}

BOOL CLOGShellListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_NOTIFY) {
    const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
    if (code == static_cast<UINT>(NM_DBLCLK) || code == static_cast<UINT>(NM_RETURN)) return FALSE;
  }
  return CTKShellList::OnChildNotify(message, wParam, lParam, result);
}

bool CLOGShellListCtrl::IsSoundFileName(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = name.substr(dot + 1);
  for (const char* sound : log_text::kSoundExtensions)
    if (strcasecmp(extension.c_str(), sound) == 0) return true;
  return false;
}

std::string CLOGShellListCtrl::FileNameOf(int row) const {
  if (row < 0 || !m_pFolder) return "";
  auto* info = reinterpret_cast<TKShellItemInfo*>(GetItemData(row));
  if (!info || !info->relative) return "";
  STRRET name{};
  char text[MAX_PATH] = {};
  if (FAILED(m_pFolder->GetDisplayNameOf(info->relative, SHGDN_INFOLDER | SHGDN_FORPARSING, &name)) ||
      FAILED(::StrRetToBufA(&name, info->relative, text, sizeof text)))
    return "";
  return text;
}

HRESULT CLOGShellListCtrl::ShowFolder(TKShellItemInfo* folder) {
  const HRESULT hr = CTKShellList::ShowFolder(folder);
  if (FAILED(hr) || !m_pFolder) return hr;
  // Folders and files of other kinds leave the list.
  SendMessage(WM_SETREDRAW, FALSE);
  for (int row = GetItemCount() - 1; row >= 0; --row) {
    auto* info = reinterpret_cast<TKShellItemInfo*>(GetItemData(row));
    bool keep = info && info->relative && IsSoundFileName(FileNameOf(row));
    if (keep) {
      SFGAOF attributes = SFGAO_FOLDER;
      LPCITEMIDLIST one = info->relative;
      if (SUCCEEDED(m_pFolder->GetAttributesOf(1, &one, &attributes)) && (attributes & SFGAO_FOLDER))
        keep = false;
    }
    if (!keep) DeleteItem(row);
  }
  SortByColumn(0, TRUE);
  // The names in full: the Name column as wide as the longest of them, never narrower
  // than its header or than it was made.
  const int made = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, 0));
  SendMessage(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE, 0));
  const int names = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, 0));
  SendMessage(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
  const int header = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, 0));
  SendMessage(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(std::max({made, names, header}), 0));
  SendMessage(WM_SETREDRAW, TRUE);
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return hr;
}
