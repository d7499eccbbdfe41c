// Outside programs (sox, lame, oggenc, ...) run through the shell, for tests that
// make or check files with them.
#pragma once

#include <string>

namespace testsupport {

// True when the program is on the PATH.
bool HaveProgram(const std::string& name);

// Runs a shell command with its output dropped; true when it exits with 0.
bool Shell(const std::string& command);

// Runs a shell command; its standard output and error, and its exit status in
// *status when given.
std::string Run(const std::string& command, int* status = nullptr);

}  // namespace testsupport
