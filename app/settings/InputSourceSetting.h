#pragma once
// The input source record: the mixer's input source and two volumes. Not
// stored: the constructor takes the mixer's current values when the audio engine has
// installed its mixer reader (AudioIO::GetMixer).
#include <cstdint>
#include <string>
#include <vector>

namespace settings {
// What the record reads of the audio engine's mixer. The engine implements it.
class MixerReader {
public:
  virtual ~MixerReader() = default;
  // Out: input-source index, input volume and output volume (fractions 0 to 1).
  virtual void GetMixer(std::int32_t* source, float* inputVolume, float* outputVolume) = 0;
};
// None installed: no engine exists. Returns the previous reader.
MixerReader* SetMixerReader(MixerReader* reader) noexcept;
MixerReader* InstalledMixerReader() noexcept;
}  // namespace settings

class InputSourceSetting {
public:
  InputSourceSetting() { SetDefaults(); }

  // 0, 0.3, 0.3; then, when the engine exists, its mixer's current values.
  void SetDefaults();
  // "    Input source: %s    volume: %.2f" with the source's name in the application's
  // input-source names, or "    Input source: None    volume: None" when there are none.
  void GetSummary(std::vector<std::string>* lines, const std::vector<std::string>& inputSourceNames) const;

  std::int32_t InputSource;
  float InputVolume;
  float OutputVolume;
};
