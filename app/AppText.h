#pragma once
// The texts the application object shows: start-up failures and the boxes of its own
// commands. The code names an entry and never spells a text.

namespace app_text {

extern const char kOleInitFailed[];
extern const char kModuleNameError[];

}  // namespace app_text
