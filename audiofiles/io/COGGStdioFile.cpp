#include "audiofiles/io/COGGStdioFile.h"

#include <cerrno>
#include <cstring>

StdioFileException::StdioFileException(Cause cause, int osError, const std::string& fileName,
                                       const std::string& what)
    : std::runtime_error(what), mCause(cause), mOsError(osError), mFileName(fileName) {}

StdioFileException::Cause StdioFileException::CauseOf(int osError) {
  switch (osError) {
    case 0:
      return none;
    case ENOENT:
      return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return badPath;
    case EMFILE:
    case ENFILE:
      return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return accessDenied;
    case EBADF:
      return invalidFile;
    case ESPIPE:
    case EINVAL:
      return badSeek;
    case EIO:
      return hardIO;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return diskFull;
    default:
      return genericException;
  }
}

COGGStdioFile::COGGStdioFile() = default;

COGGStdioFile::~COGGStdioFile() { Abort(); }

bool COGGStdioFile::Open(const std::string& fileName, unsigned flags, StdioFileException* error) {
  Abort();
  const bool binary = (flags & typeText) == 0;
  std::string mode;
  if (flags & modeReadWrite) {
    mode = (flags & modeCreate) && !(flags & modeNoTruncate) ? "w+" : "r+";
  } else if (flags & modeWrite) {
    mode = (flags & modeCreate) && !(flags & modeNoTruncate) ? "w" : "r+";
  } else {
    mode = "r";
  }
  if (binary) mode += "b";
  errno = 0;
  std::FILE* f = std::fopen(fileName.c_str(), mode.c_str());
  if (!f && (flags & modeNoTruncate) && (flags & modeCreate) && errno == ENOENT) {
    // Create it when it does not exist yet.
    f = std::fopen(fileName.c_str(), binary ? "w+b" : "w+");
  }
  if (!f) {
    const int e = errno;
    if (error)
      *error = StdioFileException(StdioFileException::CauseOf(e), e, fileName,
                                  std::string("cannot open ") + fileName + ": " + std::strerror(e));
    return false;
  }
  mStream = f;
  mFileName = fileName;
  return true;
}

void COGGStdioFile::Throw(int osError, const char* what) const {
  throw StdioFileException(
      StdioFileException::CauseOf(osError), osError, mFileName,
      std::string(what) + " " + mFileName + ": " + (osError ? std::strerror(osError) : "failed"));
}

void COGGStdioFile::Write(const void* buffer, std::size_t count) {
  if (!mStream) Throw(EBADF, "write");
  if (count == 0) return;
  errno = 0;
  const std::size_t put = std::fwrite(buffer, 1, count, mStream);
  if (put != count) Throw(errno ? errno : ENOSPC, "write");
}

std::size_t COGGStdioFile::Read(void* buffer, std::size_t count) {
  if (!mStream) Throw(EBADF, "read");
  if (count == 0) return 0;
  errno = 0;
  const std::size_t got = std::fread(buffer, 1, count, mStream);
  if (got < count && std::ferror(mStream)) Throw(errno ? errno : EIO, "read");
  return got;
}

void COGGStdioFile::Flush() {
  if (!mStream) return;
  errno = 0;
  if (std::fflush(mStream) != 0) Throw(errno ? errno : EIO, "flush");
}

std::int64_t COGGStdioFile::Seek(std::int64_t offset, SeekPosition from) {
  if (!mStream) Throw(EBADF, "seek");
  const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
  errno = 0;
  if (fseeko(mStream, static_cast<off_t>(offset), whence) != 0) Throw(errno ? errno : EINVAL, "seek");
  return GetPosition();
}

std::int64_t COGGStdioFile::GetPosition() const {
  if (!mStream) return -1;
  return static_cast<std::int64_t>(ftello(mStream));
}

std::int64_t COGGStdioFile::GetLength() const {
  if (!mStream) return -1;
  const off_t here = ftello(mStream);
  if (fseeko(mStream, 0, SEEK_END) != 0) return -1;
  const off_t len = ftello(mStream);
  fseeko(mStream, here, SEEK_SET);
  return static_cast<std::int64_t>(len);
}

void COGGStdioFile::Close() {
  if (!mStream) return;
  std::FILE* f = mStream;
  mStream = nullptr;
  errno = 0;
  const bool hadError = std::ferror(f) != 0;
  const int r = std::fclose(f);
  if (r != 0 || hadError) Throw(errno ? errno : EIO, "close");
}

void COGGStdioFile::Abort() {
  if (!mStream) return;
  std::fclose(mStream);
  mStream = nullptr;
}

std::FILE* COGGStdioFile::Detach() {
  std::FILE* f = mStream;
  mStream = nullptr;
  return f;
}
