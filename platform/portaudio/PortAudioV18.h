// The PortAudio v18 calls the audio engine is written against, given over
// PortAudio v19 (Debian's portaudio19-dev).
//
// v18 and v19 share function names with different signatures, so the v18 names
// live in namespace pa18; engine code writes `using namespace pa18;` or
// qualifies. Never include <portaudio.h> (v19) in the same file: v19 defines
// paFloat32, paNoDevice, paClipOff ... as macros.
//
// What the adapter gives, in v18 terms:
// - Devices: the devices of v19's default host API (ALSA here), numbered from
//   0. A device reports input (output) channels only when it can be opened for
//   input (output) at its default rate; its sampleRates list holds the
//   standard rates it accepts (numSampleRates > 0, never a range). Finding that
//   out opens the device once for every rate, which through a sound server's
//   plugin takes tens of milliseconds each: Pa_GetDeviceName and Pa_DeviceOpens
//   answer without it, and Pa_ProbeDevicesAhead does it early on a thread of
//   the adapter.
// - Streams: the callback gets v18 buffers (interleaved; paInt24 is a 24-bit
//   value in the low bits of a 32-bit int, paPackedInt24 three bytes) and
//   outTime = the stream time in frames of the first frame of the buffer, i.e.
//   the frames handed to callbacks before this one. A non-zero return value
//   ends the stream once the queued output has played.
// - Pa_StreamTime: frames played (output streams) or recorded (input-only
//   streams) since the start, from the host's latency figures and the monotonic
//   clock; it never goes back; it holds its value after a stop.
// - numberOfBuffers 0 asks for about 0.2 s of host latency; n > 0 for
//   n x framesPerBuffer frames (at least the device's low latency).
// - Input-only streams are read by a thread of the adapter that wakes about 10
//   times a second and hands the callback what has arrived, buffer by buffer
//   (their host latency is at least 0.5 s, so a late wake-up loses nothing); at
//   a stop it hands over the whole buffers that have arrived by then. The
//   callback thus runs in bursts there, never on the thread that starts or
//   stops the stream. A host failure ends the stream (Pa_StreamActive 0).
#pragma once

#include <string>

namespace pa18 {

using PaError = int;

enum PaErrorNum : int {
  paNoError = 0,
  paHostError = -10000,
  paInvalidChannelCount,
  paInvalidSampleRate,
  paInvalidDeviceId,
  paInvalidFlag,
  paSampleFormatNotSupported,
  paBadIODeviceCombination,
  paInsufficientMemory,
  paBufferTooBig,
  paBufferTooSmall,
  paNullCallback,
  paBadStreamPtr,
  paTimedOut,
  paInternalError,
  paDeviceUnavailable,
};

using PaSampleFormat = unsigned long;
inline constexpr PaSampleFormat paFloat32 = 1UL << 0;
inline constexpr PaSampleFormat paInt16 = 1UL << 1;
inline constexpr PaSampleFormat paInt32 = 1UL << 2;
inline constexpr PaSampleFormat paInt24 = 1UL << 3;
inline constexpr PaSampleFormat paPackedInt24 = 1UL << 4;
inline constexpr PaSampleFormat paInt8 = 1UL << 5;
inline constexpr PaSampleFormat paUInt8 = 1UL << 6;
inline constexpr PaSampleFormat paCustomFormat = 1UL << 16;

using PaDeviceID = int;
inline constexpr PaDeviceID paNoDevice = -1;

struct PaDeviceInfo {
  int structVersion;
  const char* name;
  int maxInputChannels;
  int maxOutputChannels;
  // Number of discrete rates in sampleRates, or -1 when sampleRates holds a
  // {minimum, maximum} range (this adapter always gives a list).
  int numSampleRates;
  const double* sampleRates;
  PaSampleFormat nativeSampleFormats;
};

using PaTimestamp = double;

// Returns 0 to go on, non-zero to end the stream after the queued output.
using PortAudioCallback = int(void* inputBuffer, void* outputBuffer, unsigned long framesPerBuffer,
                              PaTimestamp outTime, void* userData);

using PaStreamFlags = unsigned long;
inline constexpr PaStreamFlags paNoFlag = 0;
inline constexpr PaStreamFlags paClipOff = 1UL << 0;
inline constexpr PaStreamFlags paDitherOff = 1UL << 1;
inline constexpr PaStreamFlags paPlatformSpecificFlags = 0x00010000UL;

using PortAudioStream = void;

PaError Pa_Initialize();
PaError Pa_Terminate();
const char* Pa_GetErrorText(PaError errnum);

// Device count, or a negative error when not initialised.
int Pa_CountDevices();
// Null for an id out of range. The record stays valid until Pa_Terminate.
const PaDeviceInfo* Pa_GetDeviceInfo(PaDeviceID device);
PaDeviceID Pa_GetDefaultInputDeviceID();
PaDeviceID Pa_GetDefaultOutputDeviceID();
// Not of v18. The name of a device without probing it; empty for an unknown id.
std::string Pa_GetDeviceName(PaDeviceID device);
// Not of v18. Whether the device has channels in that direction (Pa_GetDeviceInfo's
// maxInputChannels or maxOutputChannels above 0), found with one open instead of a
// probe of every rate.
bool Pa_DeviceOpens(PaDeviceID device, bool input);
// Not of v18. Probes every device on a thread of the adapter, so that the first
// Pa_GetDeviceInfo of each finds it done; calls meanwhile wait for the device being
// probed. Pa_Terminate waits for the thread.
void Pa_ProbeDevicesAhead();

PaError Pa_OpenStream(PortAudioStream** stream, PaDeviceID inputDevice, int numInputChannels,
                      PaSampleFormat inputSampleFormat, void* inputDriverInfo, PaDeviceID outputDevice,
                      int numOutputChannels, PaSampleFormat outputSampleFormat, void* outputDriverInfo,
                      double sampleRate, unsigned long framesPerBuffer, unsigned long numberOfBuffers,
                      PaStreamFlags streamFlags, PortAudioCallback* callback, void* userData);
PaError Pa_StartStream(PortAudioStream* stream);
// Stops after the queued output has played.
PaError Pa_StopStream(PortAudioStream* stream);
// Stops at once, dropping queued output.
PaError Pa_AbortStream(PortAudioStream* stream);
PaError Pa_CloseStream(PortAudioStream* stream);
// 1 while running (until the last buffer after a non-zero callback return has
// played), 0 when not, a negative error for a bad stream.
PaError Pa_StreamActive(PortAudioStream* stream);
PaTimestamp Pa_StreamTime(PortAudioStream* stream);

}  // namespace pa18
