#include "platform/afx/CmdUI.h"

#include "platform/afx/CmdTarget.h"

BOOL CCmdUI::DoUpdate(CCmdTarget* target) {
  if (!target || m_nID == 0) return FALSE;
  m_bEnableChanged = FALSE;
  return target->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this);
}
