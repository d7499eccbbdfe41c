#include "audiofiles/export/ExportSupport.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

#include "app/settings/SettingsPlatform.h"
#include "audiofiles/export/ExportText.h"
#include "core/model/SystemUtils.h"
#include "core/model/WaveTrack.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/Progress.h"

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ExportTargetFile::~ExportTargetFile() { Discard(); }

namespace {

// Whether bytes can take the place of a file of oldBytes on its disk.
bool FitsInPlace(const std::string& path, std::uint64_t oldBytes, std::uint64_t bytes) {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && bytes > limit.rlim_cur)
    return false;
  struct statvfs disk {};
  if (::statvfs(path.c_str(), &disk) != 0) return true;  // nothing known: the write will tell
  const std::uint64_t room = static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize + oldBytes;
  return bytes <= room;
}

// The whole file's bytes; false when it cannot be read.
bool ReadWhole(const std::string& path, std::vector<char>* out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) ok = false;
    if (n <= 0) break;
    out->insert(out->end(), buf, buf + n);
  }
  ::close(fd);
  return ok;
}

}  // namespace

bool ExportTargetFile::Create(const std::string& target, std::uint64_t bytesNeeded) {
  Discard();
  mTarget = target;
  mRealTarget = target;
  struct stat linkInfo {};
  if (::lstat(target.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    if (char* real = ::realpath(target.c_str(), nullptr)) {
      mRealTarget = real;
      std::free(real);
    }
  }
  if (NameOf(mRealTarget).empty()) {
    errno = EISDIR;
    return false;
  }
  struct stat old {};
  const bool exists = ::stat(mRealTarget.c_str(), &old) == 0;
  // A file the user may not write is not replaced behind its back.
  if (exists && S_ISREG(old.st_mode) && ::access(mRealTarget.c_str(), W_OK) != 0) return false;

  // A hidden name in the same folder, so the final rename stays on one file system.
  static std::atomic<unsigned> counter{0};
  const std::string stem = FolderOf(mRealTarget) + "." + NameOf(mRealTarget);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned salt = static_cast<unsigned>(::getpid()) * 2654435761u ^
                          static_cast<unsigned>(std::time(nullptr)) ^ (counter++ * 40503u);
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%06x.part", salt & 0xFFFFFFu);
    const std::string candidate = stem + suffix;
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      // A folder that takes no new file may still hold a file that can be rewritten:
      // write it in place then (a failure removes it, as nothing of it is left).
      if (exists && S_ISREG(old.st_mode) && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        const int e = errno;
        if (::access(mRealTarget.c_str(), W_OK) == 0) {
          // Nothing but the target itself holds the old sound: an export that cannot
          // fit is refused, and the old contents wait in memory for a failure.
          if (bytesNeeded > 0 &&
              !FitsInPlace(mRealTarget, static_cast<std::uint64_t>(old.st_size), bytesNeeded)) {
            errno = ENOSPC;
            return false;
          }
          mBackup.clear();
          try {
            if (!ReadWhole(mRealTarget, &mBackup)) return false;
          } catch (const std::bad_alloc&) {
            mBackup.clear();
            errno = ENOMEM;
            return false;
          }
          mTemp = mRealTarget;
          mInPlace = true;
          mOpen = true;
          return true;
        }
        errno = e;
      }
      return false;
    }
    // Replacing a file keeps its permissions.
    if (exists && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
    ::close(fd);
    mTemp = candidate;
    mOpen = true;
    return true;
  }
  errno = EEXIST;
  return false;
}

bool ExportTargetFile::Commit() {
  if (!mOpen) return false;
  if (mInPlace) {
    mOpen = false;
    mInPlace = false;
    mTemp.clear();
    mBackup.clear();
    return true;
  }
  if (::rename(mTemp.c_str(), mRealTarget.c_str()) != 0) {
    const int e = errno;
    Discard();
    errno = e;
    return false;
  }
  mOpen = false;
  mTemp.clear();
  return true;
}

void ExportTargetFile::Discard() {
  if (!mOpen) return;
  if (mInPlace) {
    // The old contents go back where they were; they fitted there before.
    const int fd = ::open(mTemp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd >= 0) {
      std::size_t done = 0;
      while (done < mBackup.size()) {
        const ssize_t n = ::write(fd, mBackup.data() + done, mBackup.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
      ::close(fd);
    }
    mBackup.clear();
  } else {
    ::unlink(mTemp.c_str());
  }
  mOpen = false;
  mInPlace = false;
  mTemp.clear();
}

ExportProgress::ExportProgress(double t0, double t1, std::string caption, std::function<std::string()> text)
    : mT0(t0), mT1(t1), mCaption(std::move(caption)), mText(std::move(text)) {
  StopwatchStart();
}

ExportProgress::~ExportProgress() {
  if (mWindow) mWindow->Hide();
}

bool ExportProgress::Step(double now) {
  if (!mWindow) {
    if (StopwatchElapsed(false) <= 500) return mCancelled;
    mWindow = seams::CreateProgressWindow();
    mWindow->Show(mCaption);
    mWindow->SetText(mText ? mText() : std::string());
    mWindow->SetRange(0, 1000, 1);
  }
  // A zero-length range is done as soon as it starts.
  double share = mT1 > mT0 ? (now - mT0) / (mT1 - mT0) : 1.0;
  if (!(share >= 0.0)) share = 0.0;
  if (share > 1.0) share = 1.0;
  mWindow->SetPos(static_cast<int>(share * 1000.0));
  mWindow->PumpMessages(true);
  mCancelled = mWindow->Cancelled();
  return mCancelled;
}

std::int64_t ExportFrameCount(double t0, double t1, double rate) {
  const double frames = (t1 - t0) * rate + 0.5;
  if (!(frames >= 1.0)) return 0;
  return static_cast<std::int64_t>(frames);
}

bool ExportRatesConvertible(WaveTrack* const* tracks, int count, double rate) {
  for (int i = 0; i < count; ++i) {
    const double trackRate = tracks[i]->GetRate();
    if (trackRate == rate) continue;
    const double factor = rate / trackRate;
    if (factor >= 1.0 / 12.0 && factor <= 12.0) continue;
    char text[160];
    std::snprintf(text, sizeof text, export_text::kRateUnconvertibleFormat, trackRate, rate);
    ShowExportMessage(text);
    return false;
  }
  return true;
}

std::string ExportDisplayName(const std::string& path) {
  const std::size_t sep = path.find_last_of("\\/");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string ExportShownPath(const std::string& path) { return settings::Platform().ShownPath(path); }

void ShowExportMessage(const std::string& text) {
  // Every message of save and export tells of something that was not done.
  seams::ShowMessageBox(text, seams::kProgramCaption, seams::kMbOk | seams::kMbIconWarning);
}
