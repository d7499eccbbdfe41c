// A write past the process's file-size limit: with the signal ignored it fails with
// EFBIG and the process goes on; with the default action the process would end.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/seams/ProcessSignals.h"
#include "tests/support/native/TempFolder.h"

namespace {

TEST(ProcessSignals, AWritePastTheFileSizeLimitFailsInsteadOfEndingTheProcess) {
  struct sigaction now {};
  ASSERT_EQ(sigaction(SIGXFSZ, nullptr, &now), 0);
  EXPECT_EQ(now.sa_handler, SIG_IGN) << "test programs start as the program does";

  testsupport::TempFolder dir;
  struct Case {
    bool ignore;
    bool killed;  // by SIGXFSZ
  } cases[] = {{false, true}, {true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ignore ? "ignored" : "default action");
    const std::string path = dir / (c.ignore ? "ignored" : "default");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGXFSZ, SIG_DFL);
      if (c.ignore) seams::IgnoreFileSizeSignal();
      const rlimit limit{1000, RLIM_INFINITY};
      setrlimit(RLIMIT_FSIZE, &limit);
      const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const std::vector<char> bytes(1500, 'x');
      const ssize_t first = write(fd, bytes.data(), bytes.size());   // cut at the limit
      const ssize_t second = write(fd, bytes.data(), bytes.size());  // past it
      _exit(first == 1000 && second < 0 && errno == EFBIG ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (c.killed) {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    } else {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
  }
}

}  // namespace
