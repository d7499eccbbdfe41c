#include "toolkit/frames/TKOleIPFrameWnd.h"

#include "toolkit/frames/TKFrameWnd.h"

BEGIN_TEMPLATE_MESSAGE_MAP(CTKInPlaceFrame, TBase, TBase)
ON_TK_FRAME_MESSAGES()
END_MESSAGE_MAP
()

    template <class TBase>
    BOOL CTKInPlaceFrame<TBase>::LoadFrame(UINT resourceId, DWORD style, CWnd* parent,
                                           CCreateContext* context) {
  m_nLoadedResourceId = resourceId;
  return TBase::LoadFrame(resourceId, style, parent, context);
}

template <class TBase>
BOOL CTKInPlaceFrame<TBase>::OnCommand(WPARAM wParam, LPARAM lParam) {
  BOOL result = FALSE;
  if (m_Impl.PreCommand(wParam, &result)) return result;
  return TBase::OnCommand(wParam, lParam);
}

template <class TBase>
BOOL CTKInPlaceFrame<TBase>::PreTranslateMessage(MSG* msg) {
  BOOL passOn = FALSE;
  if (CTKFrameWnd::PreTranslateFor(this, m_Impl, msg, &passOn, TRUE)) return TRUE;
  return passOn ? TBase::PreTranslateMessage(msg) : FALSE;
}

template <class TBase>
LRESULT CTKInPlaceFrame<TBase>::OnMenuChar(WPARAM wParam, LPARAM) {
  return m_Impl.TakeMenuChar(LOWORD(wParam)) ? FrameHelper::kMenuCharTaken : this->Default();
}

template <class TBase>
LRESULT CTKInPlaceFrame<TBase>::OnCreateToolbar(WPARAM, LPARAM lParam) {
  return m_Impl.OnCreateToolbarMessage(lParam);
}

template <class TBase>
LRESULT CTKInPlaceFrame<TBase>::OnDeleteToolbar(WPARAM, LPARAM lParam) {
  return m_Impl.DeleteUserBar(reinterpret_cast<CWnd*>(lParam));
}

template <class TBase>
void CTKInPlaceFrame<TBase>::OnClose() {
  m_Impl.OnClosingFrame();
  TBase::OnClose();
}

template <class TBase>
void CTKInPlaceFrame<TBase>::OnDestroy() {
  m_Impl.OnInPlaceDestroy(&m_hwndPrevActiveFrame);
  TBase::OnDestroy();
}

template <class TBase>
void CTKInPlaceFrame<TBase>::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  TBase::OnActivate(state, other, minimized);
  m_Impl.OnInPlaceActivate(state, &m_hwndPrevActiveFrame);
}

template class CTKInPlaceFrame<COleIPFrameWnd>;
template class CTKInPlaceFrame<COleDocIPFrameWnd>;
