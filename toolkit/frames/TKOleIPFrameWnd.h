#pragma once
// The toolkit's in-place frames: the frame a server document shows inside a
// container's window (CTKOleIPFrameWnd) and the one of a document object
// (CTKOleDocIPFrameWnd). They behave as the single-document frame does (menu bar,
// popup menus, keys and clicks, user-defined toolbars) with these differences: the
// system keys belong to the container, nothing is placed from stored settings, the
// dock bars are the framework's own, and while one is active it is the library's
// active frame, the one popup menus and torn-off toolbars take as theirs.
#include "platform/afx/afxole.h"
#include "platform/afx/afxwin.h"
#include "toolkit/frames/FrameHelper.h"
#include "toolkit/frames/TKFrameSite.h"
#include "toolkit/frames/TKFrameWnd.h"

// What the two twins share, over either framework base.
template <class TBase>
class CTKInPlaceFrame : public TBase, public CTKFrameSite {
public:
  CTKInPlaceFrame() : m_Impl(this) {}

  // Remembers the resource id; no stored workspace state is loaded.
  BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr,
                 CCreateContext* context = nullptr) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Keys and clicks while a library popup menu is open; the system keys go on.
  BOOL PreTranslateMessage(MSG* msg) override;
  // Context help as in the single-document frame.
  void OnContextHelp() override { CTKFrameWnd::ContextHelpFor(this, m_inContextHelp); }
  void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT) override {
    if (!CTKFrameWnd::ContextHelpAgainFor(this, data, m_inContextHelp)) TBase::WinHelp(data, command);
  }

  FrameHelper& GetFrameHelper() override { return m_Impl; }
  UINT GetLoadedResourceId() const override { return m_nLoadedResourceId; }

  FrameHelper m_Impl;
  UINT m_nLoadedResourceId = 0;
  BOOL m_inContextHelp = FALSE;
  // The library's active frame before this one was activated.
  HWND m_hwndPrevActiveFrame = nullptr;

protected:
  DECLARE_TK_FRAME_HANDLERS()
  DECLARE_MESSAGE_MAP()
};

class CTKOleIPFrameWnd : public CTKInPlaceFrame<COleIPFrameWnd> {
public:
  CTKOleIPFrameWnd() = default;
};

class CTKOleDocIPFrameWnd : public CTKInPlaceFrame<COleDocIPFrameWnd> {
public:
  CTKOleDocIPFrameWnd() = default;
};
