// The sound card's mixer as the recorder uses it: the list of recording inputs
// (microphone, line in, ...), the one selected, its recording volume and the
// playback volume. Volumes are fractions from 0.0 to 1.0.
//
// The mixer is reached through ALSA's control interface for the devices the
// stream uses: a hardware device ("... (hw:1,0)") is controlled through its
// card ("hw:1"); a device that has a control device of its own name in the ALSA
// configuration through that one; every other device (the sound server's
// "pulse", "default" and the devices defined over it) through "default". Over a
// sound server that is its default source and sink, which is what such devices
// record from and play to.
//
// Inputs: a card with a capture selector lists the selector's items; a device
// without one lists a single input named after its capture volume control; a
// device without any capture control lists none.
#pragma once

#include <string>

struct SoundCardMixer;

// Opens the mixers of a stream's devices, named as PortAudio lists them; an
// empty name leaves that direction out. Null when a direction that is asked
// for has no mixer, or when neither is asked for.
SoundCardMixer* OpenSoundCardMixer(const std::string& inputDevice, const std::string& outputDevice);
void CloseSoundCardMixer(SoundCardMixer* mixer);

// The ALSA control device that controls a PortAudio device (see above).
std::string MixerControlName(const std::string& deviceName);

int GetInputSourceCount(const SoundCardMixer* mixer);
// "" for an index out of range.
std::string GetInputSourceName(const SoundCardMixer* mixer, int index);
// The selected input; 0 when none is selected or it cannot be read.
int GetCurrentInputSource(SoundCardMixer* mixer);
// Selects input `index`; false when that is not possible.
bool SetCurrentInputSource(SoundCardMixer* mixer, int index);

// Recording volume of the selected input; 0.0 when it cannot be read.
float GetInputVolume(SoundCardMixer* mixer);
// Writes it (clamped to 0..1) when the present value can be read.
void SetInputVolume(SoundCardMixer* mixer, float volume);

// Playback volume; 0.0 when there is none. A call that fails turns the playback
// volume off for this mixer (it then reads 0.0 and writes nothing).
float GetOutputVolume(SoundCardMixer* mixer);
void SetOutputVolume(SoundCardMixer* mixer, float volume);
