#include "platform/afx/GdiObject.h"

BOOL CGdiObject::Attach(HGDIOBJ handle) {
  if (!handle) return FALSE;
  DeleteObject();
  m_hObject = handle;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ handle = m_hObject;
  m_hObject = nullptr;
  return handle;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  BOOL ok = ::DeleteObject(Detach());
  return ok;
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
  DeleteObject();
  return Attach(::CreatePen(style, width, color));
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
  DeleteObject();
  return Attach(::CreateSolidBrush(color));
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
  DeleteObject();
  return bitmap && Attach(::CreatePatternBrush(static_cast<HBITMAP>(bitmap->m_hObject)));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont) {
  DeleteObject();
  return Attach(::CreateFontIndirectA(logFont));
}

BOOL CBitmap::LoadBitmap(HINSTANCE module, UINT id) {
  DeleteObject();
  return Attach(::LoadBitmapA(module, MAKEINTRESOURCEA(id)));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  DeleteObject();
  return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
  DeleteObject();
  return Attach(::CreateCompatibleBitmap(dc, width, height));
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rect) {
  DeleteObject();
  return Attach(::CreateRectRgnIndirect(rect));
}

BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  DeleteObject();
  return Attach(::CreatePolygonRgn(points, count, fillMode));
}

HBITMAP CreateOffscreenBitmap(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* unused = nullptr;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits ? bits : &unused, nullptr, 0);
}
