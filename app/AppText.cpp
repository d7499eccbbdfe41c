#include "app/AppText.h"

namespace app_text {

const char kOleInitFailed[] = "Initialize OLE libraries failed!";
const char kModuleNameError[] = "GetModuleFileName() handle error!";

const char kShortcutsBarTitle[] = "Application Shortcuts Bar";
const char kLowStorage[] =
    "There are not enough storage space for temporary file, please delete some other temporary files or "
    "select new driver for temparary files!";
const char kHomePage[] = "https://www.example.com/tarvel/";
const char kRatePane[] = " Rate %.2fK%s";
const char kSelectionPane[] = "Sel: %03d:%02d.%03d - %03d:%02d.%03d Len: %03d:%02d.%03d";
const char kFreePane[] = "Free: %.2f MB";
const char kRemainingHours[] = "Remaining: %d hours and %d minutes";
const char kRemainingOneHour[] = "Remaining: 1 hour and %d minutes";
const char kRemainingMinutes[] = "Remaining: %d minutes";
const char kRemainingSeconds[] = "Remaining: %d seconds";
const char kOutOfDiskSpace[] = "Out of disk space";

}  // namespace app_text
