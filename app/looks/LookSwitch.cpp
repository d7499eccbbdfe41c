#include "app/looks/LookSwitch.h"

#include "app/looks/BitmapVisualManager.h"
#include "app/looks/GradientVisualManager.h"
#include "app/looks/RoundVisualManager.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManagerXP.h"

namespace looks {
namespace {

CString g_bitmapLookFile;
constexpr int kBitmapLightenPercent = 100;

CTKVisualManager* MakeLook(UINT command) {
  switch (command) {
    case kRoundLookCommand:
      return new CRoundVisualManager;
    case kGradientLookCommand:
      return new CGradientVisualManager;
    case kBitmapLookCommand:
      return new CBitmapVisualManager(g_bitmapLookFile, kBitmapLightenPercent);
    default:
      return nullptr;
  }
}

}  // namespace

BOOL SwitchLook(UINT command) {
  if (command == kFlatLookCommand) {
    // The toolkit makes the flat look itself, from its class, at the next request.
    CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTKVisualManagerXP));
    CTKVisualManager::GetInstance();
    CTKVisualManager::RedrawAllBars();
    return TRUE;
  }
  if (command != kRoundLookCommand && command != kGradientLookCommand && command != kBitmapLookCommand)
    return FALSE;
  delete CTKVisualManager::Current();
  // A look made here becomes the current one (there is none now); the toolkit deletes
  // it at clean-up like a look it made itself.
  CTKVisualManager* look = MakeLook(command);
  look->m_autoDelete = TRUE;
  GlobalData::Get().ReloadColors();
  look->RecomputeColors();
  if (CTKVisualManager::s_adjustAllToolbars) CTKVisualManager::s_adjustAllToolbars();
  CTKVisualManager::RedrawAllBars();
  return TRUE;
}

void SetBitmapLookFile(const char* path) { g_bitmapLookFile = path ? path : ""; }
const char* GetBitmapLookFile() { return g_bitmapLookFile; }

}  // namespace looks
