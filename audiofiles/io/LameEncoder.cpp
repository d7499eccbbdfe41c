// MP3 encoder library binding. See LameEncoder.h.
#include "audiofiles/io/LameEncoder.h"

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/io/IoText.h"

#include <dlfcn.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::mutex g_searchLock;
std::string g_searchPath;  // set by LameEncoder::SetLibrarySearchPath

std::string DirName(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string RealPath(const char* path) {
  if (!path || !*path) return std::string();
  char buf[PATH_MAX];
  if (!::realpath(path, buf)) return std::string();
  return buf;
}

// The folder of the running program.
std::string ProgramDir() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return std::string();
  buf[n] = '\0';
  return DirName(buf);
}

// The folder of the module that holds this code (the program itself, or the
// program's shared object where a loader runs it).
std::string BindingModuleDir() {
  Dl_info info;
  std::memset(&info, 0, sizeof(info));
  if (!::dladdr(reinterpret_cast<void*>(&ProgramDir), &info) || !info.dli_fname) return {};
  return DirName(RealPath(info.dli_fname));
}

// The Windows library name as this system names its shared objects.
std::string NativeName(const std::string& name) {
  if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".dll") == 0)
    return name.substr(0, name.size() - 4) + ".so";
  return name;
}

// The files to try for a library name, in order (see LameEncoder.h).
std::vector<std::string> Candidates(const std::string& path) {
  const std::string name = NativeName(path);
  std::vector<std::string> out;
  if (name.find('/') != std::string::npos) {
    out.push_back(name);
    return out;
  }
  std::string override = LameEncoder::GetLibrarySearchPath();
  if (override.empty()) {
    if (const char* env = std::getenv("TARVEL_LAME_ENC")) override = env;
  }
  if (!override.empty()) {
    out.push_back(IsDirectory(override) ? override + "/" + name : override);
    return out;
  }
  const auto addDir = [&](const std::string& dir) {
    if (dir.empty()) return;
    const std::string file = dir + "/" + name;
    for (const auto& f : out)
      if (f == file) return;
    out.push_back(file);
  };
  addDir(ProgramDir());
  addDir(BindingModuleDir());
#ifdef TARVEL_LAME_ENC_BUILD_DIR
  addDir(TARVEL_LAME_ENC_BUILD_DIR);
#endif
  out.push_back(name);  // the loader's own search
  return out;
}

void* Resolve(void* module, const char* symbol) { return module ? ::dlsym(module, symbol) : nullptr; }

}  // namespace

// ---------------------------------------------------------------------------
// MP3EncoderLibrary

MP3EncoderLibrary::MP3EncoderLibrary() = default;

MP3EncoderLibrary::~MP3EncoderLibrary() { Free(); }

void MP3EncoderLibrary::Free() {
  if (mModule) ::dlclose(mModule);
  mModule = nullptr;
  mPath.clear();
  mLoadedFile.clear();
}

int MP3EncoderLibrary::Open(const std::string& path) {
  if (path.empty()) {
    Free();
    return 0;
  }
  if (mModule && strcasecmp(path.c_str(), mPath.c_str()) == 0) return 1;
  Free();
  for (const auto& file : Candidates(path)) {
    // A path with a folder is opened as it is; a bare name goes to the loader.
    if (file.find('/') != std::string::npos && ::access(file.c_str(), F_OK) != 0) continue;
    if (void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      mModule = module;
      mPath = path;
      mLoadedFile = file;
      return 1;
    }
  }
  return 0;
}

// ---------------------------------------------------------------------------
// LameEncoder

LameEncoder::LameEncoder() {
  std::memset(&mConfig, 0, sizeof(mConfig));
  std::memset(&mVersion, 0, sizeof(mVersion));
  mConfig.dwConfig = BE_CONFIG_LAME;
  auto& l = mConfig.format.LHV1;
  l.dwStructVersion = CURRENT_STRUCT_VERSION;
  l.dwStructSize = CURRENT_STRUCT_SIZE;
  l.dwBitrate = 128;
  l.dwMaxBitrate = 320;
  l.nPreset = LQP_R3MIX;
  l.dwMpegVersion = MPEG1;
  l.bCRC = 1;
  l.bNoRes = 0;
  l.nVBRQuality = 5;
  l.dwVbrAbr_bps = static_cast<uint32_t>(-1);
}

