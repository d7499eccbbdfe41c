#pragma once
// The application's list of document templates, with the file prompts and the
// New / Open commands that go through them.
#include "platform/afx/String.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CDocTemplate;
class CDocument;

class CDocManager {
public:
  CDocManager() = default;
  virtual ~CDocManager();
  CDocManager(const CDocManager&) = delete;
  CDocManager& operator=(const CDocManager&) = delete;

  // The manager owns the templates added.
  void AddDocTemplate(CDocTemplate* docTemplate);
  int GetTemplateCount() const { return static_cast<int>(m_templates.size()); }
  CDocTemplate* GetTemplate(int index) const { return m_templates[static_cast<size_t>(index)]; }

  virtual void OnFileNew();
  virtual void OnFileOpen();
  virtual CDocument* OpenDocumentFile(const char* path);
  // Asks for a file name with the common Open or Save dialog (title from the string
  // titleId, else the dialog's own); fileName holds the proposed name and receives
  // the chosen one. FALSE when cancelled.
  virtual BOOL DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog,
                                CDocTemplate* docTemplate);
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL endSession);

protected:
  std::vector<CDocTemplate*> m_templates;
};
