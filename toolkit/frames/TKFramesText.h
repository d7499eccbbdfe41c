#pragma once
// The texts the toolkit's frames and bars show the user when the program's string
// table has none under the text's string id.

namespace tk_frames_text {

// The tooltips of a sizing bar's caption buttons (string ids 16011, 16012, 16013).
extern const char kHideDockedWindow[];
extern const char kExpandDockedWindow[];
extern const char kContractDockedWindow[];

// Shown when every control id reserved for user-defined toolbars is taken (string
// id 16243; %d is the number of ids).
extern const char kTooManyUserToolbars[];

// The "Windows" dialog of the MDI frame: its caption and buttons.
extern const char kWindowsCaption[];
extern const char kActivateWindow[];
extern const char kWindowsOk[];
extern const char kSaveWindows[];
extern const char kCloseWindows[];
extern const char kCascadeWindows[];
extern const char kTileHorizontally[];
extern const char kTileVertically[];
extern const char kMinimizeWindows[];
extern const char kWindowsHelp[];

// Print preview's toolbar, by name when the program has no toolbar for it, and the
// message of a preview that could not start (string id 61705).
extern const char kPreviewPrint[];
extern const char kPreviewNext[];
extern const char kPreviewPrev[];
extern const char kPreviewOnePage[];
extern const char kPreviewTwoPages[];
extern const char kPreviewZoomIn[];
extern const char kPreviewZoomOut[];
extern const char kPreviewClose[];
extern const char kCommandFailed[];
// A tool's icon could not go to the clipboard (string id 16010).
extern const char kCantCopyImage[];

// The text of string id, from the module's string table or the texts above; empty
// for an unknown id.
const char* TextOf(unsigned id, char* buffer, int size);

}  // namespace tk_frames_text
