// MP3 encoder library binding.
//
// `LameEncoder` loads the outside MP3 encoder library at run time and drives
// it through its five entry points, and through a sixth, beGetInfoTag, when
// the library has it; its base `MP3EncoderLibrary` owns the loaded module. `GetLameEncoder` gives the one
// process-wide binding.
//
// The library is asked for as "lame_enc.dll"; here it is our own shared
// object "lame_enc.so" (platform/lame_enc). A name without a folder is looked
// up, in order,
//   1. when a search path is set (`LameEncoder::SetLibrarySearchPath`, or the
//      environment variable TARVEL_LAME_ENC): there only, a folder or a file;
//   2. beside the running program (the folder of /proc/self/exe);
//   3. beside the module that holds this binding (the program's own file where
//      a loader such as wine runs it);
//   4. in the build's bin folder, where the build puts it;
//   5. on the loader's normal path.
//
// Safety:
// - `InitStream` and `InitSimple` read beInitStream's result: a configuration
//   the library refuses opens no stream and returns -1 (callers fail their open).
// - One binding never serves two users at once: while a stream is open,
//   `InitStream` and `InitSimple` refuse with `kStreamBusy` (-2) and leave the
//   open stream alone. A user that must run beside another (an export during a
//   direct MP3 recording) can also make its own `LameEncoder`: each object has
//   its own library stream, and the library itself is shared.
#ifndef TARVEL_AUDIOFILES_LAMEENCODER_H
#define TARVEL_AUDIOFILES_LAMEENCODER_H

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/lame_enc/lame_enc.h"

class FileEncodeOptions;

// The MP3 fields of the encode settings record (`FileEncodeOptions`)
// that `LameEncoder::InitStream` reads, as a plain record.
struct LameStreamSettings {
  int MP3Version = 0;          // 0 MPEG I, 1 MPEG II, 2 MPEG II.5
  int MP3SampleRate = 44100;   // Hz
  int MP3EncodeMode = 0;       // 0 CBR, 1 ABR, 2 VBR
  int MP3ChannelMode = 1;      // 0 mono, 1 stereo, 2 joint stereo, 3 forced stereo
  int MP3BitRate = 128;        // kbit/s
  int MP3VBRMaxBitRate = 320;  // kbit/s
  int MP3ABRBitRate = 128000;  // bit/s
  int MP3VBRQuality = 5;       // 0 best .. 9 poor
};

class MP3EncoderLibrary {
public:
  MP3EncoderLibrary();
  virtual ~MP3EncoderLibrary();

  virtual int Load() = 0;
  virtual int IsLoaded() = 0;
  virtual std::string GetVersionText() = 0;
  virtual int InitStream(FileEncodeOptions* record) = 0;
  virtual int InitSimple(int mode, int sampleRate) = 0;
  virtual int GetOutputBufferSize() = 0;
  virtual int EncodeChunk(const short* samples, unsigned char* out) = 0;
  virtual int EncodeSamples(const short* samples, int count, unsigned char* out) = 0;
  virtual int EncodeMonoChunk(const short* samples, unsigned char* out) = 0;
  virtual int EncodeMonoSamples(const short* samples, int count, unsigned char* out) = 0;
  virtual int Finish(unsigned char* out) = 0;
  virtual int CloseStream() = 0;
  virtual int ReservedQuery() = 0;  // returns -1
  virtual int ReservedFlag() = 0;   // returns 1
  virtual void SetBitrate(int kbps) = 0;
  virtual int GetBitrate() = 0;
  virtual void ReservedSetting(int) = 0;  // does nothing
  virtual int ReservedQuery2() = 0;       // returns -1

  // The path of the last successful Open as asked ("lame_enc.dll"), and the
  // file that was loaded for it; both empty when nothing is loaded.
  const std::string& GetLibraryPath() const { return mPath; }
  const std::string& GetLoadedFile() const { return mLoadedFile; }

protected:
  // Loads the library named by path; 1 on success, 0 otherwise.
  int Open(const std::string& path);
  void Free();
  void* Module() const { return mModule; }

private:
  std::string mUnused;
  std::string mPath;
  void* mModule = nullptr;
  std::string mLoadedFile;
};

