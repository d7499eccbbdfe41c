#include "app/AppText.h"

namespace app_text {

const char kOleInitFailed[] = "Initialize OLE libraries failed!";
const char kModuleNameError[] = "GetModuleFileName() handle error!";

}  // namespace app_text
