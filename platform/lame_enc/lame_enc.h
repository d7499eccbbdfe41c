// The outside MP3 encoder library "lame_enc": the five entry
// points the program loads at run time, the sixth it uses when present
// (beGetInfoTag), and the records they exchange.
//
// This is our own stand-in for the Windows "lame_enc.dll", built as the shared
// object "lame_enc.so" over Debian's libmp3lame. The records keep the byte
// layout the program hands over: a packed configuration of 331 bytes (its
// LAME form "LHV1", or the simple MP3 form) and a packed version record.
// Every Windows-sized word is a fixed-width integer here (DWORD = 32 bits).
#ifndef TARVEL_PLATFORM_LAME_ENC_H
#define TARVEL_PLATFORM_LAME_ENC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Configuration kinds (`dwConfig`).
#define BE_CONFIG_MP3 0     // the simple form `format.mp3`
#define BE_CONFIG_LAME 256  // the LAME form `format.LHV1`

// Results of the entry points.
#define BE_ERR_SUCCESSFUL 0x00000000u
#define BE_ERR_INVALID_FORMAT 0x00000001u             // unknown configuration kind
#define BE_ERR_INVALID_FORMAT_PARAMETERS 0x00000002u  // a value the encoder refuses
#define BE_ERR_NO_MORE_HANDLES 0x00000003u
#define BE_ERR_INVALID_HANDLE 0x00000004u
#define BE_ERR_BUFFER_TOO_SMALL 0x00000005u

#define BE_MAX_HOMEPAGE 128

// Channel modes (`nMode` of LHV1, `byMode` of the simple form).
#define BE_MP3_MODE_STEREO 0
#define BE_MP3_MODE_JSTEREO 1
#define BE_MP3_MODE_DUALCHANNEL 2  // here: joint stereo with forced mid/side
#define BE_MP3_MODE_MONO 3

// MPEG versions (`dwMpegVersion`).
#define MPEG1 1  // 32000, 44100, 48000 Hz
#define MPEG2 0  // MPEG II (16000, 22050, 24000 Hz) and II.5 (8000, 11025, 12000 Hz)

#define CURRENT_STRUCT_VERSION 1
#define CURRENT_STRUCT_SIZE 331

// VBR methods (`nVbrMethod`).
typedef enum {
  VBR_METHOD_NONE = -1,
  VBR_METHOD_DEFAULT = 0,
  VBR_METHOD_OLD = 1,
  VBR_METHOD_NEW = 2,
  VBR_METHOD_MTRH = 3,
  VBR_METHOD_ABR = 4
} VBRMETHOD;

// Presets (`nPreset`).
typedef enum {
  LQP_NOPRESET = -1,
  LQP_NORMAL_QUALITY = 0,
  LQP_LOW_QUALITY = 1,
  LQP_HIGH_QUALITY = 2,
  LQP_VOICE_QUALITY = 3,
  LQP_R3MIX = 4,
  LQP_VERYHIGH_QUALITY = 5,
  LQP_STANDARD = 6,
  LQP_FAST_STANDARD = 7,
  LQP_EXTREME = 8,
  LQP_FAST_EXTREME = 9,
  LQP_INSANE = 10,
  LQP_ABR = 11,
  LQP_CBR = 12,
  LQP_MEDIUM = 13,
  LQP_FAST_MEDIUM = 14,
  LQP_PHONE = 1000,
  LQP_SW = 2000,
  LQP_AM = 3000,
  LQP_FM = 4000,
  LQP_VOICE = 5000,
  LQP_RADIO = 6000,
  LQP_TAPE = 7000,
  LQP_HIFI = 8000,
  LQP_CD = 9000,
  LQP_STUDIO = 10000
} LAME_QUALITY_PRESET;

typedef uint32_t BE_ERR;
typedef uint32_t HBE_STREAM;  // 0 is never a valid stream

