#pragma once
// The texts of the document and the waveform view: undo states (action text and
// history text) and message boxes. The code names an entry and never spells a text.
#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace view_text {

// Undo states: action text, then history text.
extern const char kNewFile[];
extern const char kImport[];
std::string ImportedHistory(const std::string& fileName);
extern const char kCut[];
extern const char kCutHistory[];
extern const char kPaste[];
extern const char kPasteHistory[];
extern const char kDelete[];
std::string DeletedHistory(double length, double start);
extern const char kTrim[];
extern const char kTrimHistory[];
extern const char kSilence[];
std::string SilencedHistory(double length, double start);
extern const char kRecord[];
extern const char kRecordHistory[];

// Message boxes.
extern const char kImportError[];
extern const char kNothingToUndo[];
extern const char kNothingToRedo[];
extern const char kSelectTrackFirst[];
extern const char kClipboardBusy[];
extern const char kNoPrinter[];
extern const char kPrintFailed[];

// File prompts: the filters of the Open and Save dialogs.
extern const char kOpenMp3Filter[];
extern const char kOpenOggFilter[];
extern const char kAllSupportedFilter[];
extern const char kSaveOggFilter[];
extern const char kSaveMp3Filter[];

// The name the view's context menu is kept under (shown when menus are customised).
extern const char kViewContextMenuName[];

}  // namespace view_text