LameEncoder::~LameEncoder() {
  // A stream still open belongs to this object alone: close it before the
  // library goes.
  if (mStreamOpen.load() && mBeCloseStream) mBeCloseStream(mStream);
  mStreamOpen = 0;
}

void LameEncoder::SetLastError(const std::string& text) { mLastError = text; }

std::string LameEncoder::GetLastError() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mLastError;
}

void LameEncoder::SetLibrarySearchPath(const std::string& dirOrFile) {
  std::lock_guard<std::mutex> guard(g_searchLock);
  g_searchPath = dirOrFile;
}

std::string LameEncoder::GetLibrarySearchPath() {
  std::lock_guard<std::mutex> guard(g_searchLock);
  return g_searchPath;
}

int LameEncoder::Load() {
  std::lock_guard<std::mutex> guard(mLock);
  if (!Open("lame_enc.dll")) {
    mLastError = io_text::kEncoderNotFound;
    return 0;
  }
  void* module = Module();
  auto init = reinterpret_cast<BEINITSTREAM>(Resolve(module, "beInitStream"));
  auto encode = reinterpret_cast<BEENCODECHUNK>(Resolve(module, "beEncodeChunk"));
  auto deinit = reinterpret_cast<BEDEINITSTREAM>(Resolve(module, "beDeinitStream"));
  auto close = reinterpret_cast<BECLOSESTREAM>(Resolve(module, "beCloseStream"));
  auto version = reinterpret_cast<BEVERSION>(Resolve(module, "beVersion"));
  if (!init || !encode || !deinit || !close || !version) {
    // The module stays loaded; Load keeps failing with it.
    mLastError = io_text::EncoderLacksEntryPoint(GetLoadedFile());
    return 0;
  }
  // A second Load with the library held resolves the same entry points: leave
  // the fields as they are, so a stream in use on another thread is not touched.
  if (mLoaded && init == mBeInitStream && encode == mBeEncodeChunk && deinit == mBeDeinitStream &&
      close == mBeCloseStream && version == mBeVersion)
    return 1;
  mBeInitStream = init;
  mBeEncodeChunk = encode;
  mBeDeinitStream = deinit;
  mBeCloseStream = close;
  mBeVersion = version;
  // Optional: a library without it writes no information frame.
  mBeGetInfoTag = reinterpret_cast<BEGETINFOTAG>(Resolve(module, "beGetInfoTag"));
  mBeVersion(&mVersion);
  mLoaded = 1;
  return 1;
}

int LameEncoder::IsLoaded() { return mLoaded; }

std::string LameEncoder::GetVersionText() {
  if (!mLoaded) return std::string();
  BE_VERSION v;
  std::memset(&v, 0, sizeof(v));
  mBeVersion(&v);
  char text[64];
  std::snprintf(text, sizeof(text), io_text::kEncoderVersionFormat, v.byMajorVersion, v.byMinorVersion);
  return text;
}

