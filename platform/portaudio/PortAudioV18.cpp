// PortAudio v18 calls over PortAudio v19. See PortAudioV18.h for what the
// adapter promises.
#include "platform/portaudio/PortAudioV18.h"

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// The v18 constants whose names <portaudio.h> (v19) turns into macros, taken
// before that header is included.
namespace v18 {
constexpr pa18::PaSampleFormat kFloat32 = pa18::paFloat32;
constexpr pa18::PaSampleFormat kInt16 = pa18::paInt16;
constexpr pa18::PaSampleFormat kInt32 = pa18::paInt32;
constexpr pa18::PaSampleFormat kInt24 = pa18::paInt24;
constexpr pa18::PaSampleFormat kPackedInt24 = pa18::paPackedInt24;
constexpr pa18::PaSampleFormat kInt8 = pa18::paInt8;
constexpr pa18::PaSampleFormat kUInt8 = pa18::paUInt8;
constexpr pa18::PaDeviceID kNoDevice = pa18::paNoDevice;
constexpr pa18::PaStreamFlags kClipOff = pa18::paClipOff;
constexpr pa18::PaStreamFlags kDitherOff = pa18::paDitherOff;
}  // namespace v18

}  // namespace

#include <portaudio.h>

namespace {

// Rates probed for each device's list (v18 devices reported discrete rates).
constexpr double kProbeRates[] = {8000,  9600,  11025, 12000, 16000, 22050, 24000,
                                  32000, 44100, 48000, 88200, 96000, 192000};

// Host latency asked for when numberOfBuffers is 0.
constexpr double kDefaultLatencySeconds = 0.2;

// Input-only streams: how often the reader thread takes what has arrived, and the
// least host latency (the buffer that holds it in between).
constexpr double kReadIntervalSeconds = 0.1;
constexpr double kReaderLatencySeconds = 0.5;

constexpr std::uint32_t kStreamMagic = 0x50413138;  // "PA18"

pa18::PaError FromV19(PaError e) {
  switch (e) {
    case paNoError:
      return pa18::paNoError;
    case paUnanticipatedHostError:
      return pa18::paHostError;
    case paInvalidChannelCount:
      return pa18::paInvalidChannelCount;
    case paInvalidSampleRate:
      return pa18::paInvalidSampleRate;
    case paInvalidDevice:
      return pa18::paInvalidDeviceId;
    case paInvalidFlag:
      return pa18::paInvalidFlag;
    case paSampleFormatNotSupported:
      return pa18::paSampleFormatNotSupported;
    case paBadIODeviceCombination:
      return pa18::paBadIODeviceCombination;
    case paInsufficientMemory:
      return pa18::paInsufficientMemory;
    case paBufferTooBig:
      return pa18::paBufferTooBig;
    case paBufferTooSmall:
      return pa18::paBufferTooSmall;
    case paNullCallback:
      return pa18::paNullCallback;
    case paBadStreamPtr:
      return pa18::paBadStreamPtr;
    case paBadBufferPtr:
      return pa18::paBadStreamPtr;
    case paTimedOut:
      return pa18::paTimedOut;
    case paDeviceUnavailable:
      return pa18::paDeviceUnavailable;
    case paIncompatibleHostApiSpecificStreamInfo:
      return pa18::paInvalidFlag;
    default:
      return pa18::paInternalError;  // paNotInitialized and v19-only codes
  }
}

// The v19 code whose text describes a v18 code.
PaError ToV19Error(pa18::PaError e) {
  switch (e) {
    case pa18::paNoError:
      return paNoError;
    case pa18::paHostError:
      return paUnanticipatedHostError;
    case pa18::paInvalidChannelCount:
      return paInvalidChannelCount;
    case pa18::paInvalidSampleRate:
      return paInvalidSampleRate;
    case pa18::paInvalidDeviceId:
      return paInvalidDevice;
    case pa18::paInvalidFlag:
      return paInvalidFlag;
    case pa18::paSampleFormatNotSupported:
      return paSampleFormatNotSupported;
    case pa18::paBadIODeviceCombination:
      return paBadIODeviceCombination;
    case pa18::paInsufficientMemory:
      return paInsufficientMemory;
    case pa18::paBufferTooBig:
      return paBufferTooBig;
    case pa18::paBufferTooSmall:
      return paBufferTooSmall;
    case pa18::paNullCallback:
      return paNullCallback;
    case pa18::paBadStreamPtr:
      return paBadStreamPtr;
    case pa18::paTimedOut:
      return paTimedOut;
    case pa18::paInternalError:
      return paInternalError;
    case pa18::paDeviceUnavailable:
      return paDeviceUnavailable;
    default:
      return 1;  // not an error code of v19 either
  }
}

double MonotonicSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Device {
  pa18::PaDeviceInfo info{};
  std::string name;
  std::vector<double> rates;
  bool probed = false;
  std::size_t nextRate = 0;  // the next of kProbeRates to ask about
  // Whether it opens for input and for output at its default rate: -1 not asked yet.
  int opens[2] = {-1, -1};
};

struct Stream {
  std::uint32_t magic = kStreamMagic;
  PaStream* pa = nullptr;
  pa18::PortAudioCallback* callback = nullptr;
  void* userData = nullptr;
  double rate = 0;
  unsigned long framesPerBuffer = 0;
  int inChannels = 0;
  int outChannels = 0;
  // v18 paInt24 (24 bits in the low bits of an int) travels as v19 paInt32.
  bool inWide24 = false;
  bool outWide24 = false;
  std::vector<std::int32_t> inScratch;
  std::vector<std::int32_t> outScratch;

