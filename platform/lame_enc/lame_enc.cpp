// Our own "lame_enc" library: the five entry points, and beGetInfoTag, over
// Debian's libmp3lame. Any number of streams may be open at once; each
// handle names its own libmp3lame encoder, so two users (an export and a
// direct recording) never share one stream.
//
// What a configuration means here:
// - The LAME form (BE_CONFIG_LAME, structure version 1, size 331) and the
//   simple MP3 form (BE_CONFIG_MP3, always MPEG I CBR) are accepted; any other
//   kind is refused with BE_ERR_INVALID_FORMAT.
// - The stream's rate is dwReSampleRate (dwSampleRate when 0); it must be a
//   rate of the MPEG version asked for (MPEG1: 32000, 44100, 48000; MPEG2:
//   16000, 22050, 24000 and the II.5 rates 8000, 11025, 12000). libmp3lame
//   resamples when the input rate differs.
// - Modes: 0 stereo, 1 joint stereo, 2 joint stereo with forced mid/side
//   (LAME has no dual-channel mode; the application calls this "forced
//   stereo"), 3 mono. Mono takes one input channel, the others two.
// - CBR (bEnableVBR 0): dwBitrate must be a bit rate of the MPEG version.
// - VBR (bEnableVBR 1): nVBRQuality 0..9; dwBitrate and dwMaxBitrate bound
//   the frames' bit rates (clamped to the version's table). nVbrMethod 4 is ABR
//   at dwVbrAbr_bps (8 to 320 kbit/s); the bounds then apply only where they
//   admit that mean.
// - nPreset: the LAME presets of LAME_QUALITY_PRESET; the quality presets set
//   the encoder's quality, the named ones LAME's named presets, the bit-rate
//   presets (PHONE .. STUDIO) a CBR rate; none changes the channel count.
// - bWriteVBRHeader (LAME form only) reserves the stream's first frame for an
//   information frame ("Xing" for VBR and ABR, "Info" for CBR): the frame and
//   byte counts, a seek table, and the encoder delay and padding a gapless
//   decoder trims. The encoder cannot know them until the stream ends, so the
//   first frame goes out blank; beGetInfoTag gives the filled frame, which
//   the caller writes over the stream's first bytes. A caller that asks for
//   the frame and never fills it leaves a frame of silence in front. A CBR
//   frame too small to hold the fields (48 kbit/s mono and below, for
//   instance) gets no such frame: then nothing is kept blank either, and
//   beGetInfoTag gives 0 bytes.
// - No ID3 tags are written.
// Values outside these ranges are refused with BE_ERR_INVALID_FORMAT_PARAMETERS
// and no stream is opened.
#include "platform/lame_enc/lame_enc.h"

#include <lame/lame.h>

#include <cstring>
#include <mutex>

