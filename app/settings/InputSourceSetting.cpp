#include "app/settings/InputSourceSetting.h"

#include <atomic>

#include "app/settings/SettingsText.h"

namespace settings {
namespace {
std::atomic<MixerReader*> g_reader{nullptr};
}
MixerReader* SetMixerReader(MixerReader* reader) noexcept {
  return g_reader.exchange(reader, std::memory_order_acq_rel);
}
MixerReader* InstalledMixerReader() noexcept { return g_reader.load(std::memory_order_acquire); }
}  // namespace settings

void InputSourceSetting::SetDefaults() {
  InputSource = 0;
  InputVolume = 0.3f;
  OutputVolume = 0.3f;
  if (settings::MixerReader* reader = settings::InstalledMixerReader())
    reader->GetMixer(&InputSource, &InputVolume, &OutputVolume);
}

void InputSourceSetting::GetSummary(std::vector<std::string>* lines,
                                    const std::vector<std::string>& names) const {
  if (names.empty()) {
    lines->push_back(settings_text::kNoInputSourceLine);
    return;
  }
  // A source index outside the list names no source.
  const std::string name = InputSource >= 0 && static_cast<std::size_t>(InputSource) < names.size()
                               ? names[static_cast<std::size_t>(InputSource)]
                               : std::string();
  lines->push_back(settings_text::Format(settings_text::kInputSourceFormat, name.c_str(),
                                         static_cast<double>(InputVolume)));
}