  // Bytes of one output frame in v19's format, and the byte of silence.
  std::size_t outFrameBytes = 0;
  unsigned char outSilence = 0;

  // Frames handed to the callback since the start.
  std::atomic<std::uint64_t> frames{0};
  // Callback thread only: frames the host asked for (the v18 frames, then the
  // silence after a non-zero return), and that return's position.
  std::uint64_t hostFrames = 0;
  bool ending = false;
  std::uint64_t endFrame = 0;
  // Monotonic time at which frame 0 was (or will be) heard / captured.
  std::atomic<double> zeroTime{0};
  std::atomic<bool> zeroKnown{false};
  // The last value Pa_StreamTime gave (it never goes back).
  std::atomic<double> reported{0};
  std::atomic<bool> running{false};
  // Set when v19 ends the stream by itself (callback asked, or host failure).
  std::atomic<bool> finished{false};

  // Input-only streams are v19 blocking streams read by a thread of ours.
  // PortAudio's own callback thread wakes once a host period and, through ALSA
  // plugins such as the sound server's, busy-polls until the first period has
  // arrived: several times the CPU time of a plain capture of the same sound.
  // The reader takes everything the host holds each time (a part left behind
  // keeps the sound server client's buffer referenced, and a server that goes
  // away then hangs the client), keeping what does not fill a v18 buffer for the
  // next time.
  bool reader = false;
  std::size_t inFrameBytes = 0;
  std::vector<unsigned char> readBuffer;
  unsigned long heldFrames = 0;  // at the start of readBuffer, fewer than framesPerBuffer
  std::thread readerThread;
  std::mutex readerMutex;
  std::condition_variable readerWake;
  bool stopReading = false;  // under readerMutex
};

struct State {
  std::mutex mutex;
  int initCount = 0;
  std::vector<std::unique_ptr<Device>> devices;  // by v18 id, probed lazily
  std::vector<Stream*> streams;                  // open streams
  std::thread prober;                            // of Pa_ProbeDevicesAhead
  std::atomic<bool> stopProbing{false};
};

State& TheState() {
  static State state;
  return state;
}

// v18 ids are the device numbers within v19's default host API.
int HostDeviceCount() {
  const PaHostApiIndex host = Pa_GetDefaultHostApi();
  if (host < 0) return host;
  const PaHostApiInfo* info = Pa_GetHostApiInfo(host);
  return info ? info->deviceCount : 0;
}

PaDeviceIndex ToV19Device(pa18::PaDeviceID id) {
  const int count = HostDeviceCount();
  if (id < 0 || id >= count) return paNoDevice;
  return Pa_HostApiDeviceIndexToDeviceIndex(Pa_GetDefaultHostApi(), id);
}

pa18::PaDeviceID FromV19Device(PaDeviceIndex index) {
  if (index < 0) return v18::kNoDevice;
  const int count = HostDeviceCount();
  for (int id = 0; id < count; ++id) {
    if (Pa_HostApiDeviceIndexToDeviceIndex(Pa_GetDefaultHostApi(), id) == index) return id;
  }
  return v18::kNoDevice;
}

// Whether the device opens in one direction at a rate (the stereo float stream
// every probe asks for).
bool Opens(PaDeviceIndex index, const PaDeviceInfo& info, bool input, double rate) {
  const int channels = input ? info.maxInputChannels : info.maxOutputChannels;
  if (channels <= 0) return false;
  PaStreamParameters p{index, std::min(channels, 2), paFloat32,
                       input ? info.defaultLowInputLatency : info.defaultLowOutputLatency, nullptr};
  return Pa_IsFormatSupported(input ? &p : nullptr, input ? nullptr : &p, rate) == paFormatIsSupported;
}

// Whether the device opens in a direction at its default rate, asked once. A
// device open through a sound server's plugin takes tens of milliseconds; a start
// asks only this of the devices it uses.
bool OpensByDefault(Device& device, PaDeviceIndex index, const PaDeviceInfo& info, bool input) {
  int& known = device.opens[input ? 0 : 1];
  if (known < 0) known = Opens(index, info, input, info.defaultSampleRate) ? 1 : 0;
  return known == 1;
}

// One step of filling the v18 record: the next probe rate asked in the directions the
// device opens in (at its default rate); after the last, the record takes the channels
// of those directions and the rates accepted in any of them. True once the record is
// complete. Steps are small so that the thread that probes ahead lets a stream open
// between them.
bool ProbeStep(Device& device, PaDeviceIndex index) {
  if (device.probed) return true;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
  bool inputOpens = false, outputOpens = false;
  if (info) {
    inputOpens = OpensByDefault(device, index, *info, true);
    outputOpens = OpensByDefault(device, index, *info, false);
    if (device.nextRate < std::size(kProbeRates)) {
      const double rate = kProbeRates[device.nextRate++];
      if ((inputOpens && Opens(index, *info, true, rate)) ||
          (outputOpens && Opens(index, *info, false, rate)))
        device.rates.push_back(rate);
      if (device.nextRate < std::size(kProbeRates)) return false;
    }
  }
  device.probed = true;
  device.name = info && info->name ? info->name : "";
  device.info.structVersion = 1;
  device.info.nativeSampleFormats =
      v18::kFloat32 | v18::kInt16 | v18::kInt32 | v18::kInt24 | v18::kPackedInt24 | v18::kInt8 | v18::kUInt8;
  device.info.name = device.name.c_str();
  device.info.maxInputChannels = inputOpens ? info->maxInputChannels : 0;
  device.info.maxOutputChannels = outputOpens ? info->maxOutputChannels : 0;
  device.info.numSampleRates = static_cast<int>(device.rates.size());
  device.info.sampleRates = device.rates.empty() ? nullptr : device.rates.data();
  return true;
}

// The record of a v18 id, made on first use; the caller holds the state mutex.
Device* DeviceLocked(State& state, pa18::PaDeviceID id) {
  if (state.initCount <= 0) return nullptr;
  const int count = HostDeviceCount();
  if (id < 0 || id >= count) return nullptr;
  if (state.devices.size() < static_cast<std::size_t>(count)) state.devices.resize(count);
  auto& device = state.devices[id];
  if (!device) device = std::make_unique<Device>();
  return device.get();
}

// The probed record of a v18 id; the caller holds the state mutex.
const pa18::PaDeviceInfo* DeviceInfoLocked(State& state, pa18::PaDeviceID id) {
  Device* device = DeviceLocked(state, id);
  if (!device) return nullptr;
  const PaDeviceIndex index = ToV19Device(id);
  while (!ProbeStep(*device, index)) {
  }
  return &device->info;
}

void StopProber(State& state) {
  state.stopProbing = true;
  if (state.prober.joinable()) state.prober.join();
  state.stopProbing = false;
}

bool ToV19Format(pa18::PaSampleFormat format, PaSampleFormat& out, bool& wide24) {
  wide24 = false;
  if (format == v18::kFloat32)
    out = paFloat32;
  else if (format == v18::kInt16)
    out = paInt16;
  else if (format == v18::kInt32)
    out = paInt32;
  else if (format == v18::kInt24) {
    out = paInt32;
    wide24 = true;
  } else if (format == v18::kPackedInt24)
    out = paInt24;
  else if (format == v18::kInt8)
    out = paInt8;
  else if (format == v18::kUInt8)
    out = paUInt8;
  else
    return false;
  return true;
}

Stream* Checked(pa18::PortAudioStream* stream) {
  auto* s = static_cast<Stream*>(stream);
  return s && s->magic == kStreamMagic ? s : nullptr;
}

// Seconds from now until the first frame of this buffer is heard (output), or
// since its first frame was captured (input-only; negative). 0 when the host
// does not say.
double Lead(const Stream* s, const PaStreamCallbackTimeInfo* time) {
  double lead = 0;
  if (time && time->currentTime > 0) {
    if (s->outChannels > 0 && time->outputBufferDacTime > 0)
      lead = time->outputBufferDacTime - time->currentTime;
    else if (s->outChannels == 0 && time->inputBufferAdcTime > 0)
      lead = time->inputBufferAdcTime - time->currentTime;
  }
  return std::clamp(lead, -2.0, 2.0);
}

void NoteTime(Stream* s, std::uint64_t done, double lead) {
  const double zero = MonotonicSeconds() + lead - static_cast<double>(done) / s->rate;
  if (!s->zeroKnown.load(std::memory_order_acquire)) {
    s->zeroTime.store(zero, std::memory_order_relaxed);
    s->zeroKnown.store(true, std::memory_order_release);
  } else {
    // Smooth the scheduling jitter of single callbacks; follows slow drift.
    const double old = s->zeroTime.load(std::memory_order_relaxed);
    s->zeroTime.store(old + 0.1 * (zero - old), std::memory_order_relaxed);
  }
}

int Trampoline(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
               PaStreamCallbackFlags, void* user) {
  auto* s = static_cast<Stream*>(user);
  const double lead = Lead(s, time);
  NoteTime(s, s->hostFrames, lead);

  if (s->ending) {
    // The v18 callback asked to end: its stream ends when its last buffer has
    // been heard. v19's hosts end a stream without playing what is queued, so
    // the queue is pushed out with silence first (at most 2 s of it).
    if (output) std::fill_n(static_cast<unsigned char*>(output), frames * s->outFrameBytes, s->outSilence);
    const double heard = static_cast<double>(s->hostFrames) - lead * s->rate;
    s->hostFrames += frames;
    const bool played = heard >= static_cast<double>(s->endFrame);
    const bool tooLong = s->hostFrames > s->endFrame + static_cast<std::uint64_t>(2 * s->rate);
    return played || tooLong ? paComplete : paContinue;
  }

  const std::uint64_t done = s->frames.load(std::memory_order_relaxed);

  void* in = const_cast<void*>(input);
  void* out = output;
  const bool fits = frames <= s->framesPerBuffer;
  if (input && s->inWide24 && fits) {
    const auto* src = static_cast<const std::int32_t*>(input);
    const std::size_t n = frames * static_cast<std::size_t>(s->inChannels);
    for (std::size_t i = 0; i < n; ++i) s->inScratch[i] = src[i] >> 8;
    in = s->inScratch.data();
  }
  if (output && s->outWide24 && fits) out = s->outScratch.data();

  int result = 0;
  if (fits || (!s->inWide24 && !s->outWide24)) {
    result = s->callback(in, out, frames, static_cast<double>(done), s->userData);
  } else if (output) {
    // Cannot happen with a fixed buffer size; play silence rather than overrun.
    const std::size_t n = frames * static_cast<std::size_t>(s->outChannels);
    std::fill_n(static_cast<std::int32_t*>(output), n, 0);
    out = output;
  }

  if (output && out != output) {
    auto* dst = static_cast<std::int32_t*>(output);
    const std::size_t n = frames * static_cast<std::size_t>(s->outChannels);
    for (std::size_t i = 0; i < n; ++i) {
      const std::int32_t v = std::clamp<std::int32_t>(s->outScratch[i], -8388608, 8388607);
      dst[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << 8);
    }
  }
  s->frames.store(done + frames, std::memory_order_release);
  s->hostFrames = done + frames;
  if (result == 0) return paContinue;
  if (s->outChannels == 0) return paComplete;  // nothing queued to play
  s->ending = true;
  s->endFrame = done + frames;
  return paContinue;
}

void Finished(void* user) { static_cast<Stream*>(user)->finished.store(true, std::memory_order_release); }

// Reads what the host holds for an input-only stream and hands the callback the
// whole buffers. False when the stream ended (the callback asked, or the host
// failed).
bool DeliverArrived(Stream* s) {
  const unsigned long capacity = static_cast<unsigned long>(s->readBuffer.size() / s->inFrameBytes);
  const std::size_t chunkBytes = s->framesPerBuffer * s->inFrameBytes;
  for (;;) {
    const long avail = ::Pa_GetStreamReadAvailable(s->pa);
    if (avail < 0) return false;
    const unsigned long n = std::min(static_cast<unsigned long>(avail), capacity - s->heldFrames);
    if (n == 0) return true;
    const ::PaError e = ::Pa_ReadStream(s->pa, s->readBuffer.data() + s->heldFrames * s->inFrameBytes, n);
    if (e != ::paNoError && e != ::paInputOverflowed) return false;
    const unsigned long total = s->heldFrames + n;
    // The frames still waiting in the host came after these.
    PaStreamCallbackTimeInfo time{};
    time.currentTime = MonotonicSeconds();
    const unsigned long later = static_cast<unsigned long>(avail) - n;
    unsigned long done = 0;
    for (; done + s->framesPerBuffer <= total; done += s->framesPerBuffer) {
      time.inputBufferAdcTime = time.currentTime - static_cast<double>(total - done + later) / s->rate;
      const unsigned char* chunk = s->readBuffer.data() + done / s->framesPerBuffer * chunkBytes;
      if (Trampoline(chunk, nullptr, s->framesPerBuffer, &time, 0, s) != paContinue) return false;
    }
    s->heldFrames = total - done;
    if (s->heldFrames > 0)
      std::memmove(s->readBuffer.data(), s->readBuffer.data() + done * s->inFrameBytes,
                   s->heldFrames * s->inFrameBytes);
    if (later == 0) return true;
  }
}

void ReadLoop(Stream* s) {
  const auto interval = std::chrono::duration<double>(kReadIntervalSeconds);
  for (bool stopping = false; !stopping;) {
    {
      std::unique_lock lock(s->readerMutex);
      s->readerWake.wait_for(lock, interval, [s] { return s->stopReading; });
      stopping = s->stopReading;
    }
    // At a stop, what has arrived by then is handed over too.
    if (!DeliverArrived(s)) {
      s->finished.store(true, std::memory_order_release);
      return;
    }
  }
}

void StopReader(Stream* s) {
  if (!s->readerThread.joinable()) return;
  {
    std::lock_guard lock(s->readerMutex);
    s->stopReading = true;
  }
  s->readerWake.notify_all();
  s->readerThread.join();
}

// Frames played (output) or recorded (input-only) by now, never less than the
// last value given.
double CurrentStreamTime(Stream* s) {
  double t = s->reported.load(std::memory_order_relaxed);
  if (!s->running.load(std::memory_order_acquire) || !s->zeroKnown.load(std::memory_order_acquire)) return t;
  double now = (MonotonicSeconds() - s->zeroTime.load(std::memory_order_relaxed)) * s->rate;
  const double delivered = static_cast<double>(s->frames.load(std::memory_order_acquire));
  // Nothing is heard that was not handed over; an ended stream records no more.
  if (s->outChannels > 0 || s->finished.load(std::memory_order_acquire)) now = std::min(now, delivered);
  while (now > t && !s->reported.compare_exchange_weak(t, now, std::memory_order_relaxed)) {
  }
  return std::max(now, t);
}

void Freeze(Stream* s) {
  double t = CurrentStreamTime(s);
  const double delivered = static_cast<double>(s->frames.load(std::memory_order_acquire));
  t = std::max(std::min(t, delivered), s->reported.load(std::memory_order_relaxed));
  s->reported.store(t, std::memory_order_relaxed);
  s->running.store(false, std::memory_order_release);
}

void Destroy(Stream* s) {
  s->magic = 0;
  delete s;
}

}  // namespace

