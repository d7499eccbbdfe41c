#pragma once
// The program's single document: it owns the editable project. New starts an empty
// project, Open imports a sound file into it, Save exports it (or its selection) as
// the file's extension says; the Edit and Effects commands work on its tracks over
// the selection of the view state, each recording an undo state.
#include "app/view/DocumentProject.h"
#include "platform/afx/afxwin.h"

class CWaveFrame;
class Effect;

class CTVLDoc : public CDocument {
  DECLARE_DYNCREATE(CTVLDoc)

public:
  CTVLDoc();
  ~CTVLDoc() override;

  DocumentProject* GetProject() { return &m_project; }
  // The wave frame of the document's view; null without a view.
  CWaveFrame* GetWaveFrame() const;
  // Scroll bars (when asked), layout and redraw of the wave frame without erasing.
  void RefreshFrame(bool scrollBars = true);

  void DeleteContents() override;
  BOOL OnNewDocument() override;
  // Imports the file; a file that cannot be imported is reported and answers FALSE.
  BOOL OnOpenDocument(const char* path) override;
  // Exports by the file's extension; only a save that succeeded clears the modified
  // flag.
  BOOL OnSaveDocument(const char* path) override;

  // Runs the registered effect of that name (flag word flags) on the selection.
  void RunEffect(int flags, const char* name);

protected:
  // Files.
  void OnFileSaveCopyAs();
  void OnFileSaveSelection();
  void OnUpdateSave(CCmdUI* ui);
  void OnUpdateSaveSelection(CCmdUI* ui);
  // Edit.
  void OnEditUndo();
  void OnEditRedo();
  void OnEditCopy();
  void OnEditCut();
  void OnEditPaste();
  void OnEditDelete();
  void OnEditTrim();
  void OnEditSilence();
  void OnUpdateUndo(CCmdUI* ui);
  void OnUpdateRedo(CCmdUI* ui);
  void OnUpdateSelectionCommand(CCmdUI* ui);
  void OnUpdatePaste(CCmdUI* ui);
  // Channels.
  void OnChannelLeft();
  void OnChannelRight();
  void OnChannelBoth();
  void OnUpdateChannelLeft(CCmdUI* ui);
  void OnUpdateChannelRight(CCmdUI* ui);
  void OnUpdateChannelBoth(CCmdUI* ui);
  // Effects.
  void OnFadeIn();
  void OnFadeOut();
  void OnInvert();
  void OnReverse();
  void OnNormalize();
  void OnEcho();
  void OnAmplify();
  void OnInsertSilence();
  void OnUpdateInsertSilence(CCmdUI* ui);

private:
  // Writes the selected tracks to the shared clipboard file; false (after telling
  // the user) when another copy holds the clipboard.
  bool CopyToClipboard();
  bool FindChannelTracks(Track** left, Track** right);
  void SetChannels(bool left, bool right);
  void UpdateChannel(CCmdUI* ui, int which);
  // Asks for a file name with the save prompt; false when cancelled.
  bool PromptSaveName(CString& name);

  DocumentProject m_project;

  DECLARE_MESSAGE_MAP()
};

// The native path of a path as the user sees it (the window tier's paths are
// Windows paths; the project and its files take native ones).
std::string NativePath(const char* windowsPath);
