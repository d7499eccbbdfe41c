#include "player/OutputModule.h"

#include "platform/afx/linux_headers_begin.h"
#include <cmath>
#include "platform/afx/linux_headers_end.h"

WAVEFORMATEX OutputWaveFormat(const PlayFileInfo* info) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = info->stereo ? 2 : 1;
  format.nSamplesPerSec = info->sampleRate;
  format.wBitsPerSample = info->bits16 ? 16 : 8;
  format.nBlockAlign = static_cast<WORD>(format.wBitsPerSample * format.nChannels / 8);
  format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
  format.cbSize = 0;
  return format;
}

LONG DirectSoundVolumeFor(int volume) {
  if (volume < 0) volume = 0;
  if (volume > 100) volume = 100;
  double quiet = (100 - volume) * 0.01;
  return static_cast<LONG>(quiet * quiet * quiet * -10000.0);
}

DWORD WaveOutVolumeFor(int volume) {
  if (volume < 0) volume = 0;
  DWORD x = static_cast<DWORD>(volume) * 656;
  if (x > 65535) x = 65535;
  return x | (x << 16);
}