namespace pa18 {

PaError Pa_Initialize() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  const ::PaError e = ::Pa_Initialize();
  if (e != ::paNoError) return FromV19(e);
  if (state.initCount++ == 0) state.devices.clear();
  return paNoError;
}

PaError Pa_Terminate() {
  State& state = TheState();
  StopProber(state);
  std::lock_guard lock(state.mutex);
  if (state.initCount > 0 && --state.initCount == 0) {
    for (Stream* s : state.streams) {
      StopReader(s);
      ::Pa_CloseStream(s->pa);
      Destroy(s);
    }
    state.streams.clear();
    state.devices.clear();
  }
  return FromV19(::Pa_Terminate());
}

const char* Pa_GetErrorText(PaError errnum) {
  const ::PaError e = ToV19Error(errnum);
  return e == 1 ? "Invalid error code" : ::Pa_GetErrorText(e);
}

int Pa_CountDevices() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.initCount <= 0) return paInternalError;
  const int count = HostDeviceCount();
  return count < 0 ? FromV19(count) : count;
}

const PaDeviceInfo* Pa_GetDeviceInfo(PaDeviceID device) {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  return DeviceInfoLocked(state, device);
}

std::string Pa_GetDeviceName(PaDeviceID device) {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.initCount <= 0) return std::string();
  const PaDeviceIndex index = ToV19Device(device);
  const ::PaDeviceInfo* info = index == paNoDevice ? nullptr : ::Pa_GetDeviceInfo(index);
  return info && info->name ? info->name : std::string();
}