int LameEncoder::InitStreamWith(LameStreamSettings* s) {
  std::lock_guard<std::mutex> guard(mLock);
  if (!mLoaded || !s) return -1;
  if (mStreamOpen.load()) {
    mLastError = io_text::kEncoderBusy;
    return kStreamBusy;
  }
  if (s->MP3BitRate > s->MP3VBRMaxBitRate) s->MP3VBRMaxBitRate = s->MP3BitRate;

  const bool variable = s->MP3EncodeMode == 1 || s->MP3EncodeMode == 2;
  std::memset(&mConfig, 0, sizeof(mConfig));
  mConfig.dwConfig = BE_CONFIG_LAME;
  auto& l = mConfig.format.LHV1;
  l.dwStructVersion = CURRENT_STRUCT_VERSION;
  l.dwStructSize = CURRENT_STRUCT_SIZE;
  l.dwSampleRate = static_cast<uint32_t>(s->MP3SampleRate);
  l.dwReSampleRate = static_cast<uint32_t>(s->MP3SampleRate);
  switch (s->MP3ChannelMode) {
    case 0:
      l.nMode = BE_MP3_MODE_MONO;
      break;
    case 1:
      l.nMode = BE_MP3_MODE_STEREO;
      break;
    case 2:
      l.nMode = BE_MP3_MODE_JSTEREO;
      break;
    case 3:
      l.nMode = BE_MP3_MODE_DUALCHANNEL;
      break;
    default:
      l.nMode = BE_MP3_MODE_STEREO;
      break;
  }
  l.dwBitrate = static_cast<uint32_t>(s->MP3BitRate);
  l.dwMaxBitrate = variable ? static_cast<uint32_t>(s->MP3VBRMaxBitRate) : 0;
  l.nPreset = LQP_NORMAL_QUALITY;
  l.dwMpegVersion = (s->MP3Version < 1 || s->MP3Version > 2) ? MPEG1 : MPEG2;
  l.dwPsyModel = 0;
  l.dwEmphasis = 0;
  l.bPrivate = 0;
  l.bCopyright = 0;
  l.bOriginal = 0;
  l.bCRC = 1;
  // Every stream, CBR too, starts with the information frame when the library
  // can fill it in: players read the length from it, seek by its table, and
  // gapless decoders trim the encoder's delay and padding it tells.
  l.bWriteVBRHeader = (variable || mBeGetInfoTag) ? 1 : 0;
  l.bEnableVBR = variable ? 1 : 0;
  l.nVBRQuality = variable ? s->MP3VBRQuality : 0;
  l.dwVbrAbr_bps = s->MP3EncodeMode == 1   ? static_cast<uint32_t>(s->MP3ABRBitRate)
                   : s->MP3EncodeMode == 2 ? static_cast<uint32_t>(-1)
                                           : 0;
  l.nVbrMethod = s->MP3EncodeMode == 1   ? VBR_METHOD_ABR
                 : s->MP3EncodeMode == 2 ? VBR_METHOD_NEW
                                         : VBR_METHOD_NONE;
  l.bNoRes = 1;
  l.bStrictIso = 0;
  l.nQuality = 0;

  mSimpleBitrate = s->MP3BitRate;
  return OpenStream(s->MP3ChannelMode != 0);
}

int LameEncoder::InitStream(FileEncodeOptions* record) {
  if (!record) return InitStreamWith(nullptr);
  LameStreamSettings s;
  s.MP3Version = record->MP3Version;
  s.MP3SampleRate = record->MP3SampleRate;
  s.MP3EncodeMode = record->MP3EncodeMode;
  s.MP3ChannelMode = record->MP3ChannelMode;
  s.MP3BitRate = record->MP3BitRate;
  s.MP3VBRMaxBitRate = record->MP3VBRMaxBitRate;
  s.MP3ABRBitRate = record->MP3ABRBitRate;
  s.MP3VBRQuality = record->MP3VBRQuality;
  const int result = InitStreamWith(&s);
  // The raised maximum goes back into the record itself.
  if (result != -1 || IsLoaded()) record->MP3VBRMaxBitRate = s.MP3VBRMaxBitRate;
  return result;
}

int LameEncoder::InitSimple(int mode, int sampleRate) {
  std::lock_guard<std::mutex> guard(mLock);
  if (!mLoaded) return -1;
  if (mStreamOpen.load()) {
    mLastError = io_text::kEncoderBusy;
    return kStreamBusy;
  }
  // The simple form. The kind is set too: left at the LAME form, the library
  // would read these bytes as a LAME configuration and refuse them.
  mConfig.dwConfig = BE_CONFIG_MP3;
  mConfig.format.mp3.dwSampleRate = static_cast<uint32_t>(sampleRate);
  mConfig.format.mp3.byMode = mode == 1 ? BE_MP3_MODE_MONO : BE_MP3_MODE_STEREO;
  mConfig.format.mp3.wBitrate = static_cast<uint16_t>(mSimpleBitrate.load());
  return OpenStream(mode == 2);
}

