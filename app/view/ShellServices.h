#pragma once
// What the document, the view and the wave frame reach of the application object:
// its view state, its colour scheme, the running-copy registry, and the command-state
// flags of the current project. The application installs its members at start-up;
// until then (and in tests that install nothing) a view state and a default colour
// scheme of this library serve.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/ColorSchemeOptions.h"
#include "platform/afx/linux_headers_end.h"

struct ViewInfo;
class CInstanceManager;
class Project;
class CTVLDoc;

ViewInfo* GetViewInfo();
void SetViewInfo(ViewInfo* info);
// Read afresh at every paint; nothing caches its colours.
const ColorSchemeOptions& GetColorScheme();
void SetColorScheme(const ColorSchemeOptions* scheme);
// Null when no registry of running copies is installed (the clipboard then stays in
// this copy).
CInstanceManager* GetInstanceManager();
void SetInstanceManager(CInstanceManager* manager);

// The main frame's active document when it is the program's document; null otherwise.
CTVLDoc* GetActiveTVLDoc();
// Its project, null when there is no document.
Project* GetCurrentProject();

// Command-state flags of the current project (0 when there is none).
enum CommandState : UINT {
  kStateIdle = 0x001,           // no stream of this project runs
  kStateSelection = 0x002,      // the selection is not empty
  kStateTrackSelected = 0x004,  // at least one track is selected
  kStateHasTracks = 0x008,      // the project has tracks
  kStateKind3 = 0x010,          // some track reports kind 3
  kStateUnlinkedWave = 0x020,   // a selected wave track that is not linked
  kStateUnsaved = 0x080,        // unsaved changes
  kStateUndo = 0x200,           // undo available
  kStateRedo = 0x400,           // redo available
};
UINT GetCommandState();
inline bool HasCommandState(UINT flags) { return (GetCommandState() & flags) == flags; }

// COLORREF of the colour scheme's colours (they are stored as 0x00BBGGRR).
inline COLORREF SchemeColor(ColorRef color) { return static_cast<COLORREF>(color); }

// The control panel's window and its Stop button: the view posts it WM_COMMAND Stop
// when a stream of the project ended by itself. Nothing is posted while none is set.
void SetControlPanelStop(HWND panel, HWND stopButton);
void PostStopToControlPanel();
