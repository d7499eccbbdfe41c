#include "audiofiles/effects/EffectText.h"

namespace effect_text {

const char kAmplifyName[] = "Amplify...";
const char kAmplifyAction[] = "Amplifying";
const char kBassBoostName[] = "BassBoost...";
const char kBassBoostAction[] = "Boosting Bass Frequencies";
const char kChangePitchName[] = "Change Pitch...";
const char kChangePitchAction[] = "Changing Pitch";
const char kChangeSpeedName[] = "Change Speed...";
const char kChangeSpeedAction[] = "Changing Speed";
const char kChangeTempoName[] = "Change Tempo...";
const char kChangeTempoAction[] = "Changing Tempo";
const char kCompressorName[] = "Compressor...";
const char kCompressorAction[] = "Applying Dynamic Range Compression...";
const char kEchoName[] = "Echo...";
const char kEchoAction[] = "Performing Echo";
const char kEqualizationName[] = "Equalization...";
const char kEqualizationAction[] = "Performing Equalization";
const char kFFTFilterName[] = "FFT Filter...";
const char kFFTFilterAction[] = "Performing FFT Filter";
const char kFadeInName[] = "Fade In";
const char kFadeInAction[] = "Fading In";
const char kFadeOutName[] = "Fade Out";
const char kFadeOutAction[] = "Fading Out";
const char kInvertName[] = "Invert";
const char kInvertAction[] = "Inverting";
const char kNoiseRemovalName[] = "Noise Removal...";
const char kNoiseProfileAction[] = "Creating Noise Profile";
const char kNoiseRemovalAction[] = "Removing Noise";
const char kNormalizeName[] = "Normalize...";
const char kNormalizeAction[] = "Normalizing...";
const char kPhaserName[] = "Phaser...";
const char kPhaserAction[] = "Applying Phaser";
const char kRepeatName[] = "Repeat...";
const char kRepeatAction[] = "Performing Repeat";
const char kReverseName[] = "Reverse";
const char kReverseAction[] = "Reversing";
const char kSilenceName[] = "Silence";
const char kSilenceAction[] = "Generating Silence";
const char kToneName[] = "Tone...";
const char kToneAction[] = "Generating Tone";
const char kWahwahName[] = "Wahwah...";
const char kWahwahAction[] = "Applying Wahwah";
const char kWhiteNoiseName[] = "White Noise";
const char kWhiteNoiseAction[] = "Generating White Noise";

const char kAppliedEffectLine[] = "\nApplied effect: ";
const char kAppliedEffect[] = "Applied effect: ";
const char kAmplifyDetailFormat[] = " %.1f dB";
const char kChangePitchDetailFormat[] = " %.2f semitones";
const char kPercentDetailFormat[] = " %.1f%%";
const char kBassBoostDescriptionFormat[] = "Applied effect: %s frequency = %.0f Hz, boost = %.0f dB";
const char kPhaserDescriptionFormat[] =
    "Applied effect: %s %d stages, %.0f%% wet, frequency = %.1f Hz, start phase = "
    "%.0f deg, depth = %d, feedback = %.0f%%";
const char kWahwahDescriptionFormat[] =
    "Applied effect: %s frequency = %.1f Hz, start phase = %.0f deg, depth = %.0f%%, "
    "resonance = %.1f, frequency offset = %.0f%%";
const char kToneDescriptionFormat[] =
    "Applied effect: Generate %s %s wave, frequency = %.2f Hz, amplitude = %.2f";
const char* const kToneWaveforms[3] = {"sine", "square", "sawtooth"};
const char kSilenceDescription[] = "Applied effect: Generate Silence";
const char kWhiteNoiseDescription[] = "Applied effect: Generate White Noise";
std::string Repeated(int count) { return "Repeated " + std::to_string(count) + " times"; }

const char kChangePitchCaption[] = "Change Pitch";
const char kPitchOutOfRange[] = "The pitch change must lie between -60 and +60 semitones.";
const char kChangeSpeedCaption[] = "Change Speed";
const char kSpeedOutOfRange[] = "The speed change must lie between -91.67 % and +1100 %.";
const char kChangeTempoCaption[] = "Change Tempo";
const char kTempoOutOfRange[] = "The tempo change must lie between -95 % and +5000 %.";
const char kCompressorCaption[] = "Compressor";
const char kCompressorOutOfRange[] =
    "The compressor's settings are out of range: the ratio must be above 0, the attack and "
    "decay times 0 or more, and the floor between 0 and 1.";
const char kRepeatCaption[] = "Repeat";
const char kRepeatNegative[] = "The repeat count cannot be negative.";
const char kRepeatNothingSelected[] = "Select the audio to repeat first.";
const char kRepeatTooLong[] = "Tracks are too long to repeat the selection.";
const char kNoiseRemovalCaption[] = "Noise Removal";
const char kNoNoiseProfile[] =
    "Take a noise profile first: select a piece of noise alone and apply "
    "Noise Removal to it.";
const char kNoiseProfileTooShort[] = "The selection is too short to take a noise profile.";
const char kPreviewDeviceFailed[] =
    "Error while opening sound device. Please check the output device settings and the "
    "project sample rate.";

}  // namespace effect_text
