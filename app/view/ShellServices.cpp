#include "app/view/ShellServices.h"

#include "app/view/TVLDoc.h"
#include "app/view/ViewInfo.h"

#include "platform/afx/linux_headers_begin.h"
#include "core/engine/AudioIO.h"
#include "core/model/Track.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/afx/linux_headers_end.h"

namespace {
ViewInfo g_ownViewInfo;
ViewInfo* g_viewInfo = &g_ownViewInfo;
const ColorSchemeOptions* g_scheme = nullptr;
CInstanceManager* g_instances = nullptr;
HWND g_panel = nullptr;
HWND g_stopButton = nullptr;
constexpr UINT kStopCommand = 1061;
}  // namespace

ViewInfo* GetViewInfo() { return g_viewInfo; }
void SetViewInfo(ViewInfo* info) { g_viewInfo = info ? info : &g_ownViewInfo; }

const ColorSchemeOptions& GetColorScheme() {
  static const ColorSchemeOptions s_defaults;
  return g_scheme ? *g_scheme : s_defaults;
}
void SetColorScheme(const ColorSchemeOptions* scheme) { g_scheme = scheme; }

CInstanceManager* GetInstanceManager() { return g_instances; }
void SetInstanceManager(CInstanceManager* manager) { g_instances = manager; }

void SetControlPanelStop(HWND panel, HWND stopButton) {
  g_panel = panel;
  g_stopButton = stopButton;
}

void PostStopToControlPanel() {
  if (g_panel)
    ::PostMessageA(g_panel, WM_COMMAND, MAKEWPARAM(kStopCommand, BN_CLICKED),
                   reinterpret_cast<LPARAM>(g_stopButton));
}

CTVLDoc* GetActiveTVLDoc() {
  auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
  return frame ? dynamic_cast<CTVLDoc*>(frame->GetActiveDocument()) : nullptr;
}

Project* GetCurrentProject() {
  CTVLDoc* doc = GetActiveTVLDoc();
  return doc ? doc->GetProject() : nullptr;
}

UINT GetCommandState() {
  Project* project = GetCurrentProject();
  if (!project) return 0;
  UINT flags = 0;
  const int token = project->GetStreamToken();
  if (token <= 0 || !gAudioIO || !gAudioIO->IsTokenCurrent(token)) flags |= kStateIdle;
  const bool mainWindow = AfxGetMainWnd() != nullptr;
  const ViewInfo& info = *GetViewInfo();
  if (mainWindow && info.t1 > info.t0) flags |= kStateSelection;
  TrackListIterator it(project->GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    flags |= kStateHasTracks;
    if (t->GetSelected()) flags |= kStateTrackSelected;
    if (t->GetKind() == 3) flags |= kStateKind3;
    if (t->GetSelected() && t->GetKind() == Track::Wave && !t->GetLinked()) flags |= kStateUnlinkedWave;
  }
  UndoManager* undo = project->GetUndoManager();
  if (mainWindow && undo->UnsavedChanges()) flags |= kStateUnsaved;
  if (mainWindow && undo->UndoAvailable()) flags |= kStateUndo;
  if (mainWindow && undo->RedoAvailable()) flags |= kStateRedo;
  return flags;
}
