// The streaming writers of direct recording: the abstract base of the MP3, Ogg
// Vorbis and WAV writers, the output file names and the settings they read.
//
// In the direct mode the buffer thread hands the captured audio to a writer, which
// encodes it and writes it straight into an output file, starting further files when
// the recording is split. The writer reads the capture rings through the audio I/O
// object's StreamMixer, which it sets up in Open.
//
// Failures are never successes: a writer's operations return 0 on every
// failure the engine must see (a failing or short write, a failing close, an encoder
// that refuses its configuration), so the engine stops the recording; the final
// write of Close drains everything the rings and the stream mixer still hold.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

class RingBuffer;
class StreamMixer;
class FileEncodeOptions;
class FileOutputOptions;
class AdvanceRecordSetting;
class SoundDeviceOptions;

// The application's records the writers read. The application (or a test)
// installs them; a null pointer falls back as each accessor says.
struct StreamWriterSettings {
  FileEncodeOptions* encode = nullptr;           // the stored encode record
  FileOutputOptions* output = nullptr;           // names of the output files
  const AdvanceRecordSetting* record = nullptr;  // splitting
  const SoundDeviceOptions* device = nullptr;    // the recording sample rate
};

// Installs the records; returns the ones installed before.
StreamWriterSettings SetStreamWriterSettings(const StreamWriterSettings& settings);
const StreamWriterSettings& GetStreamWriterSettings();

// The encode record the writers read: the installed one, else a copy of
// settings::StoredEncodeOptions().
FileEncodeOptions* StreamWriterEncodeOptions();
// AdvanceRecordSetting::SplitsFiles of the installed record; false with none.
bool StreamWriterSplitsFiles();

// The two process-wide strings of the automatic names: the base path (without
// extension) and the extension; "C:\\TVLRec00001" and "MP3" at first.
std::string GetAutoBaseName();
std::string GetAutoExtension();
// Sets both (tests; the program sets them through PrepareAutoFileName), and the base
// as the path the writers open. Called before a recording starts, on a thread that
// may ask the settings' platform for paths: the buffer thread, which makes every
// file name of a split recording, must not (the platform's conversion may be a
// window-system call).
void SetAutoFileName(const std::string& base, const std::string& extension);

// Fills the two strings from the file-output settings, advancing their counter
// (FileOutputOptions::MakeNextAutoFileName); 1 on success, else 0 and the old values
// stay (also when no output record is installed).
int PrepareAutoFileName();

// The sample rate of the sound-device options: the installed record's,
// else the application's registered record's, else 44100.
int GetRecordingSampleRate();

class StreamFileWriter {
public:
  // mixerSlot: the audio I/O object's StreamMixer pointer; read through it every time.
  explicit StreamFileWriter(StreamMixer** mixerSlot);
  virtual ~StreamFileWriter();

  StreamFileWriter(const StreamFileWriter&) = delete;
  StreamFileWriter& operator=(const StreamFileWriter&) = delete;

  // When a direct recording starts (user-interface thread): counter = 1; 1 when the
  // writer can work.
  virtual int Prepare() = 0;
  // On the buffer thread when the capture stream starts: the first file, the encoder
  // and the mixer; 1 on success.
  virtual int Open(int channels, RingBuffer** inputs, double inputRate) = 0;
  // When the stream stops: writes what is left, finishes, closes; 1 on success.
  virtual int Close() = 0;
  // Moves what the mixer can produce into the file; 1 on success.
  virtual int WriteBlock();
  // Closes the current file and opens the next; 1 on success.
  virtual int NextFile();
  // Sets stereo from the kind's channel-mode setting and returns it.
  virtual int UpdateStereo();
  // The kind's output sample rate setting and its type text ("MP3", "OGG", "WAV").
  virtual void GetRateAndType(int* rate, char* type) = 0;

  // Seconds written to the current file (0.0 without a mixer).
  double GetFileSeconds() const;
  // Encoded bytes written to the current file.
  std::int64_t GetFileBytes() const;
  // The name of the next output file; also stored as the current name.
  std::string MakeNextName();
  // MakeNextName as the path the writers open (the settings' paths may be paths of
  // another system's view of the disk).
  std::string MakeNextOpenablePath();
  // The name the next recording's first file would get (for display); 0 when no
  // automatic name can be made.
  int MakeFileName(std::string* out);

  const std::string& GetName() const { return mName; }
  // A copy of the name field, for the user interface: the buffer thread may be
  // starting the next file meanwhile.
  std::string GetCurrentName() const;
  int GetFileCounter() const { return mFileCounter; }
  bool IsOpened() const { return mOpened; }
  bool IsStereo() const { return mStereo; }
  double GetRate() const { return mRate; }
  std::uint64_t GetBytesTotal() const { return mBytesTotal; }

protected:
  StreamMixer* Mixer() const { return mMixerSlot ? *mMixerSlot : nullptr; }
  // Resets bytes and times, counter = 1, opened = false, no failure (the start of
  // every Open).
  void ResetCounters();
  // Bookkeeping of a new file: bytes and time at file start.
  void MarkFileStart();

  StreamMixer** mMixerSlot;
  std::string mName;
  mutable std::mutex mNameMutex;  // guards mName once a recording runs
  double mRate = 44100.0;
  bool mStereo = true;
  int mFileCounter = 1;
  bool mOpened = false;
  std::uint64_t mBytesTotal = 0;
  std::uint64_t mBytesAtFileStart = 0;
  double mTimeAtFileStart = 0.0;
  // A write or close of this recording failed: Close reports 0 whatever comes after.
  bool mFailed = false;
};
