#include "app/view/RulerWnd.h"

#include "app/view/ShellServices.h"
#include "app/view/ViewInfo.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "core/model/TrackList.h"
#include "core/project/Project.h"
#include "core/model/WaveTrack.h"
#include "platform/afx/linux_headers_end.h"

const char* RegisterProgramWindowClass(const char* name, UINT style) {
  WNDCLASSA wc{};
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (::GetClassInfoA(instance, name, &wc)) return name;
  wc.style = style;
  wc.lpfnWndProc = AfxWndProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
  wc.lpszClassName = name;
  return ::RegisterClassA(&wc) ? name : nullptr;
}

COffscreen::~COffscreen() {
  End();
  if (m_hBitmap) ::DeleteObject(m_hBitmap);
}

bool COffscreen::Begin(HDC screen, int width, int height) {
  bool remade = false;
  if (!m_hBitmap || width > m_width || height > m_height) {
    if (width > m_width) m_width = width;
    if (height > m_height) m_height = height;
    if (m_hBitmap) ::DeleteObject(m_hBitmap);
    m_hBitmap = CreateOffscreenBitmap(m_width, m_height);
    remade = true;
  }
  m_hMemDC = ::CreateCompatibleDC(screen);
  m_hOld = ::SelectObject(m_hMemDC, m_hBitmap);
  return remade;
}

void COffscreen::End() {
  if (!m_hMemDC) return;
  ::SelectObject(m_hMemDC, m_hOld);
  ::DeleteDC(m_hMemDC);
  m_hMemDC = nullptr;
}

namespace {
void Fill(HDC dc, const RECT& r, COLORREF color) {
  HBRUSH brush = ::CreateSolidBrush(color);
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
}
void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
  HPEN pen = ::CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = ::SelectObject(dc, pen);
  ::MoveToEx(dc, x0, y0, nullptr);
  ::LineTo(dc, x1, y1);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}
}  // namespace

// --- time ruler ---------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CRulerHorzWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CRulerHorzWnd::CRulerHorzWnd() {
  m_ruler.SetFlip(true);
  m_ruler.SetFormat(Ruler::kTimeFormat);
}

BOOL CRulerHorzWnd::Create(CWnd* parent, UINT id, ViewInfo* info) {
  m_pViewInfo = info;
  const char* cls = RegisterProgramWindowClass("ZQYHorzRuler", CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS);
  return CWnd::Create(cls, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, parent, id);
}

void CRulerHorzWnd::OnPaint() {
  CPaintDC paint(this);
  RECT client;
  GetClientRect(&client);
  int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;
  m_image.Begin(paint.m_hDC, width, height);
  HDC dc = m_image.DC();
  const ColorSchemeOptions& scheme = GetColorScheme();
  Fill(dc, client, SchemeColor(scheme.ControlBar));
  Line(dc, 0, 0, width, 0, SchemeColor(scheme.DarkShade));
  Line(dc, 0, 1, width, 1, SchemeColor(scheme.LightShade));
  RECT inner{0, 8, width - 2, height};
  Fill(dc, inner, SchemeColor(scheme.DarkShade));
  Line(dc, inner.left, inner.top, inner.right - 1, inner.top, SchemeColor(scheme.DarkerShade));
  Line(dc, inner.left, inner.top, inner.left, inner.bottom, SchemeColor(scheme.DarkerShade));
  Line(dc, inner.right - 1, inner.top, inner.right - 1, inner.bottom, SchemeColor(scheme.DarkShade));
  if (m_pViewInfo) {
    RECT area{0, 8, width - 3, height};
    const ViewInfo& v = *m_pViewInfo;
    m_ruler.SetBounds(area.left, area.top, area.right, area.bottom - 3);
    m_ruler.SetRange(v.h - m_nOffset / v.zoom, v.h + (area.right - area.left) / v.zoom);
    m_ruler.Draw(dc);
  }
  ::BitBlt(paint.m_hDC, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  m_image.End();
}

// --- level ruler --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CRulerVertWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CRulerVertWnd::Create(CWnd* parent, UINT id, ViewInfo* info) {
  m_pViewInfo = info;
  const char* cls = RegisterProgramWindowClass("ZQYVertRuler", CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS);
  return CWnd::Create(cls, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, parent, id);
}

