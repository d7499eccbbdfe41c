#pragma once
// Sample formats, sample buffers and the one converting copy between formats.
//
// A sample buffer is untyped memory holding count * SampleSize(format) bytes; its
// owner knows the format. Every conversion in the program rounds and clips: the
// dither kinds other than DitherNone exist but nothing selects them.
#include <cstdint>
#include <string>
#include <vector>

// The high 16 bits of the code are the bytes one sample occupies in memory.
enum SampleFormat : std::int32_t {
  SampleFormatInt16 = 0x20001,  // signed 16-bit
  SampleFormatInt24 = 0x40001,  // signed 24-bit value held in a signed 32-bit integer
  SampleFormatFloat = 0x4000F,  // 32-bit IEEE float, nominal range -1.0..1.0
};

using SamplePtr = char*;
using ConstSamplePtr = const char*;

// Bytes per sample: the code shifted right by 16; nothing else of the code is decoded.
constexpr int SampleSize(SampleFormat format) { return static_cast<std::int32_t>(format) >> 16; }

// A new buffer of count samples, uninitialised. Free it with DeleteSamples.
SamplePtr NewSamples(std::uint32_t count, SampleFormat format);
void DeleteSamples(SamplePtr buffer);

// Sets samples start .. start+len-1 to all-zero bytes.
void ClearSamples(SamplePtr buffer, SampleFormat format, std::uint32_t start, std::uint32_t len);

// Converts len samples. The stride (in samples) applies to the source only: source
// sample i is read at src + i * stride * srcBytes; the destination is dense.
// highQuality picks which of the two program-wide dither settings is used; both are
// DitherNone.
void CopySamples(ConstSamplePtr src, SampleFormat srcFormat, SamplePtr dst, SampleFormat dstFormat,
                 std::uint32_t len, bool highQuality = true, std::uint32_t stride = 1);
void CopySamplesNoDither(ConstSamplePtr src, SampleFormat srcFormat, SamplePtr dst, SampleFormat dstFormat,
                         std::uint32_t len, std::uint32_t stride = 1);

// The exact scaling of integer samples to float: (s + 0.5) / 32767.5 and
// (s + 0.5) / 8388607.5, so the integer extremes land on -1.0 and +1.0.
float Int16ToFloatSample(std::int32_t s);
float Int24ToFloatSample(std::int32_t s);

// State of the dithering converter. One program-wide instance, reset at start-up.
class Dither {
public:
  enum DitherType : int {
    DitherNone = 0,
    DitherRectangle = 1,
    DitherTriangle = 2,
    DitherShaped = 3,
  };

  Dither() { Reset(); }
  void Reset();
  // Converts len samples from src to dst (see CopySamples for the stride); a kind
  // outside 0..3 writes nothing.
  void Apply(int kind, ConstSamplePtr src, SampleFormat srcFormat, SamplePtr dst, SampleFormat dstFormat,
             std::uint32_t len, std::uint32_t stride = 1);

  // The program-wide instance. Only the dithering kinds touch its state.
  static Dither& Global();

private:
  std::int32_t mPhase;
  float mTriangleState;
  float mBuffer[8];
};

// Names of libsndfile's file formats, for the import and export dialogs.
// The major format of format (format AND 0x0FFF0000), as libsndfile names it; empty
// when libsndfile has no name for it.
std::string GetFormatHeaderName(int format);
std::string GetFormatHeaderExtension(int format);
// Subtypes that keep more than 16 bits: 24- and 32-bit PCM, float, double.
bool IsHighBitSubtype(int subtype);
// 16-, 24- and 32-bit PCM.
bool IsPCMSubtype(int subtype);
// Appends, in lower case, the extension of every major format libsndfile lists, then
// "aif", "ircam", "snd", "svx", "svx8", "sv16".
void GetSupportedExtensions(std::vector<std::string>& list);
