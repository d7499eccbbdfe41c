#include "options/log/LogCommands.h"

#include "options/log/LogFileDlg.h"
#include "toolkit/frames/ShellManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <memory>
#include "platform/afx/linux_headers_end.h"

INT_PTR RunRecordingLogDialog(CWnd* parent, const std::string& outputFolder,
                              std::function<void(const std::string&)> openDocument) {
  // The shell tree and list need the toolkit's shell manager; the program makes one at
  // start-up, and one is made here when it has not.
  std::unique_ptr<ShellManager> own;
  if (!g_pShellManager) own = std::make_unique<ShellManager>();
  CLogFileDlg dialog(outputFolder, std::move(openDocument), parent);
  const INT_PTR result = dialog.DoModal();
  return result;
}