class LameEncoder : public MP3EncoderLibrary {
public:
  static constexpr int kStreamBusy = -2;

  LameEncoder();
  ~LameEncoder() override;

  int Load() override;
  int IsLoaded() override;
  std::string GetVersionText() override;
  // Reads the MP3 fields of record and opens a stream: the chunk
  // length in frames; -1 when not loaded, record is null or the library
  // refuses the configuration; kStreamBusy while a stream is open.
  int InitStream(FileEncodeOptions* record) override;
  int InitSimple(int mode, int sampleRate) override;
  int GetOutputBufferSize() override;
  int EncodeChunk(const short* samples, unsigned char* out) override;
  int EncodeSamples(const short* samples, int count, unsigned char* out) override;
  int EncodeMonoChunk(const short* samples, unsigned char* out) override;
  int EncodeMonoSamples(const short* samples, int count, unsigned char* out) override;
  int Finish(unsigned char* out) override;
  int CloseStream() override;
  int ReservedQuery() override { return -1; }
  int ReservedFlag() override { return 1; }
  void SetBitrate(int kbps) override { mSimpleBitrate = kbps; }
  int GetBitrate() override { return mSimpleBitrate; }
  void ReservedSetting(int) override {}
  int ReservedQuery2() override { return -1; }

  // `InitStream` over the plain record; raises settings.MP3VBRMaxBitRate to
  // MP3BitRate when lower, in the record itself.
  int InitStreamWith(LameStreamSettings* settings);

  // True while a stream is open (between a successful InitStream and Finish).
  bool IsStreamOpen() const { return mStreamOpen.load() != 0; }
  // Whether the chunk length was halved for two channels.
  bool IsHalved() const { return mHalved != 0; }
  // The configuration last handed to beInitStream.
  const BE_CONFIG& GetConfig() const { return mConfig; }
  const BE_VERSION& GetVersion() const { return mVersion; }
  // The information frame of the stream (frame and byte counts, seek table,
  // encoder delay and padding), to be written over the first bytes the stream
  // gave, which held a blank frame of the same size. After Finish: the frame
  // of the stream just finished. While a stream is open: the frame of what it
  // has given so far (no padding known), for a file that ends while the
  // stream goes on. Empty when the library gives none (a library without
  // beGetInfoTag, or the simple configuration).
  std::vector<unsigned char> GetInfoFrame();

  // Text of the last failure of Load, InitStream or InitSimple, for messages.
  std::string GetLastError() const;

  // Where `Load` looks for the library (a folder or a file); empty goes back
  // to the normal search. Process-wide; for tests and installations.
  static void SetLibrarySearchPath(const std::string& dirOrFile);
  static std::string GetLibrarySearchPath();

private:
  int OpenStream(int halveForStereo);
  void TakeInfoFrame();
  void SetLastError(const std::string& text);

  BE_CONFIG mConfig;
  BE_VERSION mVersion;
  HBE_STREAM mStream = 0;
  int mLoaded = 0;
  std::atomic<int> mStreamOpen{0};
  int mHalved = 0;
  unsigned mOutputBufferSize = 0;
  unsigned mSamplesPerChunk = 0;
  std::atomic<int> mSimpleBitrate{128};
  BEINITSTREAM mBeInitStream = nullptr;
  BEENCODECHUNK mBeEncodeChunk = nullptr;
  BEDEINITSTREAM mBeDeinitStream = nullptr;
  BECLOSESTREAM mBeCloseStream = nullptr;
  BEVERSION mBeVersion = nullptr;
  BEGETINFOTAG mBeGetInfoTag = nullptr;  // optional
  std::vector<unsigned char> mInfoFrame;

  mutable std::mutex mLock;  // Load and the opening and closing of streams
  std::string mLastError;
};

// The one process-wide binding, made on first use.
LameEncoder* GetLameEncoder();
// Deletes it; registered as an exit handler.
void DestroyLameEncoder();

#endif
