#pragma once
// Message maps: each class that handles window messages or commands lists them in a
// static table; lookups walk from the most derived class to its bases. The
// dispatcher (CWnd::OnWndMsg) decodes wParam and lParam once, by the entry's
// signature, and calls the handler with the decoded arguments.
#include <windows.h>

class CCmdTarget;
class CCmdUI;

typedef void (CCmdTarget::*AFX_PMSG)();

// Handler signatures the dispatcher knows. The letters after "AfxSig_" give the
// result, then the arguments: v void, b BOOL, i int, l LRESULT, w UINT, h HBRUSH,
// p CPoint, W CWnd*, D CDC*, s short or a string, t UINT_PTR.
enum AfxSig : UINT_PTR {
  AfxSig_end = 0,
  AfxSig_vv,        // void ()
  AfxSig_is,        // int (LPCREATESTRUCT)
  AfxSig_vwii,      // void (UINT, int, int)                 WM_SIZE
  AfxSig_vt,        // void (UINT_PTR)                       WM_TIMER
  AfxSig_lwl,       // LRESULT (WPARAM, LPARAM)              ON_MESSAGE, registered messages
  AfxSig_cmdui,     // void (CCmdUI*)
  AfxSig_bv,        // BOOL ()
  AfxSig_vwwW,      // void (UINT, UINT, CWnd*)              scroll messages
  AfxSig_vNMHDRpl,  // void (NMHDR*, LRESULT*)               notifications
  AfxSig_vwp,       // void (UINT, CPoint)                   mouse buttons and moves, client and frame
  AfxSig_bwsp,      // BOOL (UINT, short, CPoint)            WM_MOUSEWHEEL
  AfxSig_iWww,      // int (CWnd*, UINT, UINT)               WM_MOUSEACTIVATE
  AfxSig_vwww,      // void (UINT, UINT, UINT)               keys
  AfxSig_bD,        // BOOL (CDC*)                           WM_ERASEBKGND
  AfxSig_bWww,      // BOOL (CWnd*, UINT, UINT)              WM_SETCURSOR
  AfxSig_vW,        // void (CWnd*)                          focus and capture changes
  AfxSig_vws,       // void (UINT, LPCSTR)                   WM_SETTINGCHANGE
  AfxSig_lp,        // LRESULT (CPoint)                      WM_NCHITTEST
  AfxSig_vbNc,      // void (BOOL, NCCALCSIZE_PARAMS*)       WM_NCCALCSIZE
  AfxSig_vMinMax,   // void (MINMAXINFO*)                    WM_GETMINMAXINFO
  AfxSig_vPos,      // void (WINDOWPOS*)                     WM_WINDOWPOSCHANGED/CHANGING
  AfxSig_vbw,       // void (BOOL, UINT)                     WM_SHOWWINDOW
  AfxSig_vb,        // void (BOOL)                           WM_ENABLE
  AfxSig_bb,        // BOOL (BOOL)                           WM_NCACTIVATE
  AfxSig_vwWb,      // void (UINT, CWnd*, BOOL)              WM_ACTIVATE
  AfxSig_hDWw,      // HBRUSH (CDC*, CWnd*, UINT)            the WM_CTLCOLOR* messages
  AfxSig_wv,        // UINT ()                               WM_GETDLGCODE
  AfxSig_vwl,       // void (UINT, LPARAM)                   WM_SYSCOMMAND
  AfxSig_vWp,       // void (CWnd*, CPoint)                  WM_CONTEXTMENU
};

// A control's notification, offered back to the control itself before its parent
// handles it, arrives in the control's map as this base plus the message.
#define WM_REFLECT_BASE 0xBC00

// The one map entry that takes every WM_CTLCOLOR* message; the handler learns which
// from its last argument (CTLCOLOR_BTN, CTLCOLOR_STATIC, ...).
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// Notification codes carried with WM_COMMAND routing.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

struct AfxMessageMapEntry {
  UINT message;
  UINT code;
  UINT id;
  UINT lastId;
  UINT_PTR signature;
  AFX_PMSG handler;
  // For a registered message: the variable holding its number, read at dispatch
  // time (the number is known only once the program runs).
  const UINT* registeredMessage;
};

struct AfxMessageMap {
  const AfxMessageMap* (*getBaseMap)();
  const AfxMessageMapEntry* entries;
};

