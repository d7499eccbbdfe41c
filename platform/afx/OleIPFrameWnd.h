#pragma once
// The frame a server document shows inside a container's window while it is active
// in place: a child frame of the window the container's site names, with its own
// bars around the object's area, and the active-object interface through which the
// container passes on its own activation and the keys of its message loop.
#include "platform/afx/FrameWnd.h"
#include "platform/afx/OleInit.h"

class COleIPFrameWnd : public CFrameWnd {
  DECLARE_DYNAMIC(COleIPFrameWnd)

public:
  COleIPFrameWnd();
  ~COleIPFrameWnd() override;

  // In-place activation with the container behind site: the site must agree, gives
  // the window to live in and its frame and document windows; the frame is loaded
  // from resourceId as a child of that window, makes its bars, takes the object's
  // place and becomes the container's active object (its UI active, WM_ACTIVATE
  // with WA_ACTIVE). FALSE, with the site told, when any step fails.
  BOOL ActivateInPlace(IOleInPlaceSite* site, UINT resourceId, CCreateContext* context = nullptr);
  // Ends the activation: the UI deactivates (WM_ACTIVATE with WA_INACTIVE), the
  // site is told and the frame's window goes (the frame deletes itself).
  void DeactivateInPlace();
  BOOL IsUIActive() const { return m_bUIActive; }

  // Called once the frame's window exists, with the container's frame window and its
  // document window (null when the container has none): the bars are made here.
  virtual BOOL OnCreateControlBars(CWnd* containerFrame, CWnd* containerDoc);
  // The object's area (posRect) and the part of the container's window it may show
  // in (clipRect), both in that window's client coordinates. The area is what the
  // frame leaves to its view: the frame grows around it by the room its bars take,
  // and shows only inside the clip rectangle.
  virtual void RepositionFrame(LPCRECT posRect, LPCRECT clipRect);

  // The interface the container holds while the object is UI active.
  IOleInPlaceActiveObject* GetInPlaceActiveObject();
  IOleInPlaceSite* GetInPlaceSite() const { return m_pSite; }
  HWND GetContainerFrameWindow() const;

protected:
  // Tells the container about the end of the UI activation (once).
  void DeactivateUI();
  // Shows the frame at rect (in the container window's coordinates) cut to clipRect.
  void PlaceFrame(const RECT& rect, LPCRECT clipRect);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  class ActiveObject;
  void ReleaseContainer();

  ActiveObject* m_pActiveObject;
  IOleInPlaceSite* m_pSite = nullptr;
  IOleInPlaceFrame* m_pContainerFrame = nullptr;
  IOleInPlaceUIWindow* m_pContainerDoc = nullptr;
  BOOL m_bUIActive = FALSE;
};