bool Pa_DeviceOpens(PaDeviceID device, bool input) {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  Device* d = DeviceLocked(state, device);
  if (!d) return false;
  if (d->probed) return (input ? d->info.maxInputChannels : d->info.maxOutputChannels) > 0;
  const PaDeviceIndex index = ToV19Device(device);
  const ::PaDeviceInfo* info = ::Pa_GetDeviceInfo(index);
  return info && OpensByDefault(*d, index, *info, input);
}

void Pa_ProbeDevicesAhead() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.initCount <= 0 || state.prober.joinable()) return;
  state.prober = std::thread([&state] {
    for (int id = 0; !state.stopProbing; ++id) {
      for (bool done = false; !done && !state.stopProbing;) {
        std::lock_guard hold(state.mutex);
        Device* device = DeviceLocked(state, id);
        if (!device) return;
        done = ProbeStep(*device, ToV19Device(id));
      }
    }
  });
}

PaDeviceID Pa_GetDefaultInputDeviceID() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.initCount <= 0) return v18::kNoDevice;
  const PaHostApiInfo* host = Pa_GetHostApiInfo(Pa_GetDefaultHostApi());
  return host ? FromV19Device(host->defaultInputDevice) : v18::kNoDevice;
}

PaDeviceID Pa_GetDefaultOutputDeviceID() {
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.initCount <= 0) return v18::kNoDevice;
  const PaHostApiInfo* host = Pa_GetHostApiInfo(Pa_GetDefaultHostApi());
  return host ? FromV19Device(host->defaultOutputDevice) : v18::kNoDevice;
}

