#include "options/help/HelpCommands.h"

#include <htmlhelp.h>

namespace {

constexpr char kHelpFile[] = "TVLHelp.chm";
constexpr char kFirstPage[] = "::/index.html";

}  // namespace

std::string HelpTopicsAddress(const std::string& programPath) {
  const size_t slash = programPath.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1);
  return folder + kHelpFile + kFirstPage;
}

HWND ShowHelpTopics(const std::string& programPath) {
  std::string program = programPath;
  if (program.empty()) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return nullptr;
    program = path;
  }
  const std::string address = HelpTopicsAddress(program);
  return ::HtmlHelpA(::GetDesktopWindow(), address.c_str(), HH_DISPLAY_TOPIC, 0);
}
