#include "app/view/TVLDoc.h"

#include "app/view/ShellServices.h"
#include "app/view/TVLView.h"
#include "app/view/ViewInfo.h"
#include "app/view/ViewText.h"
#include "app/view/WaveFrame.h"
#include "platform/seams/win32/Win32Paths.h"
#include "resources/resource.h"

#include <commdlg.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <cerrno>
#include <cstring>
#include "audiofiles/export/ExportByExtension.h"
#include "audiofiles/import/ImportText.h"
#include "core/model/TrackList.h"
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_DYNCREATE(CTVLDoc, CDocument)

BEGIN_MESSAGE_MAP(CTVLDoc, CDocument)
  ON_COMMAND(ID_FILE_SAVE_COPY_AS, OnFileSaveCopyAs)
  ON_COMMAND(ID_FILE_SAVE_SELECTION, OnFileSaveSelection)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, OnUpdateSave)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, OnUpdateSave)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_COPY_AS, OnUpdateSave)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_SELECTION, OnUpdateSaveSelection)
  ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
  ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_COMMAND(ID_EDIT_DELETE, OnEditDelete)
  ON_COMMAND(ID_EDIT_TRIM, OnEditTrim)
  ON_COMMAND(ID_EDIT_SILENCE, OnEditSilence)
  ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateUndo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateRedo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EDIT_DELETE, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EDIT_TRIM, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EDIT_SILENCE, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdatePaste)
  ON_COMMAND(ID_CHANNEL_LEFT, OnChannelLeft)
  ON_COMMAND(ID_CHANNEL_RIGHT, OnChannelRight)
  ON_COMMAND(ID_CHANNEL_BOTH, OnChannelBoth)
  ON_UPDATE_COMMAND_UI(ID_CHANNEL_LEFT, OnUpdateChannelLeft)
  ON_UPDATE_COMMAND_UI(ID_CHANNEL_RIGHT, OnUpdateChannelRight)
  ON_UPDATE_COMMAND_UI(ID_CHANNEL_BOTH, OnUpdateChannelBoth)
  ON_COMMAND(ID_EFFECT_FADE_IN, OnFadeIn)
  ON_COMMAND(ID_EFFECT_FADE_OUT, OnFadeOut)
  ON_COMMAND(ID_EFFECT_INVERT, OnInvert)
  ON_COMMAND(ID_EFFECT_REVERSE, OnReverse)
  ON_COMMAND(ID_EFFECT_NORMALIZE, OnNormalize)
  ON_COMMAND(ID_EFFECT_ECHO, OnEcho)
  ON_COMMAND(ID_EFFECT_AMPLIFY, OnAmplify)
  ON_COMMAND(ID_EFFECT_INSERT_SILENCE, OnInsertSilence)
  ON_UPDATE_COMMAND_UI(ID_EFFECT_FADE_IN, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EFFECT_FADE_OUT, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EFFECT_INVERT, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EFFECT_REVERSE, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EFFECT_NORMALIZE, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EFFECT_ECHO, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EFFECT_AMPLIFY, OnUpdateSelectionCommand)
  ON_UPDATE_COMMAND_UI(ID_EFFECT_INSERT_SILENCE, OnUpdateInsertSilence)
END_MESSAGE_MAP()

std::string NativePath(const char* windowsPath) {
  return seams::NativePathOf(windowsPath ? windowsPath : "");
}

namespace {
// A failed save removes only a file it made itself: one the user had is left alone.
bool FileExists(const char* path) { return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }
}  // namespace

CTVLDoc::CTVLDoc() : m_project(this) { m_project.InitialUndoState(GetViewInfo()); }

CTVLDoc::~CTVLDoc() = default;

CWaveFrame* CTVLDoc::GetWaveFrame() const {
  for (CView* view : m_views)
    if (auto* tvlView = dynamic_cast<CTVLView*>(view)) return tvlView->GetWaveFrame();
  return nullptr;
}

void CTVLDoc::RefreshFrame(bool scrollBars) {
  CWaveFrame* frame = GetWaveFrame();
  if (!frame) return;
  if (scrollBars) {
    frame->UpdateScrollBars();
    frame->Relayout();
  }
  frame->RedrawAll(FALSE);
}

void CTVLDoc::DeleteContents() {
  SetModifiedFlag(TRUE);
  m_project.Clear();
}

BOOL CTVLDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return FALSE;
  m_project.ApplyDeviceOptions();
  RefreshFrame();
  return TRUE;
}

BOOL CTVLDoc::OnOpenDocument(const char* path) {
  DeleteContents();
  m_project.ApplyDeviceOptions();
  std::string error;
  const std::string native = NativePath(path);
  bool imported = false;
  if (native.empty())  // wine cannot place it (its folder is missing): named as given
    error = import_text::CannotOpen(path ? path : "", std::strerror(ENOENT));
  else
    imported = m_project.OpenFile(native, &error);
  SetModifiedFlag(FALSE);
  RefreshFrame();
  if (!imported) {
    // Told here, and the document does not count as holding that file.
    AfxMessageBox(error.empty() ? view_text::kImportError : error.c_str(), MB_OK | MB_ICONERROR);
    return FALSE;
  }
  return TRUE;
}

BOOL CTVLDoc::OnSaveDocument(const char* path) {
  const ViewInfo& info = *GetViewInfo();
  int saved = ExportByExtension(&m_project, 0, info.t0, info.t1, NativePath(path));
  if (!saved) return FALSE;  // still modified: the user is still offered to save
  SetModifiedFlag(FALSE);
  m_project.GetUndoManager()->StateSaved();
  return TRUE;
}

bool CTVLDoc::PromptSaveName(CString& name) {
  name = m_strPathName;
  CWinApp* app = AfxGetApp();
  return app && app->DoPromptFileName(name, AFX_IDS_SAVEFILECOPY, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE,
                                      m_pDocTemplate);
}

void CTVLDoc::OnFileSaveCopyAs() {
  CString name;
  if (!PromptSaveName(name)) return;
  HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
  const bool existed = FileExists(name);
  if (!OnSaveDocument(name) && !existed) ::DeleteFileA(name);
  ::SetCursor(old);
}

void CTVLDoc::OnFileSaveSelection() {
  CString name;
  if (!PromptSaveName(name)) return;
  HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
  const ViewInfo& info = *GetViewInfo();
  const bool existed = FileExists(name);
  if (!ExportByExtension(&m_project, 1, info.t0, info.t1, NativePath(name)) && !existed) ::DeleteFileA(name);
  ::SetCursor(old);
}

void CTVLDoc::OnUpdateSave(CCmdUI* ui) { ui->Enable(HasCommandState(kStateIdle | kStateHasTracks)); }

void CTVLDoc::OnUpdateSaveSelection(CCmdUI* ui) { ui->Enable(HasCommandState(kStateIdle | kStateSelection)); }
