#include "core/project/TakeRecovery.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/settings/FileOutputOptions.h"
#include "app/settings/SettingsPlatform.h"
#include "core/model/SoundFileOpen.h"
#include "core/project/ProjectText.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/Progress.h"

namespace take_recovery {

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kChunkFrames = 65536;

std::int64_t FramesOf(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = OpenSoundFileForReading(path, &info);
  if (!file) return -1;
  sf_close(file);
  return info.channels == 1 ? static_cast<std::int64_t>(info.frames) : -1;
}

sf_count_t ReadFrames(SNDFILE* file, int* out, sf_count_t n) { return sf_readf_int(file, out, n); }
sf_count_t ReadFrames(SNDFILE* file, float* out, sf_count_t n) { return sf_readf_float(file, out, n); }
sf_count_t WriteFrames(SNDFILE* file, const int* in, sf_count_t n) { return sf_writef_int(file, in, n); }
sf_count_t WriteFrames(SNDFILE* file, const float* in, sf_count_t n) { return sf_writef_float(file, in, n); }

// One track's samples, piece after piece, silence where a file has less than its
// piece or none.
template <typename T>
class TrackReader {
public:
  explicit TrackReader(const std::vector<Take::Piece>& pieces) : mPieces(pieces) {}
  ~TrackReader() { CloseFile(); }

  void Read(T* out, std::int64_t n) {
    while (n > 0) {
      if (mPiece >= mPieces.size()) {
        std::fill(out, out + n, T());
        return;
      }
      const Take::Piece& piece = mPieces[mPiece];
      if (mAt == 0 && !piece.path.empty()) {
        SF_INFO info{};
        mFile = OpenSoundFileForReading(piece.path, &info);
      }
      const std::int64_t take = std::min(n, piece.frames - mAt);
      std::int64_t got = 0;
      if (mFile) got = std::max<sf_count_t>(0, ReadFrames(mFile, out, take));
      std::fill(out + got, out + take, T());
      out += take;
      n -= take;
      mAt += take;
      if (mAt >= piece.frames) {
        CloseFile();
        ++mPiece;
        mAt = 0;
      }
    }
  }

private:
  void CloseFile() {
    if (mFile) sf_close(mFile);
    mFile = nullptr;
  }

