#include "toolkit/frames/TearOffManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include "platform/afx/linux_headers_end.h"

TearOffManager* g_pTearOffManager = nullptr;

namespace {
constexpr char kMarker = 1;

CString MenuItemText(HMENU menu, int position) {
  CString text;
  int length = ::GetMenuStringA(menu, position, nullptr, 0, MF_BYPOSITION);
  if (length > 0) {
    ::GetMenuStringA(menu, position, text.GetBuffer(length + 1), length + 1, MF_BYPOSITION);
    text.ReleaseBuffer();
  }
  return text;
}
}  // namespace

void TearOffManager::SetRange(UINT firstId, UINT lastId) {
  m_counts.RemoveAll();
  if (firstId == 0 || lastId < firstId) {
    m_first = m_last = 0;
    return;
  }
  m_first = firstId;
  m_last = lastId;
  m_counts.SetSize(static_cast<int>(lastId - firstId + 1));
  for (int i = 0; i < m_counts.GetSize(); ++i) m_counts[i] = 0;
}

UINT TearOffManager::GetFreeId() {
  if (m_first == 0) return 0;
  for (int i = 0; i < m_counts.GetSize(); ++i) {
    if (m_counts[i] == 0) {
      m_counts[i] = 1;
      return m_first + i;
    }
  }
  return 0;
}

void TearOffManager::AssignIds(HMENU menu) {
  int count = ::GetMenuItemCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    HMENU sub = ::GetSubMenu(menu, pos);
    if (!sub) continue;
    UINT state = ::GetMenuState(menu, pos, MF_BYPOSITION);
    CString text = MenuItemText(menu, pos);
    if ((state & MF_MENUBARBREAK) && (text.IsEmpty() || text[0] != kMarker)) {
      UINT id = GetFreeId();
      if (!id) return;
      PrefixItemText(id, text);
      // Rewriting the item keeps its submenu: a tear-off item still opens its popup,
      // and the toolbar code reads the marker from the text.
      ::ModifyMenuA(menu, pos, MF_BYPOSITION | MF_STRING | MF_POPUP | (state & MF_MENUBARBREAK),
                    reinterpret_cast<UINT_PTR>(sub), text);
    }
    AssignIds(sub);
  }
}

void TearOffManager::ReleaseIds(HMENU menu) {
  if (!menu) {
    for (int i = 0; i < m_counts.GetSize(); ++i) m_counts[i] = 0;
    return;
  }
  int count = ::GetMenuItemCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    CString text = MenuItemText(menu, pos);
    if (UINT id = ReadIdFromText(text)) {
      if (id >= m_first && id <= m_last && m_first) m_counts[static_cast<int>(id - m_first)] = 0;
    }
    if (HMENU sub = ::GetSubMenu(menu, pos)) ReleaseIds(sub);
  }
}

void TearOffManager::ChangeUseCount(UINT id, BOOL increase) {
  if (!m_first || id < m_first || id > m_last) return;
  int& n = m_counts.ElementAt(static_cast<int>(id - m_first));
  if (increase)
    ++n;
  else if (n > 0)
    --n;
}

int TearOffManager::UseCount(UINT id) const {
  if (!m_first || id < m_first || id > m_last) return 0;
  return m_counts.GetAt(static_cast<int>(id - m_first));
}

UINT TearOffManager::ReadIdFromText(CString& text) {
  if (text.IsEmpty() || text[0] != kMarker) return 0;
  int second = text.Find(kMarker, 1);
  if (second < 0) return 0;
  UINT id = static_cast<UINT>(std::strtoul(text.Mid(1, second - 1), nullptr, 10));
  text = text.Mid(second + 1);
  return id;
}

void TearOffManager::PrefixItemText(UINT id, CString& text) {
  CString marked;
  marked.Format("%c%d%c%s", kMarker, static_cast<int>(id), kMarker, static_cast<const char*>(text));
  text = marked;
}