// Stops the program over a programming error, naming it: writes the text to the
// standard error and the debugger, then aborts. A test may install a hook that is
// called first (it must not return, e.g. it throws); the previous hook comes back.
typedef void (*AfxFailureHook)(const char* text);
AfxFailureHook AfxSetFailureHook(AfxFailureHook hook);
[[noreturn]] void AfxFail(const char* text);

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
  static const AfxMessageMap* GetThisMessageMap();     \
  const AfxMessageMap* GetMessageMap() const override; \
                                                       \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
  const AfxMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AfxMessageMap* theClass::GetThisMessageMap() {                                 \
    typedef theClass ThisClass;                                                        \
    typedef baseClass TheBaseClass;                                                    \
    static const AfxMessageMapEntry entries[] = {
// The map of a class template whose base is its parameter.
#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, typeName, baseClass)  \
  template <class typeName>                                        \
  const AfxMessageMap* theClass<typeName>::GetMessageMap() const { \
    return GetThisMessageMap();                                    \
  }                                                                \
  template <class typeName>                                        \
  const AfxMessageMap* theClass<typeName>::GetThisMessageMap() {   \
    typedef theClass<typeName> ThisClass;                          \
    typedef baseClass TheBaseClass;                                \
    static const AfxMessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                       \
  { 0, 0, 0, 0, AfxSig_end, nullptr, nullptr }                                  \
  }                                                                             \
  ;                                                                             \
  static const AfxMessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &map;                                                                  \
  }

// The handler converted to the entry's type: a handler whose signature does not match
// the entry's is a compile error here.
#define AFX_HANDLER(type, fn) reinterpret_cast<AFX_PMSG>(static_cast<type>(fn))

// One entry for a window message without code or id, handled by fn of the given type.
#define AFX_MSG_ENTRY(message, sig, type, fn) \
  {(UINT)(message), 0, 0, 0, sig, AFX_HANDLER(type, &ThisClass::fn), nullptr},

// Commands, their user-interface updates and control notifications (WM_COMMAND).
#define ON_COMMAND(id, fn)                                                     \
  {WM_COMMAND, CN_COMMAND, (UINT)(id),                                         \
   (UINT)(id), AfxSig_vv,  AFX_HANDLER(void(CCmdTarget::*)(), &ThisClass::fn), \
   nullptr},
#define ON_COMMAND_RANGE(id, lastId, fn)                                           \
  {WM_COMMAND,     CN_COMMAND, (UINT)(id),                                         \
   (UINT)(lastId), AfxSig_vv,  AFX_HANDLER(void(CCmdTarget::*)(), &ThisClass::fn), \
   nullptr},
#define ON_UPDATE_COMMAND_UI(id, fn)                                                            \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id),                                                \
   (UINT)(id), AfxSig_cmdui,         AFX_HANDLER(void(CCmdTarget::*)(CCmdUI*), &ThisClass::fn), \
   nullptr},
// In a parent's map: the notification code a child control sends with WM_COMMAND.
#define ON_CONTROL(code, id, fn)                                                 \
  {WM_COMMAND, (UINT)(code), (UINT)(id),                                         \
   (UINT)(id), AfxSig_vv,    AFX_HANDLER(void(CCmdTarget::*)(), &ThisClass::fn), \
   nullptr},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)

// Any message, undecoded: LRESULT fn(WPARAM, LPARAM).
#define ON_MESSAGE(message, fn) AFX_MSG_ENTRY(message, AfxSig_lwl, LRESULT (CWnd::*)(WPARAM, LPARAM), fn)
// A message registered at run time; messageVariable holds its number by the time
// messages arrive.
#define ON_REGISTERED_MESSAGE(messageVariable, fn) \
  {0, 0, 0, 0, AfxSig_lwl, AFX_HANDLER(LRESULT(CWnd::*)(WPARAM, LPARAM), &ThisClass::fn), &(messageVariable)},

// Notifications (WM_NOTIFY): in the parent's map by code and control id, or in the
// control's own map (reflected) by code.
#define ON_NOTIFY(code, id, fn)                                                               \
  {WM_NOTIFY,  (UINT)(code),    (UINT)(id),                                                   \
   (UINT)(id), AfxSig_vNMHDRpl, AFX_HANDLER(void(CWnd::*)(NMHDR*, LRESULT*), &ThisClass::fn), \
   nullptr},
