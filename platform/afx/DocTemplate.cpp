#include "platform/afx/DocTemplate.h"

#include "platform/afx/CreateContext.h"
#include "platform/afx/Document.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/MDIChildWnd.h"
#include "platform/afx/View.h"
#include "platform/afx/WinApp.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {
  m_strDocStrings.LoadString(resourceId);
}

BOOL CDocTemplate::GetDocString(CString& text, DocStringIndex index) const {
  text.Empty();
  int start = 0;
  for (int i = 0; i < static_cast<int>(index); ++i) {
    int newline = m_strDocStrings.Find('\n', start);
    if (newline < 0) return FALSE;
    start = newline + 1;
  }
  int end = m_strDocStrings.Find('\n', start);
  text = m_strDocStrings.Mid(start, end < 0 ? -1 : end - start);
  return !text.IsEmpty();
}

CDocument* CDocTemplate::CreateNewDocument() {
  if (!m_pDocClass) return nullptr;
  CObject* object = m_pDocClass->CreateObject();
  auto* doc = dynamic_cast<CDocument*>(object);
  if (!doc) {
    delete object;
    return nullptr;
  }
  AddDocument(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
  if (!m_pFrameClass) return nullptr;
  CCreateContext context;
  context.m_pCurrentFrame = other;
  context.m_pCurrentDoc = doc;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pNewDocTemplate = this;
  CObject* object = m_pFrameClass->CreateObject();
  auto* frame = dynamic_cast<CFrameWnd*>(object);
  if (!frame) {
    delete object;
    return nullptr;
  }
  // A frame that fails to load deletes itself with its window.
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
    return nullptr;
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible) {
  frame->InitialUpdateFrame(doc, makeVisible);
}

void CDocTemplate::AddDocument(CDocument* doc) { doc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* doc) {
  if (doc->m_pDocTemplate == this) doc->m_pDocTemplate = nullptr;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
  while (GetDocumentCount() > 0) {
    CDocument* doc = GetDocument(0);
    doc->OnCloseDocument();
    if (GetDocumentCount() > 0 && GetDocument(0) == doc) RemoveDocument(doc);
  }
}

BOOL CDocTemplate::SaveAllModified() {
  for (int i = 0; i < GetDocumentCount(); ++i)
    if (!GetDocument(i)->SaveModified()) return FALSE;
  return TRUE;
}

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                                       const CRuntimeClass* frameClass, const CRuntimeClass* viewClass)
    : CDocTemplate(resourceId, docClass, frameClass, viewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
  if (m_pOnlyDoc) m_pOnlyDoc->m_pDocTemplate = nullptr;
}

void CSingleDocTemplate::AddDocument(CDocument* doc) {
  CDocTemplate::AddDocument(doc);
  m_pOnlyDoc = doc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc) {
  CDocTemplate::RemoveDocument(doc);
  if (m_pOnlyDoc == doc) m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* doc) {
  CString title;
  if (!GetDocString(title, docName) && !title.LoadString(AFX_IDS_UNTITLED)) title = "Untitled";
  doc->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path, BOOL makeVisible) {
  CDocument* doc = m_pOnlyDoc;
  CFrameWnd* frame = nullptr;
  bool created = false;
  if (doc) {
    if (!doc->SaveModified()) return nullptr;
    frame = doc->GetFirstFrame();
  } else {
    doc = CreateNewDocument();
    if (!doc) return nullptr;
    created = true;
  }
  if (!frame) {
    frame = CreateNewFrame(doc, nullptr);
    if (!frame) {
      if (created) delete doc;
      return nullptr;
    }
    CWinApp* app = AfxGetApp();
    if (created && app && !app->m_pMainWnd) app->m_pMainWnd = frame;
  }

  if (!path) {
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
      if (created) frame->DestroyWindow();
      return nullptr;
    }
  } else if (!doc->OnOpenDocument(path)) {
    // The document may hold part of the file or the previous contents: it becomes a
    // new, untitled one, so no later Save goes to the file that failed or to the
    // file the document held before.
    doc->m_strPathName.Empty();
    SetDefaultTitle(doc);
    doc->OnNewDocument();
    InitialUpdateFrame(frame, doc, makeVisible);
    return nullptr;
  } else {
    doc->SetPathName(path);
  }
  InitialUpdateFrame(frame, doc, makeVisible);
  return doc;
}

CMultiDocTemplate::CMultiDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                                     const CRuntimeClass* frameClass, const CRuntimeClass* viewClass)
    : CDocTemplate(resourceId, docClass, frameClass, viewClass) {
  HINSTANCE instance = AfxGetInstanceHandle();
  m_hMenuShared = ::LoadMenuA(instance, MAKEINTRESOURCEA(resourceId));
  m_hAccelTable = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
}

CMultiDocTemplate::~CMultiDocTemplate() {
  for (CDocument* doc : m_docs) CDocTemplate::RemoveDocument(doc);
  if (m_hMenuShared && ::IsMenu(m_hMenuShared)) ::DestroyMenu(m_hMenuShared);
  // The user's keys may have replaced the resource's table with one of their own.
  if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
}

CDocument* CMultiDocTemplate::GetDocument(int index) const {
  return index >= 0 && index < GetDocumentCount() ? m_docs[static_cast<size_t>(index)] : nullptr;
}

void CMultiDocTemplate::AddDocument(CDocument* doc) {
  CDocTemplate::AddDocument(doc);
  m_docs.push_back(doc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* doc) {
  CDocTemplate::RemoveDocument(doc);
  for (auto it = m_docs.begin(); it != m_docs.end(); ++it) {
    if (*it == doc) {
      m_docs.erase(it);
      break;
    }
  }
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* doc) {
  CString title;
  if (!GetDocString(title, docName) && !title.LoadString(AFX_IDS_UNTITLED)) title = "Untitled";
  CString numbered;
  numbered.Format("%s%u", static_cast<const char*>(title), ++m_nUntitledCount);
  doc->SetTitle(numbered);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const char* path, BOOL makeVisible) {
  CDocument* doc = CreateNewDocument();
  if (!doc) return nullptr;
  CFrameWnd* frame = CreateNewFrame(doc, nullptr);
  if (!frame) {
    RemoveDocument(doc);
    delete doc;
    return nullptr;
  }
  if (!path) {
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
      frame->DestroyWindow();
      return nullptr;
    }
  } else if (!doc->OnOpenDocument(path)) {
    // Nothing of a file that failed stays open.
    frame->DestroyWindow();
    return nullptr;
  } else {
    doc->SetPathName(path);
  }
  InitialUpdateFrame(frame, doc, makeVisible);
  // The new document's window becomes the one the user works in.
  if (auto* child = dynamic_cast<CMDIChildWnd*>(frame); child && makeVisible) child->ActivateFrame();
  return doc;
}
