#include "toolkit/frames/TKFramesText.h"

#include <windows.h>

namespace tk_frames_text {

const char kHideDockedWindow[] = "Hide docked window";
const char kExpandDockedWindow[] = "Expand docked window";
const char kContractDockedWindow[] = "Contract docked window";

const char* TextOf(unsigned id, char* buffer, int size) {
  if (size > 0 && ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, size) > 0) return buffer;
  switch (id) {
    case 16011:
      return kHideDockedWindow;
    case 16012:
      return kExpandDockedWindow;
    case 16013:
      return kContractDockedWindow;
    default:
      return "";
  }
}

}  // namespace tk_frames_text
