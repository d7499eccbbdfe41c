#include "app/settings/ColorSchemeOptions.h"

#include <algorithm>
#include <atomic>

#include "app/settings/ZQRegistry.h"

namespace {

constexpr ColorRef Y = MakeRgb(255, 255, 0);
constexpr ColorRef K = MakeRgb(0, 0, 0);
constexpr ColorSchemeOptions::PresetRow kPresets[ColorSchemeOptions::kPresetCount] = {
    {MakeRgb(98, 108, 123), MakeRgb(75, 243, 167), K, MakeRgb(18, 59, 40), MakeRgb(238, 238, 247), Y},
    {MakeRgb(47, 26, 238), MakeRgb(254, 13, 13), K, MakeRgb(160, 181, 81), MakeRgb(13, 119, 4), Y},
    {MakeRgb(192, 192, 192), MakeRgb(13, 224, 254), K, MakeRgb(182, 245, 254), MakeRgb(119, 119, 119), Y},
    {MakeRgb(193, 183, 129), MakeRgb(26, 240, 171), K, MakeRgb(16, 53, 41), MakeRgb(246, 246, 247), Y},
    {MakeRgb(168, 150, 156), MakeRgb(178, 220, 168), K, MakeRgb(198, 237, 226), MakeRgb(79, 108, 115), Y},
    {MakeRgb(98, 108, 123), MakeRgb(115, 186, 81), K, MakeRgb(189, 234, 202), MakeRgb(93, 119, 119), Y},
    {MakeRgb(142, 40, 58), MakeRgb(255, 206, 12), K, MakeRgb(255, 221, 151), MakeRgb(135, 109, 80), Y},
    {MakeRgb(172, 169, 208), MakeRgb(131, 244, 162), MakeRgb(7, 60, 47), MakeRgb(239, 195, 147),
     MakeRgb(175, 113, 50), Y},
    {MakeRgb(135, 81, 202), MakeRgb(237, 30, 201), K, MakeRgb(244, 187, 232), MakeRgb(130, 118, 125), Y},
    {MakeRgb(39, 43, 109), MakeRgb(79, 216, 209), K, MakeRgb(174, 236, 203), MakeRgb(84, 85, 55), Y},
    {MakeRgb(65, 65, 65), MakeRgb(12, 85, 255), K, MakeRgb(77, 151, 255), MakeRgb(0, 60, 119), Y},
    {MakeRgb(99, 116, 97), MakeRgb(199, 160, 67), K, MakeRgb(237, 208, 146), MakeRgb(119, 98, 60), Y},
    {MakeRgb(174, 182, 210), MakeRgb(53, 101, 214), K, MakeRgb(194, 183, 240), MakeRgb(119, 90, 117), Y},
    {MakeRgb(193, 183, 145), MakeRgb(217, 183, 50), MakeRgb(61, 46, 32), MakeRgb(211, 201, 130),
     MakeRgb(116, 108, 64), Y},
    {MakeRgb(28, 71, 198), MakeRgb(34, 184, 147), K, MakeRgb(162, 224, 209), MakeRgb(93, 93, 93), Y},
    {MakeRgb(154, 162, 128), MakeRgb(216, 178, 100), K, MakeRgb(238, 222, 190), MakeRgb(93, 93, 93), Y},
    {MakeRgb(123, 126, 139), MakeRgb(34, 184, 147), K, MakeRgb(162, 224, 209), MakeRgb(93, 93, 93), Y},
};
constexpr int kPresetCommands[ColorSchemeOptions::kPresetCount] = {
    32903, 32904, 32905, 32906, 32916, 0, 32908, 32909, 32910, 0, 0, 32911, 0, 32912, 32913, 32914, 32915};

std::atomic<settings::ColorSchemeAppliedHook> g_hook{nullptr};

int RowOf(int index) {
  int row = index % ColorSchemeOptions::kPresetCount;
  return row < 0 ? row + ColorSchemeOptions::kPresetCount : row;
}

ColorRef WithLuminance(ColorRef base, float luminance) {
  HlsColor c(base);
  c.SetLuminance(luminance);
  return c.GetRGB();
}

}  // namespace

namespace settings {
ColorSchemeAppliedHook SetColorSchemeAppliedHook(ColorSchemeAppliedHook hook) noexcept {
  return g_hook.exchange(hook, std::memory_order_acq_rel);
}
}  // namespace settings

const ColorSchemeOptions::PresetRow& ColorSchemeOptions::Preset(int row) { return kPresets[RowOf(row)]; }

int ColorSchemeOptions::PresetCommand(int row) { return kPresetCommands[RowOf(row)]; }

void ColorSchemeOptions::SetDefaults() {
  SetControlBarColor(MakeRgb(98, 108, 123));
  WaveformForeground = MakeRgb(75, 243, 167);
  WaveformBackground = MakeRgb(0, 0, 0);
  SelectionForeground = MakeRgb(18, 59, 40);
  SelectionBackground = MakeRgb(238, 238, 247);
  TimeIndicator = MakeRgb(255, 255, 0);
}

void ColorSchemeOptions::SetControlBarColor(ColorRef color) {
  ControlBar = color;
  const float l = HlsColor(color).GetLuminance();
  LighterShade = WithLuminance(color, std::min(0.5f * l + 0.65f, 1.0f));
  LightShade = WithLuminance(color, std::min((l + 1.0f) * 0.5f, 1.0f));
  DarkShade = WithLuminance(color, l * 2.0f / 3.0f);
  DarkerShade = WithLuminance(color, l * 4.0f / 9.0f);
}

int ColorSchemeOptions::Load() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForReading(holder, kSection);
  if (!reg) return 1;
  const ColorSchemeOptions d;
  ColorRef bar = ControlBar;
  reg->ReadDword("ControlBar", &bar, d.ControlBar);
  SetControlBarColor(bar);
  reg->ReadDword("WaveformForeground", &WaveformForeground, d.WaveformForeground);
  reg->ReadDword("WaveformBackground", &WaveformBackground, d.WaveformBackground);
  reg->ReadDword("SelectionForeground", &SelectionForeground, d.SelectionForeground);
  reg->ReadDword("SelectionBackground", &SelectionBackground, d.SelectionBackground);
  reg->ReadDword("TimeIndicator", &TimeIndicator, d.TimeIndicator);
  return 1;
}

int ColorSchemeOptions::Save() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection);
  if (!reg) return 1;
  reg->WriteDword("ControlBar", ControlBar);
  reg->WriteDword("WaveformForeground", WaveformForeground);
  reg->WriteDword("WaveformBackground", WaveformBackground);
  reg->WriteDword("SelectionForeground", SelectionForeground);
  reg->WriteDword("SelectionBackground", SelectionBackground);
  reg->WriteDword("TimeIndicator", TimeIndicator);
  return 1;
}

void ColorSchemeOptions::ApplyPreset(int index) {
  const PresetRow& row = Preset(index);
  SetControlBarColor(row[0]);
  WaveformForeground = row[1];
  WaveformBackground = row[2];
  SelectionForeground = row[3];
  SelectionBackground = row[4];
  TimeIndicator = row[5];
  Save();
  if (settings::ColorSchemeAppliedHook hook = g_hook.load(std::memory_order_acquire)) hook(*this);
}
