#pragma once
// One user-defined external tool bound to a command id: label, program, arguments,
// start folder and id (its registry record), starting the program, and the small
// icon of the program that menus and the customization pages show.
#include "platform/afx/afxwin.h"

class CTKUserTool : public CObject {
  DECLARE_SERIAL(CTKUserTool)

public:
  CTKUserTool() = default;
  ~CTKUserTool() override;

  // Archive record: label, command, arguments, initial directory, command id.
  void Serialize(CArchive& ar) override;
  // Starts the program; false when there is none or it could not be started.
  virtual BOOL Invoke();
  // A new text frees the old icon and loads the new program's one.
  void SetCommand(const char* command);
  const CString& GetCommand() const { return m_strCommand; }
  HICON GetIcon() const { return m_hIcon; }
  // The icon at its small size, centred in the rectangle.
  void DrawToolIcon(CDC* dc, const CRect& rect);
  // The icon on the button face as a bitmap on the clipboard; the user is told when
  // that fails.
  BOOL CopyIconToClipboard();
  // The icon every tool shows whose program gives none.
  static HICON DefaultIcon();

  CString m_strLabel;
  CString m_strArguments;
  CString m_strInitialDirectory;
  UINT m_uiCmdId = 0;

protected:
  virtual HICON LoadToolIcon();
  virtual HICON LoadDefaultIcon() { return DefaultIcon(); }
  virtual void DeleteIcon();

  CString m_strCommand;
  HICON m_hIcon = nullptr;
};