// beInitStream over mConfig; the caller holds mLock.
int LameEncoder::OpenStream(int halveForStereo) {
  uint32_t samples = 0, bufferSize = 0;
  HBE_STREAM stream = 0;
  const BE_ERR err = mBeInitStream(&mConfig, &samples, &bufferSize, &stream);
  if (err != BE_ERR_SUCCESSFUL || samples == 0 || bufferSize == 0) {
    char text[128];
    std::snprintf(text, sizeof(text), io_text::kEncoderRefusedFormat, static_cast<unsigned>(err));
    mLastError = text;
    if (err == BE_ERR_SUCCESSFUL) mBeCloseStream(stream);
    return -1;
  }
  mStream = stream;
  mSamplesPerChunk = samples;
  mOutputBufferSize = bufferSize;
  mHalved = halveForStereo ? 1 : 0;
  mInfoFrame.clear();
  mLastError.clear();
  mStreamOpen = 1;
  return static_cast<int>(halveForStereo ? samples / 2 : samples);
}

int LameEncoder::GetOutputBufferSize() {
  return mStreamOpen.load() ? static_cast<int>(mOutputBufferSize) : -1;
}

int LameEncoder::EncodeChunk(const short* samples, unsigned char* out) {
  if (!mStreamOpen.load()) return -1;
  uint32_t bytes = 0;
  mBeEncodeChunk(mStream, mSamplesPerChunk, samples, out, &bytes);
  return static_cast<int>(bytes);
}

int LameEncoder::EncodeSamples(const short* samples, int count, unsigned char* out) {
  if (!mStreamOpen.load()) return -1;
  uint32_t bytes = 0;
  mBeEncodeChunk(mStream, static_cast<uint32_t>(count < 0 ? 0 : count), samples, out, &bytes);
  return static_cast<int>(bytes);
}

int LameEncoder::EncodeMonoChunk(const short* samples, unsigned char* out) {
  return EncodeChunk(samples, out);
}

int LameEncoder::EncodeMonoSamples(const short* samples, int count, unsigned char* out) {
  return EncodeSamples(samples, count, out);
}

int LameEncoder::Finish(unsigned char* out) {
  std::lock_guard<std::mutex> guard(mLock);
  if (!mStreamOpen.load()) return -1;
  uint32_t bytes = 0;
  mBeDeinitStream(mStream, out, &bytes);
  TakeInfoFrame();
  mBeCloseStream(mStream);
  mStreamOpen = 0;
  mStream = 0;
  return static_cast<int>(bytes);
}

// The stream's information frame into mInfoFrame; the caller holds mLock.
void LameEncoder::TakeInfoFrame() {
  mInfoFrame.clear();
  if (!mBeGetInfoTag || !mStreamOpen.load() || mConfig.dwConfig != BE_CONFIG_LAME ||
      !mConfig.format.LHV1.bWriteVBRHeader)
    return;
  std::vector<unsigned char> frame(mOutputBufferSize);
  uint32_t bytes = 0;
  if (mBeGetInfoTag(mStream, frame.data(), &bytes) == BE_ERR_SUCCESSFUL && bytes <= frame.size()) {
    frame.resize(bytes);
    mInfoFrame.swap(frame);
  }
}

std::vector<unsigned char> LameEncoder::GetInfoFrame() {
  std::lock_guard<std::mutex> guard(mLock);
  if (mStreamOpen.load()) TakeInfoFrame();
  return mInfoFrame;
}

int LameEncoder::CloseStream() {
  std::lock_guard<std::mutex> guard(mLock);
  if (!mStreamOpen.load()) return -1;
  const BE_ERR err = mBeCloseStream(mStream);
  mInfoFrame.clear();
  // The handle is gone either way: the binding may open a new stream.
  mStreamOpen = 0;
  mStream = 0;
  return static_cast<int>(err);
}

// ---------------------------------------------------------------------------
// The process-wide binding

namespace {
std::mutex g_encoderLock;
LameEncoder* g_encoder = nullptr;

struct RegisterExitHandler {
  RegisterExitHandler() { std::atexit(DestroyLameEncoder); }
} g_registerExitHandler;
}  // namespace

LameEncoder* GetLameEncoder() {
  std::lock_guard<std::mutex> guard(g_encoderLock);
  if (!g_encoder) g_encoder = new LameEncoder;
  return g_encoder;
}

void DestroyLameEncoder() {
  std::lock_guard<std::mutex> guard(g_encoderLock);
  delete g_encoder;
  g_encoder = nullptr;
}