  const std::vector<Take::Piece>& mPieces;
  std::size_t mPiece = 0;
  std::int64_t mAt = 0;
  SNDFILE* mFile = nullptr;
};

template <typename T>
WriteResult Write(const Take& take, SNDFILE* out, seams::ProgressWindow* progress, int showAfterMs,
                  std::string* error) {
  const int channels = static_cast<int>(take.tracks.size());
  std::vector<std::unique_ptr<TrackReader<T>>> readers;
  for (const auto& pieces : take.tracks) readers.push_back(std::make_unique<TrackReader<T>>(pieces));
  std::vector<T> one(kChunkFrames), interleaved(static_cast<std::size_t>(kChunkFrames * channels));
  const auto started = std::chrono::steady_clock::now();
  bool shown = false;
  for (std::int64_t done = 0; done < take.frames;) {
    const std::int64_t n = std::min(kChunkFrames, take.frames - done);
    for (int c = 0; c < channels; ++c) {
      readers[static_cast<std::size_t>(c)]->Read(one.data(), n);
      for (std::int64_t i = 0; i < n; ++i) interleaved[static_cast<std::size_t>(i * channels + c)] = one[i];
    }
    if (WriteFrames(out, interleaved.data(), n) != n) {
      *error = sf_strerror(out);
      return WriteResult::Failed;
    }
    done += n;
    if (!progress) continue;
    if (!shown && std::chrono::steady_clock::now() - started > std::chrono::milliseconds(showAfterMs)) {
      shown = progress->Show(project_text::kRecoveryCaption);
      progress->SetText(project_text::kRecoveryText);
      progress->SetRange(0, 1000, 1);
    }
    if (shown) {
      progress->SetPos(static_cast<int>(done * 1000 / take.frames));
      progress->PumpMessages(true);
      if (progress->Cancelled()) return WriteResult::Cancelled;
    }
  }
  return WriteResult::Written;
}

std::string WithSeparator(const std::string& folder) {
  return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

// A name for the recovered take: the next automatic name, with the extension "wav".
std::string RecoveredTakePath(FileOutputOptions* output) {
  std::string base, type;
  output->MakeNextAutoFileName(&base, &type, false);
  std::string path = base + ".wav";
  for (int n = 2; settings::Platform().Exists(path); ++n)
    path = base + "-recovered-" + std::to_string(n) + ".wav";
  return path;
}

void Tell(const std::string& text, unsigned icon) {
  seams::ShowMessageBox(text, seams::kProgramCaption, seams::kMbOk | icon);
}

}  // namespace

Take ReadTake(const std::string& folder) {
  Take take;
  const std::string dir = WithSeparator(folder);
  if (!TakeJournal::Read(dir + TakeJournal::kFileName, &take.journal, &take.journalError)) return take;
  take.journalRead = true;
  std::int64_t shortest = -1;
  for (const TakeJournal::Track& track : take.journal.tracks) {
    std::vector<Take::Piece> pieces;
    std::int64_t length = 0, missing = 0;
    for (const TakeJournal::Block& block : track.blocks) {
      const std::int64_t onDisk = FramesOf(dir + block.file);
      if (onDisk < block.len) missing += block.len - std::max<std::int64_t>(onDisk, 0);
      pieces.push_back({onDisk > 0 ? dir + block.file : std::string(), block.len});
      length += block.len;
    }
    take.missing = std::max(take.missing, missing);
    if (!track.waiting.empty()) {
      const std::int64_t onDisk = FramesOf(dir + track.waiting);
      if (onDisk > 0) {
        pieces.push_back({dir + track.waiting, onDisk});
        length += onDisk;
      }
    }
    take.tracks.push_back(std::move(pieces));
    shortest = shortest < 0 ? length : std::min(shortest, length);
  }
  // The channels are given back in step: as long as the shortest.
  take.frames = std::max<std::int64_t>(shortest, 0);
  return take;
}

WriteResult WriteTake(const Take& take, const std::string& nativePath, seams::ProgressWindow* progress,
                      std::string* error, int showAfterMs) {
  const int channels = static_cast<int>(take.tracks.size());
  const SampleFormat format = take.journal.format;
  const int bytes = format == SampleFormatInt24 ? 3 : SampleSize(format);
  SF_INFO info{};
  info.samplerate = static_cast<int>(take.journal.rate + 0.5);
  info.channels = channels;
  // A WAV file holds at most 4 GiB of samples; a longer take is written as RF64.
  const bool large = take.frames * channels * bytes > 0xFFF00000LL;
  info.format = (large ? SF_FORMAT_RF64 : SF_FORMAT_WAV) | (format == SampleFormatInt16   ? SF_FORMAT_PCM_16
                                                            : format == SampleFormatInt24 ? SF_FORMAT_PCM_24
                                                                                          : SF_FORMAT_FLOAT);
  SNDFILE* out = sf_open(nativePath.c_str(), SFM_WRITE, &info);
  if (!out) {
    *error = sf_strerror(nullptr);
    return WriteResult::Failed;
  }
  const WriteResult result = format == SampleFormatFloat
                                 ? Write<float>(take, out, progress, showAfterMs, error)
                                 : Write<int>(take, out, progress, showAfterMs, error);
  if (sf_close(out) != 0 && result == WriteResult::Written) {
    *error = "the file could not be closed";
    std::remove(nativePath.c_str());
    return WriteResult::Failed;
  }
  if (result != WriteResult::Written) std::remove(nativePath.c_str());
  if (progress) progress->Hide();
  return result;
}

void GiveBackTakes(const std::vector<std::string>& folders, FileOutputOptions* output) {
  for (const std::string& folder : folders) {
    const Take take = ReadTake(folder);
    bool keepFolder = false;
    if (!take.journalRead) {
      Tell(project_text::NothingRecoveredText(take.journalError), seams::kMbIconWarning);
    } else if (take.frames == 0) {
      Tell(project_text::NothingRecoveredText(project_text::kNoSamplesOnDisk), seams::kMbIconWarning);
    } else {
      const std::string path = RecoveredTakePath(output);
      const std::string folderOfPath = settings::FolderOf(path);
      if (!folderOfPath.empty() && !settings::Platform().IsFolder(folderOfPath)) {
        std::error_code ec;
        fs::create_directories(settings::Platform().OpenablePath(folderOfPath), ec);
      }
      std::unique_ptr<seams::ProgressWindow> progress = seams::CreateProgressWindow();
      std::string error;
      switch (WriteTake(take, settings::Platform().OpenablePath(path), progress.get(), &error)) {
        case WriteResult::Written:
          output->SaveStartNumber();
          Tell(project_text::RecoveredText(path, static_cast<double>(take.frames) / take.journal.rate,
                                           static_cast<int>(take.tracks.size()),
                                           static_cast<double>(take.missing) / take.journal.rate),
               seams::kMbIconInformation);
          break;
        case WriteResult::Cancelled:
          Tell(project_text::kRecoveryCancelled, seams::kMbIconInformation);
          keepFolder = true;
          break;
        case WriteResult::Failed:
          Tell(project_text::RecoveryFailedText(path, error), seams::kMbIconWarning);
          keepFolder = true;
          break;
      }
    }
    if (!keepFolder) {
      std::error_code ec;
      fs::remove_all(folder, ec);
    }
  }
}

}  // namespace take_recovery
