#pragma once
// The texts the audio engine shows the user: why it cannot play or record, and why a
// stream stopped. The code names an entry (or asks for a composed text) and never
// spells a text itself, so each wording lives here once.
#include <string>

namespace engine_text {

// PortAudio could not be initialised; the library's reason follows after "Error: "
// when it gives one.
std::string InitFailed(const char* reason);

// A direct-to-file recording could not prepare its writer.
extern const char kEngineNotReady[];

// Why a running stream was stopped: the writer could not write to the file, the
// recorded tracks could not be stored, or the sound device died.
std::string WriterFailed(const std::string& file);
extern const char kTracksFailed[];
extern const char kStreamDied[];

}  // namespace engine_text
