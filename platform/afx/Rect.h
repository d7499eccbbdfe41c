#pragma once
// Point, size and rectangle values over the Win32 structures, with the arithmetic the
// drawing code uses.
#include <windows.h>

class CSize : public SIZE {
public:
  CSize() {
    cx = 0;
    cy = 0;
  }
  CSize(int x, int y) {
    cx = x;
    cy = y;
  }
  CSize(SIZE s) {
    cx = s.cx;
    cy = s.cy;
  }
  bool operator==(const SIZE& s) const { return cx == s.cx && cy == s.cy; }
  bool operator!=(const SIZE& s) const { return !(*this == s); }
};

class CPoint : public POINT {
public:
  CPoint() {
    x = 0;
    y = 0;
  }
  CPoint(int px, int py) {
    x = px;
    y = py;
  }
  CPoint(POINT p) {
    x = p.x;
    y = p.y;
  }
  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  bool operator==(const POINT& p) const { return x == p.x && y == p.y; }
  CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
};

class CRect : public RECT {
public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& r) {
    left = r.left;
    top = r.top;
    right = r.right;
    bottom = r.bottom;
  }
  CRect(const RECT* r) : CRect(*r) {}
  CRect(POINT p, SIZE s) {
    left = p.x;
    top = p.y;
    right = p.x + s.cx;
    bottom = p.y + s.cy;
  }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
  void SetRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  void SetRectEmpty() { left = top = right = bottom = 0; }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void InflateRect(int l, int t, int r, int b) {
    left -= l;
    top -= t;
    right += r;
    bottom += b;
  }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  void DeflateRect(int l, int t, int r, int b) {
    left += l;
    top += t;
    right -= r;
    bottom -= b;
  }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void NormalizeRect() {
    if (left > right) {
      LONG t = left;
      left = right;
      right = t;
    }
    if (top > bottom) {
      LONG t = top;
      top = bottom;
      bottom = t;
    }
  }
  BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
  operator RECT*() { return this; }
  operator const RECT*() const { return this; }
  bool operator==(const RECT& r) const { return ::EqualRect(this, &r) != 0; }
  bool operator!=(const RECT& r) const { return !(*this == r); }
};