void CRulerVertWnd::OnPaint() {
  CPaintDC paint(this);
  RECT client;
  GetClientRect(&client);
  int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;
  m_image.Begin(paint.m_hDC, width, height);
  HDC dc = m_image.DC();
  const ColorSchemeOptions& scheme = GetColorScheme();
  Fill(dc, client, SchemeColor(scheme.ControlBar));
  TrackList* tracks = m_pProject ? m_pProject->GetTracks() : nullptr;
  if (!tracks || tracks->IsEmpty()) {
    // Scales beside the view's two placeholder bars.
    int h2 = (height - 8) / 2;
    const int tops[2] = {2, 5 + h2};
    const int bottoms[2] = {2 + h2, 6 + 2 * h2};
    for (int i = 0; i < 2; ++i) {
      m_ruler.SetBounds(2, tops[i] + 1, width - 2, bottoms[i] - 1);
      m_ruler.SetOrientation(Ruler::kVertical);
      m_ruler.SetRange(1.0, -1.0);
      m_ruler.SetFormat(Ruler::kRealFormat);
      m_ruler.SetLabelEdges(false);
      m_ruler.SetFlip(false);
      m_ruler.Draw(dc);
    }
  } else {
    int top = 0;
    TrackListIterator it(tracks);
    for (Track* t = it.First(); t; t = it.Next()) {
      RECT area{2, top + 1, width - 2, top + t->GetHeight() - 1};
      top += t->GetHeight();
      if (t->GetKind() != Track::Wave) continue;
      auto* wave = static_cast<WaveTrack*>(t);
      float min, max;
      wave->GetDisplayBounds(&min, &max);
      m_ruler.SetOrientation(Ruler::kVertical);
      m_ruler.SetFlip(false);
      switch (wave->GetDisplay()) {
        case 0:
          m_ruler.SetBounds(area.left, area.top + 1, area.right, area.bottom - 1);
          m_ruler.SetRange(max, min);
          m_ruler.SetFormat(Ruler::kRealFormat);
          m_ruler.SetLabelEdges(false);
          m_ruler.Draw(dc);
          break;
        case 1: {
          if (max <= 0) break;
          int areaHeight = area.bottom - area.top;
          int zero = areaHeight, topLine = 0;
          double topValue = 0.0, bottomValue = -36.0;
          double lo = min, hi = max;
          if (lo < 0) {
            zero = static_cast<int>(hi / (hi - lo) * areaHeight);
            lo = 0;
          }
          if (hi > 1.0) {
            topLine = static_cast<int>((hi - 1) / (hi - lo) * zero);
            hi = 1.0;
          } else if (hi < 1.0) {
            topValue = -(1 - hi) * 36;
          }
          if (lo > 0) bottomValue = -(1 - lo) * 36;
          if (topValue > bottomValue && zero > topLine + 10) {
            m_ruler.SetBounds(area.left, area.top + topLine + 1, area.right, area.top + zero - 1);
            m_ruler.SetRange(topValue, bottomValue);
            m_ruler.SetFormat(Ruler::kRealFormat);
            m_ruler.SetLabelEdges(true);
            m_ruler.Draw(dc);
          }
          break;
        }
        case 2: {
          if (area.bottom - area.top < 60) break;
          double r = wave->GetRate();
          int k = std::min(128, static_cast<int>(2048000.0 / r + 0.5));
          int f = static_cast<int>(k * r / 256 + 0.5);
          int g = static_cast<int>(r / 256);
          char text[32];
          SIZE size{};
          ::SetBkMode(dc, TRANSPARENT);
          auto right = [&](const char* s, int y) {
            ::GetTextExtentPoint32A(dc, s, lstrlenA(s), &size);
            ::TextOutA(dc, area.right - size.cx - 3, y, s, lstrlenA(s));
          };
          std::snprintf(text, sizeof text, "%dK", f / 1000);
          ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
          int th = size.cy;
          right(text, area.top + 2);
          right("Hz", area.top + th + 2);
          std::snprintf(text, sizeof text, "%d", g);
          right(text, area.bottom - (2 * th + 2));
          right("Hz", area.bottom - th - 2);
          break;
        }
        default:
          break;
      }
    }
  }
  ::BitBlt(paint.m_hDC, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  m_image.End();
}

// --- corner -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CRulerCross, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CRulerCross::Create(CWnd* parent, UINT id) {
  const char* cls = RegisterProgramWindowClass("ZQYRulerCross", CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS);
  return CWnd::Create(cls, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, parent, id);
}

void CRulerCross::OnPaint() {
  CPaintDC paint(this);
  RECT client;
  GetClientRect(&client);
  const ColorSchemeOptions& scheme = GetColorScheme();
  Fill(paint.m_hDC, client, SchemeColor(scheme.ControlBar));
  Line(paint.m_hDC, 0, 0, client.right, 0, SchemeColor(scheme.DarkShade));
  Line(paint.m_hDC, 0, 1, client.right, 1, SchemeColor(scheme.LightShade));
  Line(paint.m_hDC, client.right - 1, 8, client.right - 1, client.bottom, SchemeColor(scheme.DarkerShade));
}
