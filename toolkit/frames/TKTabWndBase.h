#pragma once
// A tab window as the looks see it: its style, where its tabs are, which one is
// active and the images of the tabs. A tab window keeps this state here and nowhere
// else; the looks read it and ask the window for each tab's label, icon and colours.
#include "platform/afx/afxwin.h"

class CTKTabWndBase : public CWnd {
public:
  enum Style {
    kStyle3D,
    kStyleFlat,
    kStyle3DScrolled,
    kStyle3DOneNote,
    kStyle3DVS2005,
    kStyleSlanted,
    kStyleHalfSlanted
  };
  virtual ~CTKTabWndBase() = default;
  virtual int GetTabIcon(int tab) const { return -1; }
  virtual const char* GetTabLabel(int tab) const { return ""; }
  virtual COLORREF GetTabColor(int tab) const { return (COLORREF)-1; }
  virtual COLORREF GetTabTextColor(int tab) const { return (COLORREF)-1; }

  Style m_style = kStyle3D;
  // The tabs run along the bottom edge (else along the top).
  BOOL m_locationBottom = FALSE;
  // Labels drawn alone and centred in the tab, without images.
  BOOL m_labelsOnly = FALSE;
  // Labels drawn without turning '&' into an underline.
  BOOL m_hidePrefix = FALSE;
  BOOL m_centredLabels = FALSE;
  // The active tab, -1 for none; the tab under the mouse in a window that highlights it.
  int m_activeTab = -1;
  int m_highlightedTab = -1;
  // The face of the tabs, -1 for the bar face.
  COLORREF m_faceColor = (COLORREF)-1;
  // The images of the tabs and their size.
  HIMAGELIST m_imageList = nullptr;
  SIZE m_imageSize{16, 16};
};
