// A buffered standard file (the framework's CStdioFile under its own runtime
// class): the file object of Ogg Vorbis import, of the MP3 and Ogg
// exporters and of the MP3 and Ogg streaming writers. It adds one thing to a plain
// stdio file: Detach, which forgets the handle and leaves the file open when the
// object goes.
//
// As the framework's file does, Open reports failure by its result, while Write,
// Flush, Seek and Close throw a StdioFileException when the system call fails; a write
// that puts fewer bytes than asked counts as failed (a full disk, a file-size limit).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

class StdioFileException : public std::runtime_error {
public:
  // The framework's causes.
  enum Cause {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  StdioFileException(Cause cause, int osError, const std::string& fileName, const std::string& what);
  Cause mCause;
  int mOsError;  // errno
  std::string mFileName;

  // The cause of an errno value.
  static Cause CauseOf(int osError);
};

class COGGStdioFile {
public:
  // The framework's open flags.
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  COGGStdioFile();
  // Closes a file still open, ignoring errors (a detached file stays open).
  ~COGGStdioFile();

  COGGStdioFile(const COGGStdioFile&) = delete;
  COGGStdioFile& operator=(const COGGStdioFile&) = delete;

  // Opens fileName with the framework's flags; false (and *error filled when given)
  // on failure. A file still open is closed first, ignoring errors.
  bool Open(const std::string& fileName, unsigned flags, StdioFileException* error = nullptr);

  // Writes count bytes; throws when they are not all written.
  void Write(const void* buffer, std::size_t count);
  // Reads up to count bytes; returns how many (0 at the end). Throws on a read error.
  std::size_t Read(void* buffer, std::size_t count);
  // Throws when the buffered bytes cannot be written.
  void Flush();
  // Moves the position; returns the new one. Throws on failure.
  std::int64_t Seek(std::int64_t offset, SeekPosition from);
  std::int64_t GetPosition() const;
  std::int64_t GetLength() const;

  // Closes the file; the handle is gone afterwards even when closing failed, which
  // throws (the buffered bytes could not be written).
  void Close();
  // Closes without reporting anything.
  void Abort();
  // Forgets the handle and returns it; the file stays open.
  std::FILE* Detach();

  bool IsOpen() const { return mStream != nullptr; }
  std::FILE* GetHandle() const { return mStream; }
  const std::string& GetFilePath() const { return mFileName; }

  std::FILE* mStream = nullptr;

private:
  [[noreturn]] void Throw(int osError, const char* what) const;
  std::string mFileName;
};
