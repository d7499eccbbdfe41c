#pragma once
// One user-defined external tool bound to a command id: the part the tools manager and
// its registry record need (label, program, arguments, start folder, id, and starting
// the program). The tool's icon comes with the customization pages.
#include "platform/afx/afxwin.h"

class CTKUserTool : public CObject {
  DECLARE_SERIAL(CTKUserTool)

public:
  CTKUserTool() = default;

  // Archive record: label, command, arguments, initial directory, command id.
  void Serialize(CArchive& ar) override;
  // Starts the program; false when there is none or it could not be started.
  virtual BOOL Invoke();
  void SetCommand(const char* command);
  const CString& GetCommand() const { return m_strCommand; }

  CString m_strLabel;
  CString m_strArguments;
  CString m_strInitialDirectory;
  UINT m_uiCmdId = 0;

protected:
  CString m_strCommand;
};
