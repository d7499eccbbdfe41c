#include "core/engine/SoundCardMixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr int kMaxSources = 32;

struct Source {
  std::string name;
  snd_mixer_elem_t* volume = nullptr;  // capture volume control; null when none
};

// Opens and loads the simple-element mixer of an ALSA control device.
snd_mixer_t* OpenAlsaMixer(const std::string& control) {
  snd_mixer_t* mixer = nullptr;
  if (snd_mixer_open(&mixer, 0) < 0) return nullptr;
  if (snd_mixer_attach(mixer, control.c_str()) < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 ||
      snd_mixer_load(mixer) < 0) {
    snd_mixer_close(mixer);
    return nullptr;
  }
  return mixer;
}

std::string ElementName(snd_mixer_elem_t* elem) {
  const char* name = snd_mixer_selem_get_name(elem);
  return name ? name : "";
}

snd_mixer_elem_t* FindByName(snd_mixer_t* mixer, const std::string& name, bool capture) {
  for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
    const bool hasVolume =
        capture ? snd_mixer_selem_has_capture_volume(e) : snd_mixer_selem_has_playback_volume(e);
    if (hasVolume && ElementName(e) == name) return e;
  }
  return nullptr;
}

snd_mixer_elem_t* FirstWithVolume(snd_mixer_t* mixer, bool capture) {
  for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
    if (capture ? snd_mixer_selem_has_capture_volume(e) : snd_mixer_selem_has_playback_volume(e)) return e;
  }
  return nullptr;
}

// Reads a volume as a fraction of its range; false when it cannot be read.
bool ReadVolume(snd_mixer_elem_t* elem, bool capture, float* fraction) {
  long lo = 0, hi = 0, value = 0;
  const int r1 = capture ? snd_mixer_selem_get_capture_volume_range(elem, &lo, &hi)
                         : snd_mixer_selem_get_playback_volume_range(elem, &lo, &hi);
  if (r1 < 0 || hi <= lo) return false;
  const int r2 = capture ? snd_mixer_selem_get_capture_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, &value)
                         : snd_mixer_selem_get_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, &value);
  if (r2 < 0) return false;
  *fraction = static_cast<float>(static_cast<double>(value - lo) / static_cast<double>(hi - lo));
  return true;
}

bool WriteVolume(snd_mixer_elem_t* elem, bool capture, float fraction) {
  long lo = 0, hi = 0;
  const int r1 = capture ? snd_mixer_selem_get_capture_volume_range(elem, &lo, &hi)
                         : snd_mixer_selem_get_playback_volume_range(elem, &lo, &hi);
  if (r1 < 0 || hi <= lo) return false;
  const double f = std::clamp(static_cast<double>(fraction), 0.0, 1.0);
  const long value = lo + static_cast<long>(f * static_cast<double>(hi - lo));
  return (capture ? snd_mixer_selem_set_capture_volume_all(elem, value)
                  : snd_mixer_selem_set_playback_volume_all(elem, value)) >= 0;
}

// Brings the element values up to date with changes made by others.
void Refresh(snd_mixer_t* mixer) {
  if (mixer) snd_mixer_handle_events(mixer);
}

}  // namespace

struct SoundCardMixer {
  snd_mixer_t* input = nullptr;
  snd_mixer_t* output = nullptr;
  std::vector<Source> sources;
  snd_mixer_elem_t* selector = nullptr;      // capture source enumeration, if any
  snd_mixer_elem_t* outputVolume = nullptr;  // playback volume control
  bool outputUsable = true;                  // false after a failed playback-volume call
};

std::string MixerControlName(const std::string& deviceName) {
  // "... (hw:1,0)", "hw:1,0", "plughw:1": the card's control device.
  std::size_t at = deviceName.find("hw:");
  if (at != std::string::npos) {
    std::size_t end = at + 3;
    while (end < deviceName.size() && std::isdigit(static_cast<unsigned char>(deviceName[end]))) ++end;
    if (end > at + 3) return "hw:" + deviceName.substr(at + 3, end - at - 3);
  }
  // A control device of the same name (looked up silently: opening an unknown
  // one makes ALSA complain on standard error).
  const bool plain = !deviceName.empty() && std::all_of(deviceName.begin(), deviceName.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
  });
  if (plain && snd_config_update() >= 0 && snd_config) {
    snd_config_t* node = nullptr;
    if (snd_config_search(snd_config, ("ctl." + deviceName).c_str(), &node) >= 0) return deviceName;
  }
  return "default";
}

