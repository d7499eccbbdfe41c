#pragma once
// The colour scheme record, registry section "ColorSchemeOptions": six
// stored colours and four shades derived from the control bar colour; 17 preset rows.
// Applying a scheme to the windows is the window tier's: it installs a hook that
// ApplyPreset calls after saving.
#include <array>
#include <cstdint>

#include "app/settings/HlsColor.h"

class ColorSchemeOptions {
public:
  static constexpr const char* kSection = "ColorSchemeOptions";
  static constexpr int kPresetCount = 17;

  // One preset row: control bar, waveform foreground, waveform background, selection
  // foreground, selection background, time indicator.
  using PresetRow = std::array<ColorRef, 6>;

  ColorSchemeOptions() { SetDefaults(); }
  virtual ~ColorSchemeOptions() = default;

  void SetDefaults();
  // Stores the bar colour and derives the four shades.
  void SetControlBarColor(ColorRef color);
  int Load();
  int Save();
  // Row index % 17: sets it, saves, then calls the installed apply hook.
  void ApplyPreset(int index);

  static const PresetRow& Preset(int row);  // row % 17
  // The menu command of a row (32903...), 0 for the rows without one.
  static int PresetCommand(int row);

  ColorRef ControlBar;
  ColorRef LightShade;    // derived
  ColorRef LighterShade;  // derived
  ColorRef DarkShade;     // derived
  ColorRef DarkerShade;   // derived
  ColorRef WaveformForeground;
  ColorRef WaveformBackground;
  ColorRef SelectionForeground;
  ColorRef SelectionBackground;
  ColorRef TimeIndicator;
};

namespace settings {
// Called by ApplyPreset after it saved (the main frame's colour re-application,
// in the window tier). None installed: nothing happens. Returns the previous hook.
using ColorSchemeAppliedHook = void (*)(ColorSchemeOptions& scheme);
ColorSchemeAppliedHook SetColorSchemeAppliedHook(ColorSchemeAppliedHook hook) noexcept;
}  // namespace settings
