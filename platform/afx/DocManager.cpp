#include "platform/afx/DocManager.h"

#include "platform/afx/DocTemplate.h"
#include "platform/afx/Document.h"
#include "platform/afx/WinApp.h"

#include <commdlg.h>

CDocManager::~CDocManager() {
  for (CDocTemplate* t : m_templates) delete t;
}

void CDocManager::AddDocTemplate(CDocTemplate* docTemplate) {
  if (docTemplate) m_templates.push_back(docTemplate);
}

void CDocManager::OnFileNew() {
  if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
  CString name;
  if (!DoPromptFileName(name, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr)) return;
  if (CWinApp* app = AfxGetApp()) app->OpenDocumentFile(name);
}

CDocument* CDocManager::OpenDocumentFile(const char* path) {
  if (m_templates.empty()) return nullptr;
  return m_templates.front()->OpenDocumentFile(path);
}

BOOL CDocManager::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog,
                                   CDocTemplate*) {
  char buffer[MAX_PATH] = {};
  lstrcpynA(buffer, fileName, MAX_PATH);
  CString title;
  title.LoadString(titleId);
  static const char kFilter[] = "All Files (*.*)\0*.*\0";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  CWinApp* app = AfxGetApp();
  ofn.hwndOwner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = title.IsEmpty() ? nullptr : static_cast<const char*>(title);
  ofn.Flags = flags | OFN_EXPLORER;
  BOOL ok = openFileDialog ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
  if (ok) fileName = buffer;
  return ok;
}

BOOL CDocManager::SaveAllModified() {
  for (CDocTemplate* t : m_templates)
    if (!t->SaveAllModified()) return FALSE;
  return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL endSession) {
  for (CDocTemplate* t : m_templates) t->CloseAllDocuments(endSession);
}
