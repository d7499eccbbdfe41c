#include "audiofiles/import/Importer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <new>

#include "audiofiles/import/ImportFormat.h"
#include "audiofiles/import/ImportMP3.h"
#include "audiofiles/import/ImportOGG.h"
#include "audiofiles/import/ImportPCM.h"
#include "audiofiles/import/ImportText.h"
#include "core/model/SystemUtils.h"

namespace {

// The text after the last '.' of the file's name (not of its folders), lower
// case; the whole name when it has no '.'.
std::string LowerExtension(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? name : name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

bool ListsExtension(ImportFormat& format, const std::string& ext) {
  for (const std::string& e : *format.GetExtensions())
    if (e == ext) return true;
  return false;
}

// Empty when fileName is a regular file this process can read; else why not.
std::string CheckReadable(const std::string& fileName) {
  struct stat st {};
  if (stat(fileName.c_str(), &st) != 0 || access(fileName.c_str(), R_OK) != 0)
    return import_text::CannotOpen(fileName, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return import_text::NotAFile(fileName);
  return std::string();
}

}  // namespace

Importer::Importer() {
  mFormats.push_back(std::make_unique<PCMImportFormat>());
  mFormats.push_back(std::make_unique<OggImportFormat>());
  mFormats.push_back(std::make_unique<MP3ImportFormat>());
}

Importer::~Importer() = default;

std::string Importer::GetFileDescription() const {
  return mFile ? mFile->GetFileDescription() : std::string();
}

Importer::Attempt Importer::TryFormat(ImportFormat& format, const std::string& fileName,
                                      TrackFactory* trackFactory, Track*** tracks, int* count,
                                      ImportProgressCallback progressCallback, void* userData,
                                      std::string& reason, bool& cancelled) {
  std::unique_ptr<ImportFile> file(format.Open(fileName));
  if (!file) return Attempt::NotThisFormat;
  mFile = file.get();
  struct ClearCurrent {
    ImportFile*& f;
    ~ClearCurrent() { f = nullptr; }
  } clearCurrent{mFile};

  file->SetProgressCallback(progressCallback, userData);
  *count = 0;
  const int result = file->Import(trackFactory, tracks, count);
  if (result == 1 && *count > 0) return Attempt::Imported;
  if (result == 1) {
    // Success without tracks: nothing of this format in the file.
    delete[] * tracks;
    *tracks = nullptr;
  }
  reason = file->GetErrorMessage();
  cancelled = file->WasCancelled();
  // Tracks made, or the user said stop: the file was this format and the
  // import is over. Otherwise another format may know the file.
  if (*count > 0 || cancelled) {
    *count = 0;
    return Attempt::Failed;
  }
  return Attempt::NotThisFormat;
}

int Importer::Import(const std::string& fileName, TrackFactory* trackFactory, Track*** tracks,
                     std::string& errorMessage, ImportProgressCallback progressCallback, void* userData) {
  *tracks = nullptr;
  StopwatchStart();
  try {
    if (std::string why = CheckReadable(fileName); !why.empty()) {
      errorMessage = why;
      return 0;
    }

    const std::string ext = LowerExtension(fileName);
    std::string reason;  // the first reason a format gave for refusing the file
    bool cancelled = false;
    int count = 0;
    std::vector<bool> tried(mFormats.size(), false);

    // Pass 1: the formats that list the extension; pass 2: the others.
    for (int pass = 1; pass <= 2; ++pass) {
      for (std::size_t i = 0; i < mFormats.size(); ++i) {
        if (tried[i] || (pass == 1 && !ListsExtension(*mFormats[i], ext))) continue;
        tried[i] = true;
        std::string why;
        switch (TryFormat(*mFormats[i], fileName, trackFactory, tracks, &count, progressCallback, userData,
                          why, cancelled)) {
          case Attempt::Imported:
            return count;
          case Attempt::Failed:
            if (!cancelled && !why.empty()) errorMessage = why;
            return 0;
          case Attempt::NotThisFormat:
            if (reason.empty()) reason = why;
            break;
        }
      }
    }
    errorMessage = reason.empty() ? import_text::kNotRecognized : reason;
    return 0;
  } catch (const std::bad_alloc&) {
    mFile = nullptr;
    errorMessage = import_text::kOutOfMemory;
  } catch (...) {
    mFile = nullptr;
    errorMessage = import_text::kImportFailed;
  }
  delete[] * tracks;
  *tracks = nullptr;
  return 0;
}
