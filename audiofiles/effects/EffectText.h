#pragma once
// The texts the effects show the user: their names (menus and progress captions), what
// each is doing, the descriptions their progress windows and history states carry, and
// their messages. The code names an entry (or asks for a composed text) and never
// spells a text itself, so each wording lives here once. Entries ending in "Format"
// are printf formats the code fills in.
#include <string>

namespace effect_text {

// Each effect's name and action.
extern const char kAmplifyName[];
extern const char kAmplifyAction[];
extern const char kBassBoostName[];
extern const char kBassBoostAction[];
extern const char kChangePitchName[];
extern const char kChangePitchAction[];
extern const char kChangeSpeedName[];
extern const char kChangeSpeedAction[];
extern const char kChangeTempoName[];
extern const char kChangeTempoAction[];
extern const char kCompressorName[];
extern const char kCompressorAction[];
extern const char kEchoName[];
extern const char kEchoAction[];
extern const char kEqualizationName[];
extern const char kEqualizationAction[];
extern const char kFFTFilterName[];
extern const char kFFTFilterAction[];
extern const char kFadeInName[];
extern const char kFadeInAction[];
extern const char kFadeOutName[];
extern const char kFadeOutAction[];
extern const char kInvertName[];
extern const char kInvertAction[];
extern const char kNoiseRemovalName[];
extern const char kNoiseProfileAction[];  // Noise Removal taking its profile
extern const char kNoiseRemovalAction[];  // and removing the noise
extern const char kNormalizeName[];
extern const char kNormalizeAction[];
extern const char kPhaserName[];
extern const char kPhaserAction[];
extern const char kRepeatName[];
extern const char kRepeatAction[];
extern const char kReverseName[];
extern const char kReverseAction[];
extern const char kSilenceName[];
extern const char kSilenceAction[];
extern const char kToneName[];
extern const char kToneAction[];
extern const char kWahwahName[];
extern const char kWahwahAction[];
extern const char kWhiteNoiseName[];
extern const char kWhiteNoiseAction[];

// Descriptions: "\nApplied effect: <name>" unless the effect says more, most of them
// "Applied effect: <name>" with a detail formatted after it.
extern const char kAppliedEffectLine[];
extern const char kAppliedEffect[];
extern const char kAmplifyDetailFormat[];      // %.1f: the gain in dB
extern const char kChangePitchDetailFormat[];  // %.2f: semitones
extern const char kPercentDetailFormat[];      // %.1f: the speed's or tempo's change in %
extern const char kBassBoostDescriptionFormat[];
extern const char kPhaserDescriptionFormat[];
extern const char kWahwahDescriptionFormat[];
extern const char kToneDescriptionFormat[];  // the name, then a waveform name
extern const char* const kToneWaveforms[3];  // sine, square, sawtooth
extern const char kSilenceDescription[];
extern const char kWhiteNoiseDescription[];
std::string Repeated(int count);

// Message boxes: a setting out of range (captioned with the effect's name), a
// selection an effect cannot work on, and a preview that cannot play.
extern const char kChangePitchCaption[];
extern const char kPitchOutOfRange[];
extern const char kChangeSpeedCaption[];
extern const char kSpeedOutOfRange[];
extern const char kChangeTempoCaption[];
extern const char kTempoOutOfRange[];
extern const char kCompressorCaption[];
extern const char kCompressorOutOfRange[];
extern const char kRepeatCaption[];
extern const char kRepeatNegative[];
extern const char kRepeatNothingSelected[];
extern const char kRepeatTooLong[];
extern const char kNoiseRemovalCaption[];
extern const char kNoNoiseProfile[];
extern const char kNoiseProfileTooShort[];
extern const char kPreviewDeviceFailed[];

}  // namespace effect_text
