// Test fixture: a "lame_enc" library with four of the five entry points (no
// beVersion). The binding must load it and still refuse it.
#include "platform/lame_enc/lame_enc.h"

extern "C" {
BE_ERR beInitStream(PBE_CONFIG, uint32_t*, uint32_t*, HBE_STREAM*) { return BE_ERR_INVALID_FORMAT; }
BE_ERR beEncodeChunk(HBE_STREAM, uint32_t, const int16_t*, uint8_t*, uint32_t*) {
  return BE_ERR_INVALID_HANDLE;
}
BE_ERR beDeinitStream(HBE_STREAM, uint8_t*, uint32_t*) { return BE_ERR_INVALID_HANDLE; }
BE_ERR beCloseStream(HBE_STREAM) { return BE_ERR_INVALID_HANDLE; }
}
