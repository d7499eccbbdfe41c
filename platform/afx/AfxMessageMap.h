#pragma once
// Message maps: each class that handles window messages or commands lists them in a
// static table; lookups walk from the most derived class to its bases.
#include <windows.h>

class CCmdTarget;
class CCmdUI;

typedef void (CCmdTarget::*AFX_PMSG)();

// Handler signatures the dispatcher knows.
enum AfxSig : UINT_PTR {
  AfxSig_end = 0,
  AfxSig_vv,        // void ()
  AfxSig_is,        // int (LPCREATESTRUCT)
  AfxSig_vwii,      // void (UINT, int, int)
  AfxSig_vt,        // void (UINT_PTR)
  AfxSig_lwl,       // LRESULT (WPARAM, LPARAM)
  AfxSig_cmdui,     // void (CCmdUI*)
  AfxSig_bv,        // BOOL ()
  AfxSig_vwwW,      // void (UINT, UINT, CWnd*)   scroll messages
  AfxSig_vNMHDRpl,  // void (NMHDR*, LRESULT*)    notifications
};

// A control's notification, offered back to the control itself before its parent
// handles it, arrives in the control's map as this base plus the message.
#define WM_REFLECT_BASE 0xBC00

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
};

struct AfxMessageMap {
  const AfxMessageMap* (*getBaseMap)();
  const AfxMessageMapEntry* entries;
};

#define DECLARE_MESSAGE_MAP()                                \
protected:                                                   \
  static const AfxMessageMap* GetThisMessageMap();           \
  const AfxMessageMap* GetMessageMap() const override;       \
                                                             \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                             \
  const AfxMessageMap* theClass::GetMessageMap() const {                   \
    return GetThisMessageMap();                                            \
  }                                                                        \
  const AfxMessageMap* theClass::GetThisMessageMap() {                     \
    typedef theClass ThisClass;                                            \
    typedef baseClass TheBaseClass;                                        \
    static const AfxMessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                  \
      {0, 0, 0, 0, AfxSig_end, nullptr}                                    \
    };                                                                     \
    static const AfxMessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                           \
  }

#define AFX_HANDLER(sig, type, fn) reinterpret_cast<AFX_PMSG>(static_cast<type>(fn))

#define ON_COMMAND(id, fn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_vv, \
   AFX_HANDLER(AfxSig_vv, void (CCmdTarget::*)(), &ThisClass::fn)},
#define ON_COMMAND_RANGE(id, lastId, fn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(lastId), AfxSig_vv, \
   AFX_HANDLER(AfxSig_vv, void (CCmdTarget::*)(), &ThisClass::fn)},
#define ON_UPDATE_COMMAND_UI(id, fn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), AfxSig_cmdui, \
   AFX_HANDLER(AfxSig_cmdui, void (CCmdTarget::*)(CCmdUI*), &ThisClass::fn)},
#define ON_MESSAGE(message, fn) \
  {(UINT)(message), 0, 0, 0, AfxSig_lwl, \
   AFX_HANDLER(AfxSig_lwl, LRESULT (CWnd::*)(WPARAM, LPARAM), &ThisClass::fn)},
#define ON_WM_CREATE() \
  {WM_CREATE, 0, 0, 0, AfxSig_is, \
   AFX_HANDLER(AfxSig_is, int (CWnd::*)(LPCREATESTRUCT), &ThisClass::OnCreate)},
#define ON_WM_DESTROY() \
  {WM_DESTROY, 0, 0, 0, AfxSig_vv, \
   AFX_HANDLER(AfxSig_vv, void (CWnd::*)(), &ThisClass::OnDestroy)},
#define ON_WM_PAINT() \
  {WM_PAINT, 0, 0, 0, AfxSig_vv, AFX_HANDLER(AfxSig_vv, void (CWnd::*)(), &ThisClass::OnPaint)},
#define ON_WM_CLOSE() \
  {WM_CLOSE, 0, 0, 0, AfxSig_vv, AFX_HANDLER(AfxSig_vv, void (CWnd::*)(), &ThisClass::OnClose)},
#define ON_WM_SIZE() \
  {WM_SIZE, 0, 0, 0, AfxSig_vwii, \
   AFX_HANDLER(AfxSig_vwii, void (CWnd::*)(UINT, int, int), &ThisClass::OnSize)},
#define ON_WM_HSCROLL() \
  {WM_HSCROLL, 0, 0, 0, AfxSig_vwwW, \
   AFX_HANDLER(AfxSig_vwwW, void (CWnd::*)(UINT, UINT, CWnd*), &ThisClass::OnHScroll)},
// In a control's map: a WM_NOTIFY with this code that the control sent its parent.
#define ON_NOTIFY_REFLECT(code, fn) \
  {WM_REFLECT_BASE + WM_NOTIFY, (UINT)(code), 0, 0, AfxSig_vNMHDRpl, \
   AFX_HANDLER(AfxSig_vNMHDRpl, void (CWnd::*)(NMHDR*, LRESULT*), &ThisClass::fn)},
#define ON_WM_TIMER() \
  {WM_TIMER, 0, 0, 0, AfxSig_vt, \
   AFX_HANDLER(AfxSig_vt, void (CWnd::*)(UINT_PTR), &ThisClass::OnTimer)},
