// The engine's side of the sound card's mixer: finding it, checking whether
// its volumes respond, and reading and setting the input and the volumes.
#include <cmath>
#include <string>
#include <vector>

#include "app/settings/SoundDeviceOptions.h"
#include "core/engine/AudioIO.h"
#include "core/engine/SoundCardMixer.h"
#include "platform/portaudio/PortAudioV18.h"

using namespace pa18;

namespace {

// Without probing the device (which opens it at every rate).
std::string DeviceName(int id) { return id >= 0 ? Pa_GetDeviceName(id) : std::string(); }

// Sets 0.0 and 0.2 and reads them back; a control that does not follow is
// unreliable. The old value is put back.
template <class Get, class Set>
int CheckVolume(Get get, Set set, float* remembered) {
  *remembered = get();
  int unreliable = 0;
  set(0.0f);
  if (get() > 0.1f) unreliable = 1;
  set(0.2f);
  const float v = get();
  if (v < 0.1f || v > 0.3f) unreliable = 1;
  set(*remembered);
  return unreliable;
}

}  // namespace

void AudioIO::OpenMixer() {
  if (IsStreamActive()) return;
  CloseSoundCardMixer(mMixer);
  mMixer = nullptr;
  // Until something below succeeds the callback applies unity software gains.
  mOutputVolumeUnreliable = 1;
  mInputVolumeUnreliable = 1;
  mStoredOutputVolume = 1.0f;
  mStoredInputVolume = 1.0f;

  // The level interval is the one of each stream's own rate, set when the stream
  // starts; the devices' rates are not needed here (finding them opens every device
  // for every rate, which would hold up every start of the program).
  const SoundDeviceOptions& options = DeviceOptions();
  const int inputDevice = FindDevice(options.RecordDeviceName, true);
  const int outputDevice = FindDevice(options.PlaybackDeviceName, false);

  // Both directions, else the input alone.
  mMixer = OpenSoundCardMixer(DeviceName(inputDevice), DeviceName(outputDevice));
  if (!mMixer) mMixer = OpenSoundCardMixer(DeviceName(inputDevice), "");
  if (!mMixer) return;

  float remembered = 1.0f;
  mOutputVolumeUnreliable = CheckVolume([&] { return GetOutputVolume(mMixer); },
                                        [&](float v) { SetOutputVolume(mMixer, v); }, &remembered);
  mInputVolumeUnreliable = CheckVolume([&] { return GetInputVolume(mMixer); },
                                       [&](float v) { SetInputVolume(mMixer, v); }, &remembered);
  mStoredOutputVolume = 1.0f;
  mStoredInputVolume = 1.0f;
}

void AudioIO::SetMixer(int inputSource, float inputVolume, float outputVolume) {
  mStoredOutputVolume = outputVolume;
  mStoredInputVolume = inputVolume;
  if (!mMixer) return;
  if (inputSource != GetCurrentInputSource(mMixer)) SetCurrentInputSource(mMixer, inputSource);
  if (std::fabs(inputVolume - GetInputVolume(mMixer)) > 0.001f) SetInputVolume(mMixer, inputVolume);
  if (std::fabs(outputVolume - GetOutputVolume(mMixer)) > 0.001f) SetOutputVolume(mMixer, outputVolume);
}

void AudioIO::GetMixer(int* inputSource, float* inputVolume, float* outputVolume) {
  int source = 0;
  float in = mStoredInputVolume.load();
  float out = mStoredOutputVolume.load();
  if (mMixer) {
    source = GetCurrentInputSource(mMixer);
    if (!mInputVolumeUnreliable) in = GetInputVolume(mMixer);
    if (!mOutputVolumeUnreliable) out = GetOutputVolume(mMixer);
  }
  if (inputSource) *inputSource = source;
  if (inputVolume) *inputVolume = in;
  if (outputVolume) *outputVolume = out;
}

std::vector<std::string> AudioIO::GetInputSources() {
  std::vector<std::string> names;
  const int n = GetInputSourceCount(mMixer);
  for (int i = 0; i < n; ++i) names.push_back(GetInputSourceName(mMixer, i));
  return names;
}
