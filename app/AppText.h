#pragma once
// The texts the application object and the main frame show: start-up failures, the
// boxes of their commands and the status panes. The code names an entry and never
// spells a text.

namespace app_text {

extern const char kOleInitFailed[];
extern const char kModuleNameError[];

// The main frame.
extern const char kShortcutsBarTitle[];
extern const char kLowStorage[];
extern const char kHomePage[];
extern const char kRatePane[];
extern const char kSelectionPane[];
extern const char kFreePane[];
extern const char kRemainingHours[];
extern const char kRemainingOneHour[];
extern const char kRemainingMinutes[];
extern const char kRemainingSeconds[];
extern const char kOutOfDiskSpace[];

}  // namespace app_text