SoundCardMixer* OpenSoundCardMixer(const std::string& inputDevice, const std::string& outputDevice) {
  if (inputDevice.empty() && outputDevice.empty()) return nullptr;
  auto* m = new SoundCardMixer;
  const std::string inputControl = inputDevice.empty() ? std::string() : MixerControlName(inputDevice);
  if (!inputDevice.empty()) {
    m->input = OpenAlsaMixer(inputControl);
    if (!m->input) {
      CloseSoundCardMixer(m);
      return nullptr;
    }
  }
  if (!outputDevice.empty()) {
    // Both directions through one control device (a sound server's, a card's) share
    // its mixer: opening one is a round trip to the server or the card.
    const std::string outputControl = MixerControlName(outputDevice);
    m->output = m->input && outputControl == inputControl ? m->input : OpenAlsaMixer(outputControl);
    if (!m->output) {
      CloseSoundCardMixer(m);
      return nullptr;
    }
  }

  if (m->input) {
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(m->input); e; e = snd_mixer_elem_next(e)) {
      if (snd_mixer_selem_is_enum_capture(e)) {
        m->selector = e;
        break;
      }
    }
    snd_mixer_elem_t* mainVolume = FindByName(m->input, "Capture", true);
    if (!mainVolume) mainVolume = FirstWithVolume(m->input, true);
    if (m->selector) {
      const int items = std::min(snd_mixer_selem_get_enum_items(m->selector), kMaxSources);
      for (int i = 0; i < items; ++i) {
        char name[256] = {};
        if (snd_mixer_selem_get_enum_item_name(m->selector, i, sizeof name - 1, name) < 0) {
          m->sources.clear();  // a list that cannot be read lists nothing
          break;
        }
        Source s;
        s.name = name;
        // A card with per-input recording volumes names them after the inputs.
        s.volume = FindByName(m->input, s.name, true);
        if (!s.volume) s.volume = mainVolume;
        m->sources.push_back(s);
      }
    } else if (mainVolume) {
      m->sources.push_back(Source{ElementName(mainVolume), mainVolume});
    }
  }
  if (m->output) {
    m->outputVolume = FindByName(m->output, "Master", false);
    if (!m->outputVolume) m->outputVolume = FindByName(m->output, "PCM", false);
    if (!m->outputVolume) m->outputVolume = FirstWithVolume(m->output, false);
  }
  return m;
}

void CloseSoundCardMixer(SoundCardMixer* mixer) {
  if (!mixer) return;
  if (mixer->input) snd_mixer_close(mixer->input);
  if (mixer->output && mixer->output != mixer->input) snd_mixer_close(mixer->output);
  delete mixer;
}

int GetInputSourceCount(const SoundCardMixer* mixer) {
  return mixer ? static_cast<int>(mixer->sources.size()) : 0;
}

std::string GetInputSourceName(const SoundCardMixer* mixer, int index) {
  if (!mixer || index < 0 || index >= GetInputSourceCount(mixer)) return "";
  return mixer->sources[index].name;
}

int GetCurrentInputSource(SoundCardMixer* mixer) {
  if (!mixer || !mixer->selector) return 0;
  Refresh(mixer->input);
  unsigned int item = 0;
  if (snd_mixer_selem_get_enum_item(mixer->selector, SND_MIXER_SCHN_FRONT_LEFT, &item) < 0) return 0;
  return static_cast<int>(item) < GetInputSourceCount(mixer) ? static_cast<int>(item) : 0;
}

bool SetCurrentInputSource(SoundCardMixer* mixer, int index) {
  if (!mixer || index < 0 || index >= GetInputSourceCount(mixer)) return false;
  if (!mixer->selector) return index == 0;  // the one input is always selected
  bool ok = false;
  for (int ch = SND_MIXER_SCHN_FRONT_LEFT; ch <= SND_MIXER_SCHN_LAST; ++ch) {
    const int r = snd_mixer_selem_set_enum_item(
        mixer->selector, static_cast<snd_mixer_selem_channel_id_t>(ch), static_cast<unsigned int>(index));
    if (r < 0) break;
    ok = true;
  }
  return ok;
}

float GetInputVolume(SoundCardMixer* mixer) {
  if (!mixer || mixer->sources.empty()) return 0.0f;
  snd_mixer_elem_t* elem = mixer->sources[GetCurrentInputSource(mixer)].volume;
  float v = 0.0f;
  if (!elem) return 0.0f;
  Refresh(mixer->input);
  return ReadVolume(elem, true, &v) ? v : 0.0f;
}

void SetInputVolume(SoundCardMixer* mixer, float volume) {
  if (!mixer || mixer->sources.empty()) return;
  snd_mixer_elem_t* elem = mixer->sources[GetCurrentInputSource(mixer)].volume;
  float present = 0.0f;
  if (elem && ReadVolume(elem, true, &present)) WriteVolume(elem, true, volume);
}

float GetOutputVolume(SoundCardMixer* mixer) {
  if (!mixer || !mixer->outputVolume || !mixer->outputUsable) return 0.0f;
  Refresh(mixer->output);
  float v = 0.0f;
  if (!ReadVolume(mixer->outputVolume, false, &v)) {
    mixer->outputUsable = false;
    return 0.0f;
  }
  return v;
}

void SetOutputVolume(SoundCardMixer* mixer, float volume) {
  if (!mixer || !mixer->outputVolume || !mixer->outputUsable) return;
  if (!WriteVolume(mixer->outputVolume, false, volume)) mixer->outputUsable = false;
}