PaError Pa_OpenStream(PortAudioStream** stream, PaDeviceID inputDevice, int numInputChannels,
                      PaSampleFormat inputSampleFormat, void* /*inputDriverInfo*/, PaDeviceID outputDevice,
                      int numOutputChannels, PaSampleFormat outputSampleFormat, void* /*outputDriverInfo*/,
                      double sampleRate, unsigned long framesPerBuffer, unsigned long numberOfBuffers,
                      PaStreamFlags streamFlags, PortAudioCallback* callback, void* userData) {
  if (!stream) return paBadStreamPtr;
  *stream = nullptr;
  if (!callback) return paNullCallback;
  if (numInputChannels < 0 || numOutputChannels < 0) return paInvalidChannelCount;
  if (!(sampleRate > 0)) return paInvalidSampleRate;
  if (framesPerBuffer == 0) return paBufferTooSmall;

  State& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.initCount <= 0) return paInternalError;

  const bool wantInput = numInputChannels > 0;
  const bool wantOutput = numOutputChannels > 0;
  if (!wantInput && !wantOutput) return paInvalidDeviceId;
  const bool reader = wantInput && !wantOutput;

  auto s = std::make_unique<Stream>();
  s->callback = callback;
  s->userData = userData;
  s->rate = sampleRate;
  s->framesPerBuffer = framesPerBuffer;

  const double bufferSeconds = static_cast<double>(framesPerBuffer) / sampleRate;
  auto latency = [&](double low) {
    if (numberOfBuffers == 0) return std::max(low, kDefaultLatencySeconds);
    return std::max(low, static_cast<double>(numberOfBuffers) * bufferSeconds);
  };

  PaStreamParameters in{};
  PaStreamParameters out{};
  if (wantInput) {
    // Only whether it opens in this direction, not its rates: a stream opened
    // before the probing has reached its device does not wait for it.
    Device* device = DeviceLocked(state, inputDevice);
    in.device = ToV19Device(inputDevice);
    const ::PaDeviceInfo* info = device ? ::Pa_GetDeviceInfo(in.device) : nullptr;
    if (!info) return paInvalidDeviceId;
    if (!OpensByDefault(*device, in.device, *info, true) || numInputChannels > info->maxInputChannels)
      return paInvalidChannelCount;
    in.channelCount = numInputChannels;
    if (!ToV19Format(inputSampleFormat, in.sampleFormat, s->inWide24)) return paSampleFormatNotSupported;
    in.suggestedLatency = latency(info->defaultLowInputLatency);
    if (reader) in.suggestedLatency = std::max(in.suggestedLatency, kReaderLatencySeconds);
    s->inChannels = numInputChannels;
    if (s->inWide24) s->inScratch.assign(framesPerBuffer * numInputChannels, 0);
  }
  if (wantOutput) {
    Device* device = DeviceLocked(state, outputDevice);
    out.device = ToV19Device(outputDevice);
    const ::PaDeviceInfo* info = device ? ::Pa_GetDeviceInfo(out.device) : nullptr;
    if (!info) return paInvalidDeviceId;
    if (!OpensByDefault(*device, out.device, *info, false) || numOutputChannels > info->maxOutputChannels)
      return paInvalidChannelCount;
    out.channelCount = numOutputChannels;
    if (!ToV19Format(outputSampleFormat, out.sampleFormat, s->outWide24)) return paSampleFormatNotSupported;
    out.suggestedLatency = latency(info->defaultLowOutputLatency);
    s->outChannels = numOutputChannels;
    const ::PaError bytes = Pa_GetSampleSize(out.sampleFormat);
    s->outFrameBytes = static_cast<std::size_t>(bytes > 0 ? bytes : 4) * numOutputChannels;
    s->outSilence = out.sampleFormat == paUInt8 ? 0x80 : 0;
    if (s->outWide24) s->outScratch.assign(framesPerBuffer * numOutputChannels, 0);
  }

  ::PaStreamFlags flags = paNoFlag;  // v19's macros from here on
  if (streamFlags & v18::kClipOff) flags |= paClipOff;
  if (streamFlags & v18::kDitherOff) flags |= paDitherOff;

  if (reader) {
    s->reader = true;
    const ::PaError bytes = Pa_GetSampleSize(in.sampleFormat);
    s->inFrameBytes = static_cast<std::size_t>(bytes > 0 ? bytes : 4) * numInputChannels;
  }
  const ::PaError e =
      ::Pa_OpenStream(&s->pa, wantInput ? &in : nullptr, wantOutput ? &out : nullptr, sampleRate,
                      framesPerBuffer, flags, reader ? nullptr : Trampoline, reader ? nullptr : s.get());
  if (e != ::paNoError) return FromV19(e);
  if (reader) {
    // Room for all the host can hold, and a part buffer kept from before.
    const ::PaStreamInfo* info = ::Pa_GetStreamInfo(s->pa);
    const double held = std::max(info ? info->inputLatency : 0.0, in.suggestedLatency);
    const unsigned long frames = static_cast<unsigned long>(2 * held * sampleRate) + 2 * framesPerBuffer;
    s->readBuffer.assign(frames * s->inFrameBytes, 0);
  } else {
    ::Pa_SetStreamFinishedCallback(s->pa, Finished);
  }
  state.streams.push_back(s.get());
  *stream = s.release();
  return paNoError;
}

