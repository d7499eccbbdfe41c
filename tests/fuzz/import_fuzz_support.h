#pragma once
// The common part of the importer fuzz targets: each input is written to a
// file in a private folder, opened by one import format and imported into
// tracks on a directory manager whose blocks live in that folder. The
// progress callback cancels after a budget of calls, so that an input which
// decodes to hours of audio (a few bytes of silence can) does not turn a
// fuzz run into a disk-filling one; cancel paths get exercised on the way.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "audiofiles/import/ImportFile.h"
#include "audiofiles/import/ImportFormat.h"
#include "core/model/DirManager.h"
#include "core/model/Track.h"
#include "core/model/TrackFactory.h"

namespace importfuzz {

struct Harness {
  std::string folder;
  std::string input;
  DirManager* dm = nullptr;
  TrackFactory* factory = nullptr;

  Harness() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarvel-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    folder = pattern;
    input = folder + "/input";
    std::filesystem::create_directory(folder + "/blocks");
    DirManager::SetTempDir((folder + "/blocks").c_str());
    dm = new DirManager;
    factory = new TrackFactory(dm);
  }
  ~Harness() {
    delete factory;
    dm->Deref();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  static int Budget(void* calls, float fraction) {
    if (!(fraction >= 0.0f && fraction <= 1.0f)) std::abort();  // the promised range
    return ++*static_cast<int*>(calls) > 8 ? 1 : 0;
  }

  // Writes the input under the given extension, opens it with format and
  // imports it; every track made is checked for consistency and deleted.
  void Run(ImportFormat& format, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(input.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    ImportFile* file = format.Open(input);
    if (!file) return;
    int calls = 0;
    file->SetProgressCallback(&Budget, &calls);
    Track** tracks = nullptr;
    int count = 0;
    const int result = file->Import(factory, &tracks, &count);
    if (result == 1) {
      for (int i = 0; i < count; ++i) {
        if (!tracks[i] || tracks[i]->GetKind() != Track::Wave) std::abort();
        tracks[i]->GetEndTime();
        delete tracks[i];
      }
      delete[] tracks;
    } else if (tracks) {
      std::abort();  // a failed import hands nothing out
    }
    delete file;

    // Nothing may stay behind: every block belonged to a track deleted above.
    std::error_code ec;
    if (!std::filesystem::is_empty(folder + "/blocks", ec) && !ec) std::abort();
  }
};

inline Harness& TheHarness() {
  static Harness* h = [] {
    auto* harness = new Harness;
    std::atexit([] { delete &TheHarness(); });
    return harness;
  }();
  return *h;
}

}  // namespace importfuzz