#define ON_NOTIFY_REFLECT(code, fn)                              \
  {WM_REFLECT_BASE + WM_NOTIFY,                                  \
   (UINT)(code),                                                 \
   0,                                                            \
   0,                                                            \
   AfxSig_vNMHDRpl,                                              \
   AFX_HANDLER(void(CWnd::*)(NMHDR*, LRESULT*), &ThisClass::fn), \
   nullptr},

// Life and layout.
#define ON_WM_CREATE() AFX_MSG_ENTRY(WM_CREATE, AfxSig_is, int (CWnd::*)(LPCREATESTRUCT), OnCreate)
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, AfxSig_vv, void (CWnd::*)(), OnDestroy)
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, AfxSig_vv, void (CWnd::*)(), OnClose)
#define ON_WM_SIZE() AFX_MSG_ENTRY(WM_SIZE, AfxSig_vwii, void (CWnd::*)(UINT, int, int), OnSize)
#define ON_WM_GETMINMAXINFO() \
  AFX_MSG_ENTRY(WM_GETMINMAXINFO, AfxSig_vMinMax, void (CWnd::*)(MINMAXINFO*), OnGetMinMaxInfo)
#define ON_WM_WINDOWPOSCHANGING() \
  AFX_MSG_ENTRY(WM_WINDOWPOSCHANGING, AfxSig_vPos, void (CWnd::*)(WINDOWPOS*), OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() \
  AFX_MSG_ENTRY(WM_WINDOWPOSCHANGED, AfxSig_vPos, void (CWnd::*)(WINDOWPOS*), OnWindowPosChanged)
#define ON_WM_SHOWWINDOW() AFX_MSG_ENTRY(WM_SHOWWINDOW, AfxSig_vbw, void (CWnd::*)(BOOL, UINT), OnShowWindow)
#define ON_WM_ENABLE() AFX_MSG_ENTRY(WM_ENABLE, AfxSig_vb, void (CWnd::*)(BOOL), OnEnable)
#define ON_WM_ACTIVATE() \
  AFX_MSG_ENTRY(WM_ACTIVATE, AfxSig_vwWb, void (CWnd::*)(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, AfxSig_vt, void (CWnd::*)(UINT_PTR), OnTimer)
#define ON_WM_SYSCOMMAND() \
  AFX_MSG_ENTRY(WM_SYSCOMMAND, AfxSig_vwl, void (CWnd::*)(UINT, LPARAM), OnSysCommand)
#define ON_WM_SYSCOLORCHANGE() AFX_MSG_ENTRY(WM_SYSCOLORCHANGE, AfxSig_vv, void (CWnd::*)(), OnSysColorChange)
#define ON_WM_SETTINGCHANGE() \
  AFX_MSG_ENTRY(WM_SETTINGCHANGE, AfxSig_vws, void (CWnd::*)(UINT, LPCSTR), OnSettingChange)
#define ON_WM_CANCELMODE() AFX_MSG_ENTRY(WM_CANCELMODE, AfxSig_vv, void (CWnd::*)(), OnCancelMode)
#define ON_WM_CAPTURECHANGED() \
  AFX_MSG_ENTRY(WM_CAPTURECHANGED, AfxSig_vW, void (CWnd::*)(CWnd*), OnCaptureChanged)

// Painting.
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, AfxSig_vv, void (CWnd::*)(), OnPaint)
#define ON_WM_ERASEBKGND() AFX_MSG_ENTRY(WM_ERASEBKGND, AfxSig_bD, BOOL (CWnd::*)(CDC*), OnEraseBkgnd)
#define ON_WM_CTLCOLOR() \
  AFX_MSG_ENTRY(WM_CTLCOLOR, AfxSig_hDWw, HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), OnCtlColor)

// The frame (non-client) area.
#define ON_WM_NCCALCSIZE() \
  AFX_MSG_ENTRY(WM_NCCALCSIZE, AfxSig_vbNc, void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*), OnNcCalcSize)
