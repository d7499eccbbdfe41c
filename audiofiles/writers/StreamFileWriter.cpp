#include "audiofiles/writers/StreamFileWriter.h"

#include <cstdio>

#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/SettingsPlatform.h"
#include "app/settings/SoundDeviceOptions.h"
#include "audiofiles/writers/StreamMixer.h"

namespace {

StreamWriterSettings& Installed() {
  static StreamWriterSettings settings;
  return settings;
}

struct AutoName {
  std::string base = "C:\\TVLRec00001";
  std::string extension = "MP3";
  std::string openableBase = base;  // base as the writers open it
};

AutoName& Names() {
  static AutoName names;
  return names;
}

std::string Format3(const std::string& base, int counter, const std::string& ext) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "-%d.", counter);
  return base + buf + ext;
}

}  // namespace

StreamWriterSettings SetStreamWriterSettings(const StreamWriterSettings& settings) {
  StreamWriterSettings old = Installed();
  Installed() = settings;
  return old;
}

const StreamWriterSettings& GetStreamWriterSettings() { return Installed(); }

FileEncodeOptions* StreamWriterEncodeOptions() {
  if (Installed().encode) return Installed().encode;
  static FileEncodeOptions copy;
  copy = settings::StoredEncodeOptions();
  return &copy;
}

bool StreamWriterSplitsFiles() {
  const AdvanceRecordSetting* record = Installed().record;
  return record && record->SplitsFiles();
}

std::string GetAutoBaseName() { return Names().base; }
std::string GetAutoExtension() { return Names().extension; }

void SetAutoFileName(const std::string& base, const std::string& extension) {
  Names().base = base;
  Names().extension = extension;
  Names().openableBase = settings::Platform().OpenablePath(base);
}

int PrepareAutoFileName() {
  FileOutputOptions* output = Installed().output;
  if (!output) return 0;
  std::string base, ext;
  if (!output->MakeNextAutoFileName(&base, &ext, false)) return 0;
  SetAutoFileName(base, ext);
  return 1;
}

int GetRecordingSampleRate() {
  const SoundDeviceOptions* device = Installed().device;
  if (!device) device = settings::ApplicationSoundDeviceOptions();
  return device ? device->SampleRate : 44100;
}

StreamFileWriter::StreamFileWriter(StreamMixer** mixerSlot) : mMixerSlot(mixerSlot), mName("c:\\aa.mp3") {}

StreamFileWriter::~StreamFileWriter() = default;

int StreamFileWriter::WriteBlock() { return 0; }
int StreamFileWriter::NextFile() { return 0; }
int StreamFileWriter::UpdateStereo() { return 1; }

double StreamFileWriter::GetFileSeconds() const {
  StreamMixer* mixer = Mixer();
  if (!mixer) return 0.0;
  return mixer->GetTime() - mTimeAtFileStart;
}

std::int64_t StreamFileWriter::GetFileBytes() const {
  return static_cast<std::int64_t>(mBytesTotal - mBytesAtFileStart);
}

std::string StreamFileWriter::MakeNextOpenablePath() {
  const AutoName& names = Names();
  const int counter = mFileCounter;
  MakeNextName();
  // The same name, made from the base as the writers open it (empty when the platform
  // could not place it: every open refuses that).
  if (names.openableBase.empty()) return std::string();
  return StreamWriterSplitsFiles() ? Format3(names.openableBase, counter, names.extension)
                                   : names.openableBase + "." + names.extension;
}

std::string StreamFileWriter::MakeNextName() {
  const AutoName& names = Names();
  std::string name;
  if (StreamWriterSplitsFiles()) {
    name = Format3(names.base, mFileCounter, names.extension);
    ++mFileCounter;
  } else {
    name = names.base + "." + names.extension;
  }
  std::lock_guard lock(mNameMutex);
  mName = name;
  return name;
}

std::string StreamFileWriter::GetCurrentName() const {
  std::lock_guard lock(mNameMutex);
  return mName;
}

int StreamFileWriter::MakeFileName(std::string* out) {
  FileOutputOptions* output = Installed().output;
  if (!output || !out) return 0;
  std::string base, ext;
  if (!output->MakeNextAutoFileName(&base, &ext, true)) return 0;
  if (StreamWriterSplitsFiles())
    *out = Format3(base, mFileCounter, ext);
  else
    *out = base + "." + ext;
  return 1;
}

void StreamFileWriter::ResetCounters() {
  mBytesTotal = 0;
  mBytesAtFileStart = 0;
  mTimeAtFileStart = 0.0;
  mFileCounter = 1;
  mOpened = false;
  mFailed = false;
}

void StreamFileWriter::MarkFileStart() {
  mBytesAtFileStart = mBytesTotal;
  StreamMixer* mixer = Mixer();
  mTimeAtFileStart = mixer ? mixer->GetTime() : 0.0;
}
