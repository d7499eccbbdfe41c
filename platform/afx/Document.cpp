#include "platform/afx/Document.h"

#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/DocTemplate.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/View.h"
#include "platform/afx/WinApp.h"

#include <commdlg.h>

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
  ON_COMMAND(ID_FILE_SAVE, OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument() {
  // Views that outlive their document must not reach it.
  for (CView* view : m_views) view->m_pDocument = nullptr;
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title) {
  m_strTitle = title;
  for (CView* view : m_views)
    if (CFrameWnd* frame = view->GetParentFrame()) frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(const char* path, BOOL addToRecentFiles) {
  m_strPathName = path;
  CString name = path;
  int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  SetTitle(slash >= 0 ? name.Mid(slash + 1) : name);
  if (addToRecentFiles)
    if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(path);
}

void CDocument::AddView(CView* view) {
  if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
  m_views.push_back(view);
  view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
  auto it = std::find(m_views.begin(), m_views.end(), view);
  if (it == m_views.end()) return;
  m_views.erase(it);
  view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
  for (CView* view : std::vector<CView*>(m_views))
    if (view != sender) view->OnUpdate(sender, hint, hintObject);
}

CFrameWnd* CDocument::GetFirstFrame() const {
  return m_views.empty() ? nullptr : m_views.front()->GetParentFrame();
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(const char*) { return FALSE; }
BOOL CDocument::OnSaveDocument(const char*) { return FALSE; }

void CDocument::OnCloseDocument() {
  BOOL autoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;  // the frames' destruction must not delete us half-way
  std::vector<CFrameWnd*> frames;
  for (CView* view : m_views)
    if (CFrameWnd* frame = view->GetParentFrame())
      if (std::find(frames.begin(), frames.end(), frame) == frames.end()) frames.push_back(frame);
  for (CFrameWnd* frame : frames) frame->DestroyWindow();
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

BOOL CDocument::SaveModified() {
  if (!IsModified()) return TRUE;
  CString name = m_strPathName;
  if (name.IsEmpty()) name = m_strTitle;
  int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  if (slash >= 0) name = name.Mid(slash + 1);
  CString text;
  if (!text.LoadString(AFX_IDP_ASK_TO_SAVE)) text = "Save changes to %1?";
  int at = text.Find("%1");
  if (at >= 0) text = text.Left(at) + name + text.Mid(at + 2);
  switch (AfxMessageBox(text, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
      return FALSE;
    case IDYES:
      return DoFileSave();
    default:
      return TRUE;
  }
}

BOOL CDocument::CanCloseFrame(CFrameWnd*) { return SaveModified(); }

BOOL CDocument::DoFileSave() {
  if (m_strPathName.IsEmpty()) return DoSave(nullptr);
  DWORD attributes = ::GetFileAttributesA(m_strPathName);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return DoSave(nullptr);
  return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(const char* path, BOOL replace) {
  CString newName = path ? path : "";
  const bool asked = newName.IsEmpty();
  if (asked) {
    newName = m_strPathName;
    if (replace && newName.IsEmpty()) newName = m_strTitle;
    CWinApp* app = AfxGetApp();
    if (!app || !app->DoPromptFileName(newName, replace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                       OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, m_pDocTemplate))
      return FALSE;
  }
  const bool existed = ::GetFileAttributesA(newName) != INVALID_FILE_ATTRIBUTES;
  if (!OnSaveDocument(newName)) {
    // A file made for this save only is not left behind half-written; a file that
    // was there before is the user's and stays.
    if (asked && !existed) ::DeleteFileA(newName);
    return FALSE;
  }
  if (replace) SetPathName(newName);
  return TRUE;
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(nullptr); }
