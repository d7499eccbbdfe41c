#include "app/view/ViewText.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

namespace view_text {

const char kNewFile[] = "New File...";
const char kImport[] = "Import";
std::string ImportedHistory(const std::string& fileName) { return "Imported '" + fileName + "'"; }
const char kCut[] = "Cut";
const char kCutHistory[] = "Cut to the clipboard";
const char kPaste[] = "Paste";
const char kPasteHistory[] = "Pasted from the clipboard";
const char kDelete[] = "Delete";
std::string DeletedHistory(double length, double start) {
  char text[96];
  std::snprintf(text, sizeof text, "Deleted %.2f seconds at t=%.2f", length, start);
  return text;
}
const char kTrim[] = "Trim";
const char kTrimHistory[] = "Trim wave to selection";
const char kSilence[] = "Silence";
std::string SilencedHistory(double length, double start) {
  char text[96];
  std::snprintf(text, sizeof text, "Silenced tracks for %.2f seconds at %.2f", length, start);
  return text;
}
const char kRecord[] = "Record";
const char kRecordHistory[] = "Recorded Audio";

const char kImportError[] = "Import Error!!";
const char kNothingToUndo[] = "Nothing to undo";
const char kNothingToRedo[] = "Nothing to redo";
const char kSelectTrackFirst[] = "You must select a track first.";
const char kClipboardBusy[] = "The clipboard data is being used!";
const char kNoPrinter[] =
    "No printer is installed on this computer, so Tarvel cannot print. Install a printer in the system's "
    "settings and try again.";
const char kPrintFailed[] = "The waveform could not be printed. Please check the printer.";

const char kOpenMp3Filter[] = "MPEG Audio III File(*.mp3,*.mp2,*.mp1)";
const char kOpenOggFilter[] = "OGG Vorbis File(*.ogg)";
const char kAllSupportedFilter[] = "All supported wave formats";
const char kSaveOggFilter[] = "Vorbis OGG file (*.ogg)";
const char kSaveMp3Filter[] = "Mpeg layer 3 file (*.mp3,*.mp2,*.mp1)";

const char kViewContextMenuName[] = "Waveform View";

}  // namespace view_text