namespace {

constexpr uint32_t kMaxStreams = 1024;

struct Stream {
  lame_global_flags* gfp = nullptr;
  int channels = 2;
  uint32_t samplesPerChunk = 0;  // 16-bit values, both channels counted
  uint32_t bufferSize = 0;       // bytes
  bool flushed = false;
  bool infoFrame = false;  // the first frame is reserved for the information frame
};

// The handle table (handle = index + 1) and libmp3lame's set-up and tear-down,
// which touch process-wide tables, run under this lock. Both are plain data
// with nothing to destroy: a user may close its stream from an exit handler
// that runs after this library's static objects would have been destroyed.
std::mutex g_lock;
Stream* g_streams[kMaxStreams];
uint32_t g_streamCount = 0;  // slots in use or used before, from the front

Stream* FindStream(HBE_STREAM h) {
  std::lock_guard<std::mutex> guard(g_lock);
  if (h == 0 || h > g_streamCount) return nullptr;
  return g_streams[h - 1];
}

const int kMpeg1Rates[] = {32000, 44100, 48000};
const int kMpeg2Rates[] = {16000, 22050, 24000, 8000, 11025, 12000};
const int kMpeg1Bitrates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
const int kMpeg2Bitrates[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

template <size_t N>
bool Contains(const int (&list)[N], long long v) {
  for (int x : list)
    if (x == v) return true;
  return false;
}

template <size_t N>
int ClampToTable(const int (&list)[N], long long v) {
  if (v <= list[0]) return list[0];
  int best = list[0];
  for (int x : list)
    if (x <= v) best = x;
  return best;
}

// Everything beInitStream needs, read from either form of the configuration.
struct Settings {
  int inRate = 0;
  int outRate = 0;
  int mode = BE_MP3_MODE_STEREO;
  bool mpeg1 = true;
  bool vbr = false;
  bool abr = false;
  int vbrMethod = VBR_METHOD_NONE;
  int bitrate = 0;
  int maxBitrate = 0;
  int abrKbps = 0;
  int vbrQuality = 5;
  int preset = LQP_NOPRESET;
  int quality = -1;  // -1: the encoder's default
  int emphasis = 0;
  bool crc = false, priv = false, copyright = false, original = false;
  bool strictIso = false, noReservoir = false;
  bool infoFrame = false;
};

BE_ERR ReadConfig(const BE_CONFIG& c, Settings& s) {
  if (c.dwConfig == BE_CONFIG_MP3) {
    const auto& m = c.format.mp3;
    s.inRate = s.outRate = static_cast<int>(m.dwSampleRate);
    s.mode = m.byMode;
    s.mpeg1 = true;
    s.bitrate = m.wBitrate;
    s.priv = m.bPrivate != 0;
    s.crc = m.bCRC != 0;
    s.copyright = m.bCopyright != 0;
    s.original = m.bOriginal != 0;
    if (m.dwSampleRate > 48000 || !Contains(kMpeg1Rates, m.dwSampleRate))
      return BE_ERR_INVALID_FORMAT_PARAMETERS;
  } else if (c.dwConfig == BE_CONFIG_LAME) {
    const auto& l = c.format.LHV1;
    if (l.dwStructVersion != CURRENT_STRUCT_VERSION || l.dwStructSize != CURRENT_STRUCT_SIZE)
      return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (l.dwSampleRate == 0 || l.dwSampleRate > 192000) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    s.inRate = static_cast<int>(l.dwSampleRate);
    s.outRate = l.dwReSampleRate ? static_cast<int>(l.dwReSampleRate) : s.inRate;
    if (l.dwMpegVersion == MPEG1)
      s.mpeg1 = true;
    else if (l.dwMpegVersion == MPEG2)
      s.mpeg1 = false;
    else
      return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (l.dwReSampleRate > 48000) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (s.mpeg1 ? !Contains(kMpeg1Rates, s.outRate) : !Contains(kMpeg2Rates, s.outRate))
      return BE_ERR_INVALID_FORMAT_PARAMETERS;
    s.mode = l.nMode;
    s.bitrate = static_cast<int>(l.dwBitrate > 100000 ? 100000 : l.dwBitrate);
    s.maxBitrate = static_cast<int>(l.dwMaxBitrate > 100000 ? 100000 : l.dwMaxBitrate);
    s.preset = l.nPreset;
    s.emphasis = static_cast<int>(l.dwEmphasis > 100 ? 100 : l.dwEmphasis);
    s.priv = l.bPrivate != 0;
    s.crc = l.bCRC != 0;
    s.copyright = l.bCopyright != 0;
    s.original = l.bOriginal != 0;
    s.vbr = l.bEnableVBR != 0;
    s.vbrQuality = l.nVBRQuality;
    s.vbrMethod = l.nVbrMethod;
    s.abr = s.vbr && l.nVbrMethod == VBR_METHOD_ABR;
    s.abrKbps = static_cast<int>((static_cast<uint64_t>(l.dwVbrAbr_bps) + 500) / 1000);
    s.noReservoir = l.bNoRes != 0;
    s.infoFrame = l.bWriteVBRHeader != 0;
    s.strictIso = l.bStrictIso != 0;
    const int q = l.nQuality & 0xFF, check = (l.nQuality >> 8) & 0xFF;
    if (q == (~check & 0xFF) && q <= 9) s.quality = q;
  } else {
    return BE_ERR_INVALID_FORMAT;
  }
  if (s.mode < BE_MP3_MODE_STEREO || s.mode > BE_MP3_MODE_MONO) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  if (s.emphasis != 0 && s.emphasis != 1 && s.emphasis != 3) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  if (s.vbr) {
    if (s.vbrQuality < 0 || s.vbrQuality > 9) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (s.vbrMethod < VBR_METHOD_NONE || s.vbrMethod > VBR_METHOD_ABR)
      return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (s.abr && (s.abrKbps < 8 || s.abrKbps > 320)) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  } else {
    if (s.mpeg1 ? !Contains(kMpeg1Bitrates, s.bitrate) : !Contains(kMpeg2Bitrates, s.bitrate))
      return BE_ERR_INVALID_FORMAT_PARAMETERS;
  }
  if (s.preset != LQP_NOPRESET && (s.preset < LQP_NORMAL_QUALITY || s.preset > LQP_FAST_MEDIUM) &&
      !(s.preset >= LQP_PHONE && s.preset <= LQP_STUDIO && s.preset % 1000 == 0))
    return BE_ERR_INVALID_FORMAT_PARAMETERS;
  return BE_ERR_SUCCESSFUL;
}

void ApplyPreset(lame_global_flags* gfp, const Settings& s) {
  switch (s.preset) {
    case LQP_NOPRESET:
      break;
    case LQP_NORMAL_QUALITY:
      break;
    case LQP_LOW_QUALITY:
      lame_set_quality(gfp, 9);
      break;
    case LQP_HIGH_QUALITY:
      lame_set_quality(gfp, 2);
      break;
    case LQP_VOICE_QUALITY:
      lame_set_quality(gfp, 5);
      break;
    case LQP_R3MIX:
      lame_set_preset(gfp, R3MIX);
      break;
    case LQP_VERYHIGH_QUALITY:
      lame_set_quality(gfp, 0);
      break;
    case LQP_STANDARD:
      lame_set_preset(gfp, STANDARD);
      break;
    case LQP_FAST_STANDARD:
      lame_set_preset(gfp, STANDARD_FAST);
      break;
    case LQP_EXTREME:
      lame_set_preset(gfp, EXTREME);
      break;
    case LQP_FAST_EXTREME:
      lame_set_preset(gfp, EXTREME_FAST);
      break;
    case LQP_INSANE:
      lame_set_preset(gfp, INSANE);
      break;
    case LQP_ABR:
      if (s.abrKbps >= 8 && s.abrKbps <= 320) lame_set_preset(gfp, s.abrKbps);
      break;
    case LQP_CBR:  // the CBR rate is already set
      lame_set_VBR(gfp, vbr_off);
      break;
    case LQP_MEDIUM:
      lame_set_preset(gfp, MEDIUM);
      break;
    case LQP_FAST_MEDIUM:
      lame_set_preset(gfp, MEDIUM_FAST);
      break;
    default: {
      // The bit-rate presets: a CBR rate of the stream's MPEG version.
      static const int kRates[] = {16, 24, 40, 112, 56, 112, 112, 160, 192, 256};
      const int wanted = kRates[s.preset / 1000 - 1];
      lame_set_VBR(gfp, vbr_off);
      lame_set_brate(gfp,
                     s.mpeg1 ? ClampToTable(kMpeg1Bitrates, wanted) : ClampToTable(kMpeg2Bitrates, wanted));
      break;
    }
  }
}

}  // namespace

extern "C" {

BE_ERR beInitStream(PBE_CONFIG pbeConfig, uint32_t* dwSamples, uint32_t* dwBufferSize,
                    HBE_STREAM* phbeStream) {
  if (!pbeConfig || !dwSamples || !dwBufferSize || !phbeStream) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  Settings s;
  if (BE_ERR err = ReadConfig(*pbeConfig, s)) return err;

  std::lock_guard<std::mutex> guard(g_lock);
  uint32_t slot = 0;
  while (slot < g_streamCount && g_streams[slot]) ++slot;
  if (slot >= kMaxStreams) return BE_ERR_NO_MORE_HANDLES;

  lame_global_flags* gfp = lame_init();
  if (!gfp) return BE_ERR_NO_MORE_HANDLES;
  const int channels = s.mode == BE_MP3_MODE_MONO ? 1 : 2;
  lame_set_num_channels(gfp, channels);
  lame_set_in_samplerate(gfp, s.inRate);
  lame_set_out_samplerate(gfp, s.outRate);
  switch (s.mode) {
    case BE_MP3_MODE_STEREO:
      lame_set_mode(gfp, STEREO);
      break;
    case BE_MP3_MODE_JSTEREO:
      lame_set_mode(gfp, JOINT_STEREO);
      break;
    case BE_MP3_MODE_DUALCHANNEL:
      lame_set_mode(gfp, JOINT_STEREO);
      lame_set_force_ms(gfp, 1);
      break;
    default:
      lame_set_mode(gfp, MONO);
      break;
  }
  lame_set_write_id3tag_automatic(gfp, 0);
  lame_set_bWriteVbrTag(gfp, 0);
  lame_set_error_protection(gfp, s.crc);
  lame_set_extension(gfp, s.priv);
  lame_set_copyright(gfp, s.copyright);
  lame_set_original(gfp, s.original);
  lame_set_emphasis(gfp, s.emphasis);
  lame_set_strict_ISO(gfp, s.strictIso);
  lame_set_disable_reservoir(gfp, s.noReservoir);
  if (s.quality >= 0) lame_set_quality(gfp, s.quality);

  if (!s.vbr) {
    lame_set_VBR(gfp, vbr_off);
    lame_set_brate(gfp, s.bitrate);
  } else {
    const auto clamp = [&](int kbps) {
      return s.mpeg1 ? ClampToTable(kMpeg1Bitrates, kbps) : ClampToTable(kMpeg2Bitrates, kbps);
    };
    const int minKbps = s.bitrate > 0 ? clamp(s.bitrate) : 0;
    const int maxKbps = s.maxBitrate > 0 ? clamp(s.maxBitrate) : 0;
    if (s.abr) {
      lame_set_VBR(gfp, vbr_abr);
      lame_set_VBR_mean_bitrate_kbps(gfp, s.abrKbps);
      if (minKbps > 0 && minKbps <= s.abrKbps) lame_set_VBR_min_bitrate_kbps(gfp, minKbps);
      if (maxKbps > 0 && maxKbps >= s.abrKbps) lame_set_VBR_max_bitrate_kbps(gfp, maxKbps);
    } else {
      lame_set_VBR(gfp, s.vbrMethod == VBR_METHOD_OLD ? vbr_rh : vbr_mtrh);
      lame_set_VBR_q(gfp, s.vbrQuality);
      if (minKbps > 0 && (maxKbps == 0 || minKbps <= maxKbps)) lame_set_VBR_min_bitrate_kbps(gfp, minKbps);
      if (maxKbps > 0) lame_set_VBR_max_bitrate_kbps(gfp, maxKbps);
    }
  }
  ApplyPreset(gfp, s);
  // A preset may switch VBR on; the information frame stays as asked and the
  // rate stays put.
  lame_set_bWriteVbrTag(gfp, s.infoFrame ? 1 : 0);
  lame_set_out_samplerate(gfp, s.outRate);

  if (lame_init_params(gfp) < 0 || lame_get_num_channels(gfp) != channels ||
      lame_get_out_samplerate(gfp) != s.outRate) {
    lame_close(gfp);
    return BE_ERR_INVALID_FORMAT_PARAMETERS;
  }

  auto* stream = new Stream;
  stream->gfp = gfp;
  stream->channels = channels;
  stream->infoFrame = s.infoFrame;
  const int frame = lame_get_framesize(gfp);  // samples per channel of one MP3 frame
  stream->samplesPerChunk = static_cast<uint32_t>(frame * channels);
  // One chunk encodes into at most 1.25 x its samples per channel + 7200 bytes
  // (libmp3lame's bound, which also covers the flush). When the input is
  // resampled up, a chunk holds more output samples than input samples.
  const double ratio = s.outRate > s.inRate ? static_cast<double>(s.outRate) / s.inRate : 1.0;
  stream->bufferSize = static_cast<uint32_t>(1.25 * frame * ratio + 7200 + 0.5);
  g_streams[slot] = stream;
  if (slot == g_streamCount) ++g_streamCount;

  *dwSamples = stream->samplesPerChunk;
  *dwBufferSize = stream->bufferSize;
  *phbeStream = static_cast<HBE_STREAM>(slot + 1);
  return BE_ERR_SUCCESSFUL;
}

BE_ERR beEncodeChunk(HBE_STREAM hbeStream, uint32_t nSamples, const int16_t* pSamples, uint8_t* pOutput,
                     uint32_t* pdwOutput) {
  Stream* s = FindStream(hbeStream);
  if (!s || s->flushed) return BE_ERR_INVALID_HANDLE;
  if (!pdwOutput) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *pdwOutput = 0;
  if (nSamples == 0) return BE_ERR_SUCCESSFUL;
  if (!pSamples || !pOutput || nSamples % s->channels != 0 || nSamples > (1u << 30))
    return BE_ERR_INVALID_FORMAT_PARAMETERS;
  const int frames = static_cast<int>(nSamples / s->channels);
  int n;
  if (s->channels == 2)
    n = lame_encode_buffer_interleaved(s->gfp, const_cast<short*>(pSamples), frames, pOutput,
                                       static_cast<int>(s->bufferSize));
  else
    n = lame_encode_buffer(s->gfp, pSamples, nullptr, frames, pOutput, static_cast<int>(s->bufferSize));
  if (n == -1) return BE_ERR_BUFFER_TOO_SMALL;
  if (n < 0) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *pdwOutput = static_cast<uint32_t>(n);
  return BE_ERR_SUCCESSFUL;
}

BE_ERR beDeinitStream(HBE_STREAM hbeStream, uint8_t* pOutput, uint32_t* pdwOutput) {
  Stream* s = FindStream(hbeStream);
  if (!s || s->flushed) return BE_ERR_INVALID_HANDLE;
  if (!pOutput || !pdwOutput) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *pdwOutput = 0;
  const int n = lame_encode_flush(s->gfp, pOutput, static_cast<int>(s->bufferSize));
  s->flushed = true;
  if (n == -1) return BE_ERR_BUFFER_TOO_SMALL;
  if (n < 0) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *pdwOutput = static_cast<uint32_t>(n);
  return BE_ERR_SUCCESSFUL;
}

BE_ERR beGetInfoTag(HBE_STREAM hbeStream, uint8_t* pOutput, uint32_t* pdwOutput) {
  Stream* s = FindStream(hbeStream);
  if (!s) return BE_ERR_INVALID_HANDLE;
  if (!pOutput || !pdwOutput) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *pdwOutput = 0;
  if (!s->infoFrame) return BE_ERR_SUCCESSFUL;
  const size_t n = lame_get_lametag_frame(s->gfp, pOutput, s->bufferSize);
  if (n > s->bufferSize) return BE_ERR_BUFFER_TOO_SMALL;
  *pdwOutput = static_cast<uint32_t>(n);
  return BE_ERR_SUCCESSFUL;
}

BE_ERR beCloseStream(HBE_STREAM hbeStream) {
  std::lock_guard<std::mutex> guard(g_lock);
  if (hbeStream == 0 || hbeStream > g_streamCount || !g_streams[hbeStream - 1]) return BE_ERR_INVALID_HANDLE;
  Stream* s = g_streams[hbeStream - 1];
  g_streams[hbeStream - 1] = nullptr;
  lame_close(s->gfp);
  delete s;
  return BE_ERR_SUCCESSFUL;
}

void beVersion(PBE_VERSION v) {
  if (!v) return;
  std::memset(v, 0, sizeof(*v));
  v->byDLLMajorVersion = 1;
  v->byDLLMinorVersion = 0;
  lame_version_t lv;
  get_lame_version_numerical(&lv);
  v->byMajorVersion = static_cast<uint8_t>(lv.major);
  v->byMinorVersion = static_cast<uint8_t>(lv.minor);
  v->byDay = 9;
  v->byMonth = 12;
  v->wYear = 2026;
  const char* url = get_lame_url();
  if (url) std::strncpy(v->zHomepage, url, BE_MAX_HOMEPAGE);
  v->byAlphaLevel = static_cast<uint8_t>(lv.alpha);
  v->byBetaLevel = static_cast<uint8_t>(lv.beta);
  v->byMMXEnabled = 0;
}

}  // extern "C"
