#pragma once
// The command that opens the recording log, for the main frame: modal, at the output
// folder; Edit hands the chosen file to openDocument. The answer is the dialog's.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include "platform/afx/linux_headers_end.h"

INT_PTR RunRecordingLogDialog(CWnd* parent, const std::string& outputFolder,
                              std::function<void(const std::string&)> openDocument);
