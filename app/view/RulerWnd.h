#pragma once
// The windows around the waveform view: the time ruler along the top, the level
// ruler down the left (one scale beside each track) and the corner where they meet.
// Each paints through an off-screen bitmap that only grows.
#include "app/view/Ruler.h"
#include "platform/afx/afxwin.h"

struct ViewInfo;
class Project;

// An off-screen image of at least a minimum size that only grows.
class COffscreen {
public:
  COffscreen(int minWidth, int minHeight) : m_width(minWidth), m_height(minHeight) {}
  ~COffscreen();
  COffscreen(const COffscreen&) = delete;
  COffscreen& operator=(const COffscreen&) = delete;
  // A memory DC with the bitmap selected, at least width x height; true when the
  // bitmap was (re)made.
  bool Begin(HDC screen, int width, int height);
  HDC DC() const { return m_hMemDC; }
  // The picture last drawn (null before the first Begin).
  HBITMAP Bitmap() const { return m_hBitmap; }
  void End();

private:
  int m_width;
  int m_height;
  HBITMAP m_hBitmap = nullptr;
  HDC m_hMemDC = nullptr;
  HGDIOBJ m_hOld = nullptr;
};

class CRulerHorzWnd : public CWnd {
public:
  CRulerHorzWnd();
  BOOL Create(CWnd* parent, UINT id, ViewInfo* info);
  int m_nOffset = 0;

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  Ruler m_ruler;
  ViewInfo* m_pViewInfo = nullptr;
  COffscreen m_image{200, 20};
  DECLARE_MESSAGE_MAP()
};

class CRulerVertWnd : public CWnd {
public:
  CRulerVertWnd() = default;
  BOOL Create(CWnd* parent, UINT id, ViewInfo* info);
  void SetProject(Project* project) { m_pProject = project; }

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  Ruler m_ruler;
  ViewInfo* m_pViewInfo = nullptr;
  Project* m_pProject = nullptr;
  COffscreen m_image{200, 30};
  DECLARE_MESSAGE_MAP()
};

class CRulerCross : public CWnd {
public:
  BOOL Create(CWnd* parent, UINT id);

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()
};

// Registers (once) a window class of the program: the given styles, the arrow
// cursor, no background, routed to the framework.
const char* RegisterProgramWindowClass(const char* name, UINT style);
