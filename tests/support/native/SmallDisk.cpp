#include "tests/support/native/SmallDisk.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/native/TempFolder.h"

namespace testsupport {

namespace {

bool WriteText(const char* path, const std::string& text) {
  const int fd = open(path, O_WRONLY);
  if (fd < 0) return false;
  const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  return ok;
}

// In the child: a mount namespace of its own (inside a user namespace unless root).
std::string EnterPrivateMounts() {
  const uid_t uid = geteuid();
  const gid_t gid = getegid();
  if (uid == 0) {
    if (unshare(CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
  } else {
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
    WriteText("/proc/self/setgroups", "deny");
    if (!WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
        !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n"))
      return "the user namespace takes no id map";
  }
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    return std::string("private mounts: ") + std::strerror(errno);
  return "";
}

bool WriteAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, p, size);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

namespace {

// Runs body in a child; its status byte (0: numbers follow, 1: a message follows) and
// payload come back through a pipe.
ChildResult RunChild(const std::function<std::string(std::vector<std::int64_t>*)>& body) {
  ChildResult result;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) {
    result.why = "no pipe";
    return result;
  }
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    result.why = "no child process";
    return result;
  }
  if (child == 0) {
    close(pipeFds[0]);
    std::vector<std::int64_t> numbers;
    const std::string why = body(&numbers);
    const char status = why.empty() ? 0 : 1;
    WriteAll(pipeFds[1], &status, 1);
    if (why.empty())
      WriteAll(pipeFds[1], numbers.data(), numbers.size() * sizeof(std::int64_t));
    else
      WriteAll(pipeFds[1], why.data(), why.size());
    std::fflush(nullptr);
    _exit(0);
  }
  close(pipeFds[1]);
  std::string got;
  char buf[4096];
  for (;;) {
    const ssize_t n = read(pipeFds[0], buf, sizeof buf);
    if (n <= 0) break;
    got.append(buf, static_cast<std::size_t>(n));
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (got.empty() || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    result.why = "the child process ended early (status " + std::to_string(status) + ")";
    return result;
  }
  if (got[0] != 0) {
    result.why = got.substr(1);
    return result;
  }
  result.available = true;
  result.numbers.resize((got.size() - 1) / sizeof(std::int64_t));
  std::memcpy(result.numbers.data(), got.data() + 1, result.numbers.size() * sizeof(std::int64_t));
  return result;
}

}  // namespace

ChildResult RunInChildProcess(const std::function<std::vector<std::int64_t>()>& body) {
  return RunChild([&](std::vector<std::int64_t>* numbers) {
    *numbers = body();
    return std::string();
  });
}

ChildResult RunOnSmallDisk(std::size_t bytes,
                           const std::function<std::vector<std::int64_t>(const std::string& disk)>& body) {
  TempFolder mountPoint("tarvel-disk");
  return RunChild([&](std::vector<std::int64_t>* numbers) {
    std::string why = EnterPrivateMounts();
    if (!why.empty()) return why;
    const std::string options = "size=" + std::to_string(bytes);
    if (mount("tarvel-test", mountPoint.path().c_str(), "tmpfs", 0, options.c_str()) != 0)
      return std::string("mount: ") + std::strerror(errno);
    *numbers = body(mountPoint.path());
    umount2(mountPoint.path().c_str(), MNT_DETACH);
    return std::string();
  });
}

bool DropCapabilities() {
  __user_cap_header_struct header{};
  header.version = _LINUX_CAPABILITY_VERSION_3;
  header.pid = 0;
  __user_cap_data_struct data[2] = {};
  return syscall(SYS_capset, &header, data) == 0;
}

std::int64_t FreeBytes(const std::string& path) {
  struct statvfs v {};
  if (statvfs(path.c_str(), &v) != 0) return -1;
  return static_cast<std::int64_t>(v.f_bavail) * static_cast<std::int64_t>(v.f_frsize);
}

bool LeaveFree(const std::string& path, std::size_t bytes) {
  const std::int64_t free = FreeBytes(path);
  if (free < static_cast<std::int64_t>(bytes)) return false;
  const std::string filler = path + "/filler";
  const int fd = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const std::vector<char> zeros(65536, 0);
  std::int64_t left = free - static_cast<std::int64_t>(bytes);
  bool ok = true;
  while (left > 0 && ok) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, zeros.size()));
    ok = WriteAll(fd, zeros.data(), n);
    left -= static_cast<std::int64_t>(n);
  }
  close(fd);
  return ok;
}

}  // namespace testsupport
