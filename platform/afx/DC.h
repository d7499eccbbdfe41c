#pragma once
// A device context: a thin owner of an HDC with the drawing calls the toolkit uses.
// A CDC made with CreateCompatibleDC deletes its DC; one attached to a DC of
// somebody else (Attach, the CDC(HDC) constructor) leaves it alone.
#include <windows.h>

#include "platform/afx/GdiObject.h"
#include "platform/afx/Rect.h"

class CWnd;

class CDC {
public:
  CDC() = default;
  explicit CDC(HDC dc) : m_hDC(dc) {}
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;
  operator HDC() const { return m_hDC; }
  // The DC of an object that exists; for a pointer that may be null, use AfxGetSafeHdc.
  HDC GetSafeHdc() const { return m_hDC; }

  BOOL Attach(HDC dc);
  HDC Detach();
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();
  // The window the DC belongs to (null for memory DCs); a temporary object for
  // windows not made by the framework.
  CWnd* GetWindow() const;

  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  HGDIOBJ SelectObject(const CGdiObject* object) { return ::SelectObject(m_hDC, object->m_hObject); }
  HGDIOBJ SelectStockObject(int index) { return ::SelectObject(m_hDC, ::GetStockObject(index)); }
  int SelectClipRgn(CRgn* region) { return ::SelectClipRgn(m_hDC, region ? (HRGN)*region : nullptr); }

  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
  DWORD GetLayout() const { return ::GetLayout(m_hDC); }
  BOOL GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm); }
  CPoint SetWindowOrg(int x, int y);
  CPoint OffsetWindowOrg(int dx, int dy);

  void FillRect(const RECT* rect, CBrush* brush) { ::FillRect(m_hDC, rect, *brush); }
  void FillRect(const RECT* rect, HBRUSH brush) { ::FillRect(m_hDC, rect, brush); }
  // Fills with one colour; the background colour is put back afterwards.
  void FillSolidRect(const RECT* rect, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  void FrameRect(const RECT* rect, CBrush* brush) { ::FrameRect(m_hDC, rect, *brush); }
  // One-pixel frame: top and left lines in the first colour, right and bottom in the second.
  void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
  BOOL DrawEdge(RECT* rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }
  BOOL DrawFrameControl(RECT* rect, UINT type, UINT state) {
    return ::DrawFrameControl(m_hDC, rect, type, state);
  }
  void DrawFocusRect(const RECT* rect) { ::DrawFocusRect(m_hDC, rect); }

  BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
  }
  BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  CPoint MoveTo(int x, int y);
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
  BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }

  int DrawText(const char* text, int count, RECT* rect, UINT format) {
    return ::DrawTextA(m_hDC, text, count, rect, format);
  }
  BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT count) {
    return ::ExtTextOutA(m_hDC, x, y, options, rect, text, count, nullptr);
  }
  CSize GetTextExtent(const char* text, int count) const;

private:
  bool m_bOwned = false;
};

// The client-area DC of a window, released on destruction.
class CClientDC : public CDC {
public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

private:
  HWND m_hWnd;
};

// The whole-window DC (non-client area included), released on destruction.
class CWindowDC : public CDC {
public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;

private:
  HWND m_hWnd;
};

// The DC of dc, or null for no object.
inline HDC AfxGetSafeHdc(const CDC* dc) { return dc ? dc->m_hDC : nullptr; }
