#include "options/sheet/PageGroup.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

CPageGroup::~CPageGroup() {
  if (!m_bAutoDelete) return;
  for (CWnd* page : m_pages) {
    if (page->m_hWnd) page->DestroyWindow();
    delete page;
  }
}

CWnd* CPageGroup::GetPage(int index) const {
  if (index < 0 || index >= GetPageCount()) return nullptr;
  return m_pages[static_cast<size_t>(index)];
}

bool CPageGroup::AddPage(CWnd* page) {
  if (!page) return false;
  m_pages.push_back(page);
  if (!page->m_hWnd) return true;
  RECT rect;
  page->GetWindowRect(&rect);
  RECT frame = m_rcFrame;
  if (HWND parent = ::GetParent(page->m_hWnd)) {
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&frame), 2);
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  int x = frame.left;
  int y = frame.top;
  if (m_bCenter) {
    x = std::max<int>(frame.left, frame.left + (frame.right - frame.left - width) / 2);
    y = std::max<int>(frame.top, frame.top + (frame.bottom - frame.top - height) / 2);
  }
  ::SetWindowPos(page->m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

bool CPageGroup::SetCurPage(int index) {
  if (index > GetPageCount() - 1) return false;
  m_nCurrent = index;
  return true;
}

bool CPageGroup::ShowPage(int index) {
  if (index > GetPageCount() - 1) return false;
  if (index != -1) {
    if (CWnd* current = GetPage(m_nCurrent)) {
      if (!current->m_hWnd) return false;
      current->ShowWindow(SW_HIDE);
    }
    m_nCurrent = index;
  } else if (m_nCurrent == -1) {
    m_nCurrent = 0;
  }
  CWnd* page = GetPage(m_nCurrent);
  if (!page || !page->m_hWnd) return false;
  ::SetWindowPos(page->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  return true;
}
