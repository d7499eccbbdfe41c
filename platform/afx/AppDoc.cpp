// The application's side of documents: templates, New and Open, the recent-file
// list and the command line.
#include "platform/afx/CommandLineInfo.h"
#include "platform/afx/DocManager.h"
#include "platform/afx/DocTemplate.h"
#include "platform/afx/Document.h"
#include "platform/afx/CmdUI.h"
#include "platform/afx/RecentFileList.h"
#include "platform/afx/WinApp.h"

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
  if (!m_pDocManager) m_pDocManager = new CDocManager;
  m_pDocManager->AddDocTemplate(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const char* path) {
  return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

BOOL CWinApp::OnCmdMsg(UINT id, int code, void* extra) {
  if (m_pRecentFileList) {
    const UINT first = m_pRecentFileList->GetFirstCommandId();
    const int index = static_cast<int>(id - first);
    if (id >= first && index < m_pRecentFileList->GetCount() && !(*m_pRecentFileList)[index].IsEmpty()) {
      if (code == static_cast<int>(CN_UPDATE_COMMAND_UI)) {
        if (extra) static_cast<CCmdUI*>(extra)->Enable(TRUE);
        return TRUE;
      }
      if (code == static_cast<int>(CN_COMMAND)) {
        if (extra) return TRUE;  // only asking whether a handler exists
        const CString path = (*m_pRecentFileList)[index];
        if (!OpenDocumentFile(path)) m_pRecentFileList->Remove(index);
        return TRUE;
      }
    }
  }
  return CWinThread::OnCmdMsg(id, code, extra);
}

void CWinApp::AddToRecentFileList(const char* path) {
  if (m_pRecentFileList) m_pRecentFileList->Add(path);
}

void CWinApp::LoadStdProfileSettings(UINT maxFiles) {
  if (maxFiles == 0 || m_pRecentFileList) return;
  m_pRecentFileList =
      new CRecentFileList(ID_FILE_MRU_FILE1, "Recent File List", "File%d", static_cast<int>(maxFiles));
  m_pRecentFileList->ReadList();
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog,
                               CDocTemplate* docTemplate) {
  return m_pDocManager &&
         m_pDocManager->DoPromptFileName(fileName, titleId, flags, openFileDialog, docTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  std::vector<CString> params = AfxSplitCommandLine(m_lpCmdLine);
  for (size_t i = 0; i < params.size(); ++i) {
    const CString& p = params[i];
    const BOOL flag = AfxIsCommandLineSwitch(p);
    const CString param = flag ? CString(static_cast<const char*>(p) + 1) : AfxCommandLineFileName(p);
    info.ParseParam(param, flag, i + 1 == params.size());
  }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      OnFileNew();
      return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(info.m_strFileName) != nullptr;
    default:
      return TRUE;
  }
}

void CWinApp::OnFileNew() {
  if (m_pDocManager) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
  if (m_pDocManager) m_pDocManager->OnFileOpen();
}

void CWinApp::ExitDocuments() {
  if (m_pRecentFileList) {
    m_pRecentFileList->WriteList();
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
  }
  delete m_pDocManager;
  m_pDocManager = nullptr;
}
