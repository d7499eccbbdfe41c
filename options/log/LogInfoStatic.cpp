#include "options/log/LogInfoStatic.h"

#include "options/log/LogText.h"

#include "player/PlayerMessages.h"
#include "player/PlayerTypes.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

void DrawPanel(HWND hwnd, HDC dc, HFONT font, const std::string& name, int total, int current) {
  RECT client;
  ::GetClientRect(hwnd, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_3DFACE));
  ::DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  char line[MAX_PATH + 32];
  std::snprintf(line, sizeof line, log_text::kNameFormat, name.c_str());
  ::TextOutA(dc, 4, 10, line, static_cast<int>(std::strlen(line)));
  std::snprintf(line, sizeof line, log_text::kTotalTimeFormat, total);
  ::TextOutA(dc, 4, 32, line, static_cast<int>(std::strlen(line)));
  std::snprintf(line, sizeof line, log_text::kCurrentTimeFormat, current);
  ::TextOutA(dc, 4, 54, line, static_cast<int>(std::strlen(line)));
  ::SelectObject(dc, oldFont);
  ::SetBkMode(dc, oldMode);
}

}  // namespace

BEGIN_MESSAGE_MAP(CLogInfoStatic, CWnd)
  ON_WM_PAINT()
  ON_MESSAGE(kNotifyState, OnEngineState)
  ON_MESSAGE(kNotifyFileInfo, OnFileInfo)
  ON_MESSAGE(kNotifyPosition, OnPosition)
END_MESSAGE_MAP()

CLogInfoStatic::~CLogInfoStatic() {
  if (m_hFont) ::DeleteObject(m_hFont);
}

void CLogInfoStatic::PreSubclassWindow() {
  CWnd::PreSubclassWindow();
  if (!m_hFont)
    m_hFont = ::CreateFontA(14, 0, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            log_text::kPanelFont);
}

void CLogInfoStatic::SetFileName(const std::string& name) {
  m_strFileName = name;
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CLogInfoStatic::OnPaint() {
  CPaintDC dc(this);
  DrawPanel(m_hWnd, dc, m_hFont, m_strFileName, m_nTotal, m_nCurrent);
}

LRESULT CLogInfoStatic::OnEngineState(WPARAM state, LPARAM) {
  if (m_onState) m_onState(static_cast<int>(state));
  return 1;
}

LRESULT CLogInfoStatic::OnFileInfo(WPARAM wParam, LPARAM) {
  auto* info = reinterpret_cast<PlayFileInfo*>(wParam);
  if (info) {
    m_nTotal = static_cast<int>(info->lengthSeconds);
    std::free(info);
  }
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  return 0;
}

LRESULT CLogInfoStatic::OnPosition(WPARAM wParam, LPARAM) {
  m_nCurrent = static_cast<int>(wParam);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ::UpdateWindow(m_hWnd);
  return 0;
}
