#pragma once
// Owners of GDI objects: pens, brushes, fonts, bitmaps and regions. Each wrapper
// deletes its handle when it is destroyed or re-created; a handle that could not be
// made leaves the wrapper empty.
#include <windows.h>

class CGdiObject {
public:
  CGdiObject() = default;
  virtual ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ m_hObject = nullptr;
  HGDIOBJ GetSafeHandle() const { return this ? m_hObject : nullptr; }
  operator HGDIOBJ() const { return m_hObject; }
  BOOL Attach(HGDIOBJ handle);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int size, void* buffer) const { return ::GetObjectA(m_hObject, size, buffer); }
};

class CPen : public CGdiObject {
public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  BOOL CreatePen(int style, int width, COLORREF color);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBitmap;

class CBrush : public CGdiObject {
public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  BOOL CreateSolidBrush(COLORREF color);
  BOOL CreatePatternBrush(CBitmap* bitmap);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
public:
  BOOL CreateFontIndirect(const LOGFONTA* logFont);
  int GetLogFont(LOGFONTA* logFont) const { return GetObject(sizeof(LOGFONTA), logFont); }
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBitmap : public CGdiObject {
public:
  BOOL LoadBitmap(HINSTANCE module, UINT id);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
  int GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CRgn : public CGdiObject {
public:
  BOOL CreateRectRgnIndirect(const RECT* rect);
  BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode);
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};

// A 32-bit top-down device-independent bitmap for drawing off screen and copying to a
// window. Unlike a bitmap compatible with a window's DC, making and selecting it asks
// nothing of the display (under wine each of those looks up the display devices
// through the server); on a true-colour screen it copies to the same pixels.
// Its pixels come back through bits when asked for.
HBITMAP CreateOffscreenBitmap(int width, int height, void** bits = nullptr);
