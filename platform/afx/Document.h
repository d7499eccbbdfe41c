#pragma once
// A document: the data behind the views of a frame, with its title, path name and
// modified flag. It opens and saves through OnOpenDocument / OnSaveDocument, asks the
// user to save before its frame closes, and takes the commands its views do not.
#include "platform/afx/CmdTarget.h"
#include "platform/afx/String.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CDocTemplate;
class CFrameWnd;
class CView;

// Command ids of the framework's file menu.
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_SAVE_COPY_AS 0xE10B
#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_LAST 0xE11F

// Titles of the file prompts (a string resource of the same id replaces the default).
#define AFX_IDS_OPENFILE 0xF000
#define AFX_IDS_SAVEFILE 0xF001
#define AFX_IDS_UNTITLED 0xF003
#define AFX_IDS_SAVEFILECOPY 0xF004
// The question asked before a modified document is closed ("%1" is its title).
#define AFX_IDP_ASK_TO_SAVE 0xF103

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)

public:
  CDocument() = default;
  ~CDocument() override;

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(const char* title);
  const CString& GetPathName() const { return m_strPathName; }
  // Sets the path and makes its file name the title; the recent-file list learns it.
  virtual void SetPathName(const char* path, BOOL addToRecentFiles = TRUE);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

  // Views.
  void AddView(CView* view);
  void RemoveView(CView* view);
  int GetViewCount() const { return static_cast<int>(m_views.size()); }
  CView* GetView(int index) const { return m_views[static_cast<size_t>(index)]; }
  // OnUpdate of every view but sender.
  void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);
  // The frame of the first view, null without views.
  CFrameWnd* GetFirstFrame() const;

  // Life.
  virtual void DeleteContents() {}
  // DeleteContents and not modified; FALSE refuses the new document.
  virtual BOOL OnNewDocument();
  // A document without a file format of its own (the common case here) overrides
  // these; the base refuses both.
  virtual BOOL OnOpenDocument(const char* path);
  virtual BOOL OnSaveDocument(const char* path);
  // Destroys the document's frames; the document goes with them when auto-delete.
  virtual void OnCloseDocument();
  // Asks Yes/No/Cancel when modified: Yes saves (FALSE when that failed), No goes on,
  // Cancel answers FALSE.
  virtual BOOL SaveModified();
  virtual BOOL CanCloseFrame(CFrameWnd* frame);
  // Saves under path, or asks for a name when path is null (replace: the document
  // takes the new name). A failed save of a name just asked for removes the file it
  // made (a file that was there before is left alone).
  virtual BOOL DoSave(const char* path, BOOL replace = TRUE);
  virtual BOOL DoFileSave();

  BOOL m_bAutoDelete = TRUE;

  // File menu commands of the document.
  void OnFileSave();
  void OnFileSaveAs();

protected:
  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  std::vector<CView*> m_views;
  BOOL m_bModified = FALSE;

  friend class CDocTemplate;
  friend class CSingleDocTemplate;
  DECLARE_MESSAGE_MAP()
};
