#pragma once
// Document templates: a resource id with its document string, and the runtime
// classes of the document, frame and view that the template makes together. The
// single-document template keeps one document and one frame and reuses them for
// every New and Open.
#include "platform/afx/CmdTarget.h"
#include "platform/afx/String.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)

public:
  // The parts of the document string (string resource id), separated by '\n'.
  enum DocStringIndex {
    windowTitle,
    docName,
    fileNewName,
    filterName,
    filterExt,
    regFileTypeId,
    regFileTypeName
  };

  CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
               const CRuntimeClass* viewClass);

  UINT GetResourceId() const { return m_nIDResource; }
  // FALSE (and an empty text) when the part is missing or empty.
  virtual BOOL GetDocString(CString& text, DocStringIndex index) const;

  virtual CDocument* CreateNewDocument();
  // Makes a frame from the frame class and loads it from the resource id with a
  // context naming the document and the view class; null (frame gone) on failure.
  virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
  // Initial update of the frame's views; shows the frame when visible.
  virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible = TRUE);

  // Opens path into a document, or a new untitled document for a null path; null on
  // failure (the user was told why).
  virtual CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) = 0;
  virtual void SetDefaultTitle(CDocument* doc) = 0;
  virtual void AddDocument(CDocument* doc);
  virtual void RemoveDocument(CDocument* doc);
  virtual int GetDocumentCount() const = 0;
  virtual CDocument* GetDocument(int index) const = 0;
  virtual void CloseAllDocuments(BOOL endSession);
  virtual BOOL SaveAllModified();

protected:
  UINT m_nIDResource;
  const CRuntimeClass* m_pDocClass;
  const CRuntimeClass* m_pFrameClass;
  const CRuntimeClass* m_pViewClass;
  CString m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CSingleDocTemplate)

public:
  CSingleDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                     const CRuntimeClass* viewClass);
  ~CSingleDocTemplate() override;

  // With a document already open, it is asked to save first (Cancel keeps it) and
  // then reused. A file that cannot be opened leaves the document empty and
  // untitled, so nothing can later be saved over that file by mistake.
  CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) override;
  void SetDefaultTitle(CDocument* doc) override;
  void AddDocument(CDocument* doc) override;
  void RemoveDocument(CDocument* doc) override;
  int GetDocumentCount() const override { return m_pOnlyDoc ? 1 : 0; }
  CDocument* GetDocument(int index) const override { return index == 0 ? m_pOnlyDoc : nullptr; }

protected:
  CDocument* m_pOnlyDoc = nullptr;
};

// A template whose documents each open in a window of their own inside the MDI
// frame. Its menu and accelerators (loaded from the resource id) are shared by all
// its windows: the frame shows that menu while one of them is active.
class CMultiDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CMultiDocTemplate)

public:
  CMultiDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                    const CRuntimeClass* viewClass);
  ~CMultiDocTemplate() override;

  CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) override;
  // The document name numbered by the count of untitled documents made so far.
  void SetDefaultTitle(CDocument* doc) override;
  void AddDocument(CDocument* doc) override;
  void RemoveDocument(CDocument* doc) override;
  int GetDocumentCount() const override { return static_cast<int>(m_docs.size()); }
  CDocument* GetDocument(int index) const override;

  HMENU m_hMenuShared = nullptr;
  HACCEL m_hAccelTable = nullptr;

protected:
  std::vector<CDocument*> m_docs;
  UINT m_nUntitledCount = 0;
};
