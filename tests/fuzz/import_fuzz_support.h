#pragma once
// The common part of the importer fuzz targets: each input is written to a
// file in a private folder, opened by one import format and imported into
// tracks on a directory manager whose blocks live in that folder. The
// progress callback cancels after a budget of calls, so that an input which
// decodes to hours of audio (a few bytes of silence can) does not turn a
// fuzz run into a disk-filling one; cancel paths get exercised on the way.
//
// Every input must leave as many allocations as it found, or libFuzzer stops
// checking each input for leaks. The sound libraries lose a few bytes when a
// damaged file fails to open (vorbisfile a serial-number list, libsndfile's Ogg
// reader its vorbis_info): blocks that a library allocated itself during an
// open that failed, and that nothing holds any more, are freed here: only
// blocks those libraries allocated themselves, never one of our own code or of
// the C library.
#include <dlfcn.h>
#include <sanitizer/allocator_interface.h>
#include <sanitizer/asan_interface.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "audiofiles/import/ImportFile.h"
#include "audiofiles/import/ImportFormat.h"
#include "core/model/BlockFileRecycler.h"
#include "core/model/DirManager.h"
#include "core/model/Track.h"
#include "core/model/TrackFactory.h"

namespace importfuzz {

// The blocks allocated while an open is watched and not freed since: a fixed
// table, as the hooks must not allocate.
class OpenWatch {
public:
  OpenWatch() { __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree); }
  static OpenWatch& Get();

  void Start() {
    count_ = 0;
    overflow_ = false;
    watching_ = true;
  }
  void Stop() { watching_ = false; }

  // Frees what a library (code outside this program) allocated directly during
  // the watched open and still holds nowhere, the open having failed.
  void FreeWhatLibrariesLost() {
    if (overflow_) return;
    Dl_info self{};
    if (!dladdr(reinterpret_cast<void*>(&OnMalloc), &self)) return;
    for (std::size_t i = 0; i < count_; ++i) {
      void* trace[4] = {};
      int thread = 0;
      const std::size_t depth = __asan_get_alloc_stack(live_[i], trace, 4, &thread);
      Dl_info caller{};
      // trace[0] is the allocator's entry; trace[1] the code that called it.
      if (depth < 2 || !dladdr(trace[1], &caller) || caller.dli_fbase == self.dli_fbase ||
          !IsSoundLibrary(caller.dli_fname))
        continue;
      std::free(live_[i]);
    }
    count_ = 0;
  }

private:
  // The decoding libraries the importers open files with; the C library and the
  // rest are not among them (a FILE left open by an importer is its own leak).
  static bool IsSoundLibrary(const char* path) {
    if (!path) return false;
    for (const char* name : {"/libvorbis", "/libogg", "/libsndfile", "/libFLAC", "/libopus", "/libmad"})
      if (std::strstr(path, name)) return true;
    return false;
  }
  static void OnMalloc(const volatile void* ptr, std::size_t) {
    OpenWatch& w = Get();
    if (!w.watching_ || !ptr) return;
    if (w.count_ == kMax) {
      w.overflow_ = true;
      return;
    }
    w.live_[w.count_++] = const_cast<void*>(ptr);
  }
  static void OnFree(const volatile void* ptr) {
    OpenWatch& w = Get();
    if (!w.watching_ || !ptr) return;
    for (std::size_t i = 0; i < w.count_; ++i) {
      if (w.live_[i] == ptr) {
        w.live_[i] = w.live_[--w.count_];
        return;
      }
    }
  }

  static constexpr std::size_t kMax = 4096;
  void* live_[kMax] = {};
  std::size_t count_ = 0;
  bool overflow_ = false;
  bool watching_ = false;
};

inline OpenWatch& OpenWatch::Get() {
  static OpenWatch watch;
  return watch;
}

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

    OpenWatch& watch = OpenWatch::Get();
    watch.Start();
    ImportFile* file = format.Open(input);
    watch.Stop();
    if (!file) {
      watch.FreeWhatLibrariesLost();
      return;
    }
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

    // Nothing may stay behind: every block belonged to a track deleted above. The dead
    // blocks' files kept as spares for new blocks go first, so any file left is a leak.
    BlockFileRecycler::Clear();
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