PaError Pa_StartStream(PortAudioStream* stream) {
  Stream* s = Checked(stream);
  if (!s) return paBadStreamPtr;
  s->frames.store(0);
  s->hostFrames = 0;  // the callback does not run before the start
  s->ending = false;
  s->endFrame = 0;
  s->zeroKnown.store(false);
  s->reported.store(0);
  s->finished.store(false);
  s->running.store(true);
  StopReader(s);
  s->heldFrames = 0;
  const ::PaError e = ::Pa_StartStream(s->pa);
  if (e != ::paNoError) {
    s->running.store(false);
  } else if (s->reader) {
    s->stopReading = false;
    s->readerThread = std::thread(ReadLoop, s);
  }
  return FromV19(e);
}

PaError Pa_StopStream(PortAudioStream* stream) {
  Stream* s = Checked(stream);
  if (!s) return paBadStreamPtr;
  StopReader(s);
  const ::PaError e = ::Pa_StopStream(s->pa);
  Freeze(s);
  return e == ::paStreamIsStopped ? paNoError : FromV19(e);
}

PaError Pa_AbortStream(PortAudioStream* stream) {
  Stream* s = Checked(stream);
  if (!s) return paBadStreamPtr;
  StopReader(s);
  const ::PaError e = ::Pa_AbortStream(s->pa);
  Freeze(s);
  return e == ::paStreamIsStopped ? paNoError : FromV19(e);
}

PaError Pa_CloseStream(PortAudioStream* stream) {
  Stream* s = Checked(stream);
  if (!s) return paBadStreamPtr;
  State& state = TheState();
  std::lock_guard lock(state.mutex);
  auto it = std::find(state.streams.begin(), state.streams.end(), s);
  if (it == state.streams.end()) return paBadStreamPtr;
  state.streams.erase(it);
  StopReader(s);
  const ::PaError e = ::Pa_CloseStream(s->pa);
  Destroy(s);
  return FromV19(e);
}

PaError Pa_StreamActive(PortAudioStream* stream) {
  Stream* s = Checked(stream);
  if (!s) return paBadStreamPtr;
  const ::PaError e = ::Pa_IsStreamActive(s->pa);
  // A read stream stays active for v19 after its reader ended it.
  if (s->reader && e > 0 && s->finished.load(std::memory_order_acquire)) return 0;
  return e < 0 ? FromV19(e) : (e ? 1 : 0);
}

PaTimestamp Pa_StreamTime(PortAudioStream* stream) {
  Stream* s = Checked(stream);
  return s ? CurrentStreamTime(s) : 0.0;
}

}  // namespace pa18
