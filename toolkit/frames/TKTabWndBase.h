#pragma once
// A tab window as the looks see it.
#include "platform/afx/afxwin.h"

class CTKTabWndBase : public CWnd {
public:
  enum Style { kStyle3D, kStyleFlat, kStyle3DScrolled, kStyle3DOneNote, kStyle3DVS2005,
               kStyleSlanted, kStyleHalfSlanted };
  virtual ~CTKTabWndBase() = default;
  virtual int GetTabIcon(int tab) const { return -1; }
  virtual const char* GetTabLabel(int tab) const { return ""; }
  virtual COLORREF GetTabColor(int tab) const { return (COLORREF)-1; }
  virtual COLORREF GetTabTextColor(int tab) const { return (COLORREF)-1; }
  Style style = kStyle3D;
  BOOL locationBottom = FALSE;
  BOOL labelsOnly = FALSE;
  BOOL hidePrefix = FALSE;
  BOOL centredLabels = FALSE;
  int activeTab = 0;
  COLORREF faceColor = (COLORREF)-1;
  HIMAGELIST imageList = nullptr;
  SIZE imageSize{16, 16};
};