#define ON_WM_NCHITTEST() AFX_MSG_ENTRY(WM_NCHITTEST, AfxSig_lp, LRESULT (CWnd::*)(CPoint), OnNcHitTest)
#define ON_WM_NCPAINT() AFX_MSG_ENTRY(WM_NCPAINT, AfxSig_vv, void (CWnd::*)(), OnNcPaint)
#define ON_WM_NCACTIVATE() AFX_MSG_ENTRY(WM_NCACTIVATE, AfxSig_bb, BOOL (CWnd::*)(BOOL), OnNcActivate)
#define ON_WM_NCLBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_NCLBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() \
  AFX_MSG_ENTRY(WM_NCLBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() \
  AFX_MSG_ENTRY(WM_NCLBUTTONDBLCLK, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_NCRBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcRButtonDown)
#define ON_WM_NCRBUTTONUP() \
  AFX_MSG_ENTRY(WM_NCRBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcRButtonUp)
#define ON_WM_NCMOUSEMOVE() \
  AFX_MSG_ENTRY(WM_NCMOUSEMOVE, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnNcMouseMove)

// The mouse in the client area.
#define ON_WM_MOUSEMOVE() AFX_MSG_ENTRY(WM_MOUSEMOVE, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnMouseMove)
#define ON_WM_LBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_LBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MSG_ENTRY(WM_LBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() \
  AFX_MSG_ENTRY(WM_LBUTTONDBLCLK, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_RBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MSG_ENTRY(WM_RBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() \
  AFX_MSG_ENTRY(WM_RBUTTONDBLCLK, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_MBUTTONDOWN, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_MSG_ENTRY(WM_MBUTTONUP, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() \
  AFX_MSG_ENTRY(WM_MBUTTONDBLCLK, AfxSig_vwp, void (CWnd::*)(UINT, CPoint), OnMButtonDblClk)
#define ON_WM_MOUSEWHEEL() \
  AFX_MSG_ENTRY(WM_MOUSEWHEEL, AfxSig_bwsp, BOOL (CWnd::*)(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_MOUSEACTIVATE() \
  AFX_MSG_ENTRY(WM_MOUSEACTIVATE, AfxSig_iWww, int (CWnd::*)(CWnd*, UINT, UINT), OnMouseActivate)
#define ON_WM_MOUSELEAVE() AFX_MSG_ENTRY(WM_MOUSELEAVE, AfxSig_vv, void (CWnd::*)(), OnMouseLeave)
#define ON_WM_SETCURSOR() \
  AFX_MSG_ENTRY(WM_SETCURSOR, AfxSig_bWww, BOOL (CWnd::*)(CWnd*, UINT, UINT), OnSetCursor)
#define ON_WM_CONTEXTMENU() \
  AFX_MSG_ENTRY(WM_CONTEXTMENU, AfxSig_vWp, void (CWnd::*)(CWnd*, CPoint), OnContextMenu)

// The keyboard and the focus.
#define ON_WM_KEYDOWN() AFX_MSG_ENTRY(WM_KEYDOWN, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP() AFX_MSG_ENTRY(WM_KEYUP, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_SYSKEYDOWN() \
  AFX_MSG_ENTRY(WM_SYSKEYDOWN, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnSysKeyDown)
#define ON_WM_SYSKEYUP() AFX_MSG_ENTRY(WM_SYSKEYUP, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnSysKeyUp)
#define ON_WM_CHAR() AFX_MSG_ENTRY(WM_CHAR, AfxSig_vwww, void (CWnd::*)(UINT, UINT, UINT), OnChar)
#define ON_WM_GETDLGCODE() AFX_MSG_ENTRY(WM_GETDLGCODE, AfxSig_wv, UINT (CWnd::*)(), OnGetDlgCode)
#define ON_WM_SETFOCUS() AFX_MSG_ENTRY(WM_SETFOCUS, AfxSig_vW, void (CWnd::*)(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_MSG_ENTRY(WM_KILLFOCUS, AfxSig_vW, void (CWnd::*)(CWnd*), OnKillFocus)

// Scroll bars.
#define ON_WM_HSCROLL() AFX_MSG_ENTRY(WM_HSCROLL, AfxSig_vwwW, void (CWnd::*)(UINT, UINT, CWnd*), OnHScroll)
#define ON_WM_VSCROLL() AFX_MSG_ENTRY(WM_VSCROLL, AfxSig_vwwW, void (CWnd::*)(UINT, UINT, CWnd*), OnVScroll)
