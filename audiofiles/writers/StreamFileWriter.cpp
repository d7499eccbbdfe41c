#include "audiofiles/writers/StreamFileWriter.h"

#include <cstdio>

#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
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

StreamFileWriter::StreamFileWriter(StreamMixer** mixerSlot)
    : m_mixerSlot(mixerSlot), m_name("c:\\aa.mp3") {}

StreamFileWriter::~StreamFileWriter() = default;

int StreamFileWriter::WriteBlock() { return 0; }
int StreamFileWriter::NextFile() { return 0; }
int StreamFileWriter::UpdateStereo() { return 1; }

double StreamFileWriter::GetFileSeconds() const {
  StreamMixer* mixer = Mixer();
  if (!mixer) return 0.0;
  return mixer->GetTime() - m_timeAtFileStart;
}

std::int64_t StreamFileWriter::GetFileBytes() const {
  return static_cast<std::int64_t>(m_bytesTotal - m_bytesAtFileStart);
}

std::string StreamFileWriter::MakeNextName() {
  const AutoName names = Names();
  if (StreamWriterSplitsFiles()) {
    m_name = Format3(names.base, m_fileCounter, names.extension);
    ++m_fileCounter;
  } else {
    m_name = names.base + "." + names.extension;
  }
  return m_name;
}

int StreamFileWriter::MakeFileName(std::string* out) {
  FileOutputOptions* output = Installed().output;
  if (!output || !out) return 0;
  std::string base, ext;
  if (!output->MakeNextAutoFileName(&base, &ext, true)) return 0;
  if (StreamWriterSplitsFiles())
    *out = Format3(base, m_fileCounter, ext);
  else
    *out = base + "." + ext;
  return 1;
}

void StreamFileWriter::ResetCounters() {
  m_bytesTotal = 0;
  m_bytesAtFileStart = 0;
  m_timeAtFileStart = 0.0;
  m_fileCounter = 1;
  m_opened = false;
  m_failed = false;
}

void StreamFileWriter::MarkFileStart() {
  m_bytesAtFileStart = m_bytesTotal;
  StreamMixer* mixer = Mixer();
  m_timeAtFileStart = mixer ? mixer->GetTime() : 0.0;
}
