#include "toolkit/frames/TKFramesText.h"

#include <windows.h>

namespace tk_frames_text {

const char kHideDockedWindow[] = "Hide docked window";
const char kExpandDockedWindow[] = "Expand docked window";
const char kContractDockedWindow[] = "Contract docked window";

const char kTooManyUserToolbars[] = "You can't create more than %d user-defined toolbars!";
const char kCantCopyImage[] = "Can't copy bitmap image into the clipboard!";

const char kWindowsCaption[] = "Windows";
const char kActivateWindow[] = "&Activate";
const char kWindowsOk[] = "&OK";
const char kSaveWindows[] = "&Save";
const char kCloseWindows[] = "&Close Window(s)";
const char kCascadeWindows[] = "Cascade";
const char kTileHorizontally[] = "Tile &Horizontally";
const char kTileVertically[] = "Tile &Vertically";
const char kMinimizeWindows[] = "&Minimize";
const char kWindowsHelp[] = "&Help";

const char kPreviewPrint[] = "&Print...";
const char kPreviewNext[] = "&Next Page";
const char kPreviewPrev[] = "Pre&v Page";
const char kPreviewOnePage[] = "&One Page";
const char kPreviewTwoPages[] = "&Two Page";
const char kPreviewZoomIn[] = "Zoom &In";
const char kPreviewZoomOut[] = "Zoom &Out";
const char kPreviewClose[] = "&Close";
const char kCommandFailed[] = "Command failed.";

const char* TextOf(unsigned id, char* buffer, int size) {
  if (size > 0 && ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, size) > 0) return buffer;
  switch (id) {
    case 16011:
      return kHideDockedWindow;
    case 16012:
      return kExpandDockedWindow;
    case 16013:
      return kContractDockedWindow;
    case 16243:
      return kTooManyUserToolbars;
    case 61705:
      return kCommandFailed;
    case 16010:
      return kCantCopyImage;
    default:
      return "";
  }
}

}  // namespace tk_frames_text
