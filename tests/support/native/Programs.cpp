#include "tests/support/native/Programs.h"

#include <cstdio>
#include <cstdlib>

namespace testsupport {

bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

std::string Run(const std::string& command, int* status) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int s = pclose(p);
  if (status) *status = s;
  return out;
}

}  // namespace testsupport
