#include "app/view/DocumentProject.h"

#include "app/view/ShellServices.h"
#include "app/view/TVLDoc.h"
#include "app/view/ViewInfo.h"
#include "app/view/ViewText.h"
#include "app/view/WaveFrame.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "core/model/FileName.h"
#include "platform/afx/linux_headers_end.h"

void DocumentProject::Import(const std::string& fileName, Track** tracks, int count) {
  Project::Import(fileName, tracks, count);
  PushState(view_text::ImportedHistory(CFileName(fileName).GetNameExt()), view_text::kImport, false,
            GetViewInfo());
  if (CWaveFrame* frame = m_pDoc->GetWaveFrame()) {
    if (frame->GetView()) {
      frame->ZoomToFit();
      frame->Relayout();
      frame->RedrawAll(FALSE);
    }
  }
  if (CWnd* main = AfxGetMainWnd()) {
    ::SetForegroundWindow(main->m_hWnd);
    main->PostMessage(WM_COMMAND, ID_VIEW_REFRESH, 0);
  }
}

void DocumentProject::Clear() {
  GetUndoManager()->ClearStates();
  Project::Clear();
  ResetViewInfo(GetViewInfo());
  Project::PushState(view_text::kNewFile, view_text::kNewFile, false, GetViewInfo());
  GetUndoManager()->StateSaved();
}

void DocumentProject::Paste(Selection*) {
  Project::Paste(GetViewInfo());
  PushState(view_text::kPasteHistory, view_text::kPaste, false, GetViewInfo());
  m_pDoc->RefreshFrame();
}

void DocumentProject::DeleteSelection(Selection*) {
  ViewInfo* info = GetViewInfo();
  const double length = info->t1 - info->t0, start = info->t0;
  Project::DeleteSelection(info);
  PushState(view_text::DeletedHistory(length, start), view_text::kDelete, false, info);
  m_pDoc->RefreshFrame();
}

void DocumentProject::InitialUndoState(Selection*) { Project::InitialUndoState(GetViewInfo()); }

void DocumentProject::PushState(const std::string& description, const std::string& shortDescription,
                                bool consolidate, Selection*) {
  Project::PushState(description, shortDescription, consolidate, GetViewInfo());
}

void DocumentProject::ModifyState(Selection*) { Project::ModifyState(GetViewInfo()); }

void DocumentProject::PopState(TrackList* stateTracks, Selection*) {
  Project::PopState(stateTracks, GetViewInfo());
  if (CWaveFrame* frame = m_pDoc->GetWaveFrame()) frame->FitTrackHeights();
}

void DocumentProject::SetStateTo(int n, Selection*) { Project::SetStateTo(n, GetViewInfo()); }
