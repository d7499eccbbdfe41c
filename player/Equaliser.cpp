#include "player/Equaliser.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

struct EqualiserState {
  int32_t enabled;
  int32_t topGains[2];                  // the two highest components, both band 7's gain
  int32_t bandGains[8];                 // reverse band order: bandGains[0] is band 7
  int32_t active;                       // 44100 Hz, 16-bit
  int16_t x[kEqualiserDelayFrames][2];  // input ring
  int16_t y[kEqualiserDelayFrames][2];  // y[k]: the frame overwritten in x at index k
  int32_t index;
  int32_t sumL[9];
  int32_t sumR[9];
};

namespace {

constexpr int kRingMask = kEqualiserDelayFrames - 1;

void Equaliser_Reset(Equaliser* eq, DWORD sampleRate, DWORD bits16) {
  EqualiserState* s = eq->state;
  if (!s) return;
  std::memset(s->x, 0, sizeof s->x);
  std::memset(s->y, 0, sizeof s->y);
  std::memset(s->sumL, 0, sizeof s->sumL);
  std::memset(s->sumR, 0, sizeof s->sumR);
  s->index = 0;
  s->active = (sampleRate == 44100 && bits16 == 1) ? 1 : 0;
}

void Equaliser_Free(Equaliser* eq) {
  std::free(eq->state);
  eq->state = nullptr;
}

void Equaliser_SetSettings(Equaliser* eq, const EqualiserSettings* settings) {
  EqualiserState* s = eq->state;
  if (!s || !settings) return;
  for (int band = 0; band < 8; ++band) s->bandGains[7 - band] = settings->bands[band] * 2 + 256;
  s->topGains[0] = s->topGains[1] = s->bandGains[0];
  s->enabled = settings->enabled ? 1 : 0;
}

// One channel of one frame; old is the frame that left the delay line.
inline int32_t Combine(const int32_t* sum, int32_t old, const int32_t* gains) {
  int32_t avg[9];
  for (int k = 0; k < 9; ++k) avg[k] = sum[k] >> (k + 1);
  // gains[0] weighs what lies above the shortest average, gains[k + 1] the band
  // between the averages k and k + 1, gains[9] what lies below the longest one.
  int32_t out = ((old - avg[0]) * gains[0]) >> 8;
  for (int k = 0; k < 8; ++k) out += ((avg[k] - avg[k + 1]) * gains[k + 1]) >> 8;
  out += (avg[8] * gains[9]) >> 8;
  if (out > 32767) out = 32767;
  if (out < -32768) out = -32768;
  return out;
}

void Equaliser_Filter(Equaliser* eq, void* buffer, DWORD bytes) {
  EqualiserState* s = eq->state;
  if (!s || !s->active || !s->enabled) return;
  // Component gains, highest first: G7, G7, G7, G6, G5, G4, G3, G2, G1, G0.
  int32_t gains[10];
  gains[0] = s->topGains[0];
  gains[1] = s->topGains[1];
  for (int k = 0; k < 8; ++k) gains[k + 2] = s->bandGains[k];
  auto* pcm = static_cast<int16_t*>(buffer);
  DWORD frames = bytes / 4;
  int n = s->index;
  for (DWORD f = 0; f < frames; ++f) {
    int16_t* frame = pcm + 2 * f;
    int16_t oldL = s->x[n][0], oldR = s->x[n][1];
    s->x[n][0] = frame[0];
    s->x[n][1] = frame[1];
    for (int k = 0; k < 9; ++k) {
      int at = (n + (1 << k)) & kRingMask;
      s->sumL[k] += s->x[at][0];
      s->sumR[k] += s->x[at][1];
    }
    int32_t outL = Combine(s->sumL, oldL, gains);
    int32_t outR = Combine(s->sumR, oldR, gains);
    for (int k = 0; k < 9; ++k) {
      int at = (n - (1 << k)) & kRingMask;
      s->sumL[k] -= s->y[at][0];
      s->sumR[k] -= s->y[at][1];
    }
    frame[0] = static_cast<int16_t>(outL);
    frame[1] = static_cast<int16_t>(outR);
    s->y[n][0] = oldL;
    s->y[n][1] = oldR;
    n = (n + 1) & kRingMask;
  }
  s->index = n;
}

}  // namespace

void Equaliser_Create(Equaliser* eq) {
  eq->Reset = Equaliser_Reset;
  eq->Free = Equaliser_Free;
  eq->SetSettings = Equaliser_SetSettings;
  eq->Filter = Equaliser_Filter;
  eq->state = static_cast<EqualiserState*>(std::calloc(1, sizeof(EqualiserState)));
}
