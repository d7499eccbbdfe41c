#include "toolkit/frames/TKUserTool.h"

#include <shellapi.h>

IMPLEMENT_SERIAL(CTKUserTool, CObject, 1)

void CTKUserTool::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_strLabel << m_strCommand << m_strArguments << m_strInitialDirectory
       << static_cast<DWORD>(m_uiCmdId);
  } else {
    CString command;
    DWORD id;
    ar >> m_strLabel >> command >> m_strArguments >> m_strInitialDirectory >> id;
    m_uiCmdId = id;
    SetCommand(command);
  }
}

void CTKUserTool::SetCommand(const char* command) {
  if (m_strCommand != command) m_strCommand = command;
}

BOOL CTKUserTool::Invoke() {
  if (m_strCommand.IsEmpty()) return FALSE;
  CWnd* main = AfxGetMainWnd();
  HINSTANCE result = ::ShellExecuteA(main ? main->m_hWnd : nullptr, nullptr, m_strCommand, m_strArguments,
                                     m_strInitialDirectory, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) >= 32;
}