#pragma pack(push, 1)
typedef struct {
  uint32_t dwConfig;  // BE_CONFIG_MP3 or BE_CONFIG_LAME
  union {
    struct {
      uint32_t dwSampleRate;  // 32000, 44100 or 48000
      uint8_t byMode;         // BE_MP3_MODE_*
      uint16_t wBitrate;      // kbit/s, an MPEG I bit rate
      int32_t bPrivate;
      int32_t bCRC;
      int32_t bCopyright;
      int32_t bOriginal;
    } mp3;
    struct {
      // structure information
      uint32_t dwStructVersion;  // CURRENT_STRUCT_VERSION
      uint32_t dwStructSize;     // CURRENT_STRUCT_SIZE
      // basic encoder settings
      uint32_t dwSampleRate;    // rate of the samples handed to beEncodeChunk
      uint32_t dwReSampleRate;  // rate of the MP3 stream; 0 = the input rate
      int32_t nMode;            // BE_MP3_MODE_*
      uint32_t dwBitrate;       // CBR bit rate, or the VBR/ABR minimum (kbit/s)
      uint32_t dwMaxBitrate;    // VBR/ABR maximum (kbit/s); 0 = the version's top
      int32_t nPreset;          // LAME_QUALITY_PRESET
      uint32_t dwMpegVersion;   // MPEG1 or MPEG2
      uint32_t dwPsyModel;      // not used
      uint32_t dwEmphasis;      // 0 none, 1 50/15 us, 3 CCITT J.17
      // bit stream settings
      int32_t bPrivate;
      int32_t bCRC;
      int32_t bCopyright;
      int32_t bOriginal;
      // VBR
      int32_t bWriteVBRHeader;  // reserve the first frame for beGetInfoTag
      int32_t bEnableVBR;
      int32_t nVBRQuality;    // 0 best .. 9 poorest
      uint32_t dwVbrAbr_bps;  // ABR mean bit rate in bit/s
      int32_t nVbrMethod;     // VBRMETHOD
      int32_t bNoRes;         // no bit reservoir: every frame stands alone
      // miscellaneous
      int32_t bStrictIso;
      uint16_t nQuality;  // low byte q 0..9 with its complement in the high byte; else default
      uint8_t btReserved[255 - 4 * 4 - 2];
    } LHV1;
  } format;
} BE_CONFIG, *PBE_CONFIG;

typedef struct {
  uint8_t byDLLMajorVersion;  // this library
  uint8_t byDLLMinorVersion;
  uint8_t byMajorVersion;  // the encoding engine (libmp3lame)
  uint8_t byMinorVersion;
  uint8_t byDay;  // release date of this library
  uint8_t byMonth;
  uint16_t wYear;
  char zHomepage[BE_MAX_HOMEPAGE + 1];
  uint8_t byAlphaLevel;
  uint8_t byBetaLevel;
  uint8_t byMMXEnabled;
  uint8_t btReserved[125];
} BE_VERSION, *PBE_VERSION;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(BE_CONFIG) == 331, "the configuration record is 331 bytes");
#else
_Static_assert(sizeof(BE_CONFIG) == 331, "the configuration record is 331 bytes");
#endif

#if defined(__GNUC__)
#define LAME_ENC_EXPORT __attribute__((visibility("default")))
#else
#define LAME_ENC_EXPORT
#endif

// Opens a stream. On success fills the samples per chunk (16-bit values, both
// channels counted), the output buffer size in bytes that any one call's output
// fits in, and the stream handle. A refused configuration leaves them untouched
// and returns BE_ERR_INVALID_FORMAT or BE_ERR_INVALID_FORMAT_PARAMETERS.
LAME_ENC_EXPORT BE_ERR beInitStream(PBE_CONFIG pbeConfig, uint32_t* dwSamples, uint32_t* dwBufferSize,
                                    HBE_STREAM* phbeStream);
// Encodes nSamples 16-bit values (interleaved for two channels, both counted).
// At most one chunk's worth fits the reported output buffer.
LAME_ENC_EXPORT BE_ERR beEncodeChunk(HBE_STREAM hbeStream, uint32_t nSamples, const int16_t* pSamples,
                                     uint8_t* pOutput, uint32_t* pdwOutput);
// Flushes the last frames. The stream stays valid until beCloseStream.
LAME_ENC_EXPORT BE_ERR beDeinitStream(HBE_STREAM hbeStream, uint8_t* pOutput, uint32_t* pdwOutput);
// The information frame of a stream opened with bWriteVBRHeader, to be
// written over the first *pdwOutput bytes the stream gave (that frame went out
// blank). After beDeinitStream it tells the whole stream: frame and byte
// counts, seek table, encoder delay and padding. Before, it tells the frames
// given so far, with no padding (for a file that ends while the stream goes
// on). pOutput holds the output buffer size beInitStream reported; 0 bytes
// when the stream reserved no such frame or has given no frame yet.
LAME_ENC_EXPORT BE_ERR beGetInfoTag(HBE_STREAM hbeStream, uint8_t* pOutput, uint32_t* pdwOutput);
// Frees the stream; the handle is invalid afterwards.
LAME_ENC_EXPORT BE_ERR beCloseStream(HBE_STREAM hbeStream);
LAME_ENC_EXPORT void beVersion(PBE_VERSION pbeVersion);

// Function pointer types, for the binding that loads the library.
typedef BE_ERR (*BEINITSTREAM)(PBE_CONFIG, uint32_t*, uint32_t*, HBE_STREAM*);
typedef BE_ERR (*BEENCODECHUNK)(HBE_STREAM, uint32_t, const int16_t*, uint8_t*, uint32_t*);
typedef BE_ERR (*BEDEINITSTREAM)(HBE_STREAM, uint8_t*, uint32_t*);
typedef BE_ERR (*BECLOSESTREAM)(HBE_STREAM);
typedef void (*BEVERSION)(PBE_VERSION);
typedef BE_ERR (*BEGETINFOTAG)(HBE_STREAM, uint8_t*, uint32_t*);

#ifdef __cplusplus
}
#endif

#endif
