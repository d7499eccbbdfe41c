#include "options/help/HelpText.h"

namespace help_text {

std::string NoBrowser(const std::string& pagePath) {
  return "Tarvel could not start a web browser to show its help.\n\nThe help's first page is \"" + pagePath +
         "\".";
}

}  // namespace help_text
