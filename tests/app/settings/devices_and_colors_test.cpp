// Sample rates over a filled device catalog, and the colour scheme's shades and presets.
#include <gtest/gtest.h>

#include <cmath>

#include "app/settings/ColorSchemeOptions.h"
#include "app/settings/SoundDeviceOptions.h"
#include "tests/support/native/SettingsEnvironment.h"

using settings::SoundDeviceInfo;
using settings_test::SettingsEnvironment;

namespace {

class FakeCatalog : public settings::SoundDeviceCatalog {
public:
  int CountDevices() override { return static_cast<int>(devices.size()); }
  bool GetDeviceInfo(int id, SoundDeviceInfo* info) override {
    if (id < 0 || id >= CountDevices()) return false;
    *info = devices[static_cast<std::size_t>(id)];
    return true;
  }
  std::vector<SoundDeviceInfo> devices;
};

SoundDeviceInfo Device(const std::string& name, int in, int out, int n, std::vector<double> rates) {
  return SoundDeviceInfo{name, in, out, n, std::move(rates)};
}

class SampleRates : public testing::Test {
protected:
  SampleRates() { settings::SetSoundDeviceCatalog(&catalog); }
  ~SampleRates() override { settings::SetSoundDeviceCatalog(nullptr); }
  FakeCatalog catalog;
  const std::vector<int> standard = {8000, 11025, 16000, 22050, 44100, 48000, 96000};
};

TEST_F(SampleRates, RulesOverTheChosenDevices) {
  catalog.devices = {
      Device("Range", 2, 2, -1, {8000, 48000}),
      Device("In48-96", 2, 0, 2, {48000.0, 96000.7}),
      Device("OutAll", 0, 2, 7, {8000, 11025, 16000, 22050, 44100, 48000, 96000}),
      Device("In96", 2, 0, 1, {96000}),
      Device("Out441", 0, 2, 1, {44100}),
      Device("Empty", 2, 2, 0, {}),
      Device("Dup", 0, 2, 1, {22050}),
      Device("Dup", 2, 2, 1, {32000}),  // the last match wins; 32000 is no standard rate
  };
  struct Case {
    const char* playback;
    const char* record;
    std::vector<int> rates;
    int defaultRate;
  } cases[] = {
      {"", "", standard, 44100},
      {"Range", "Range", {8000, 11025, 16000, 22050, 44100, 48000}, 44100},
      {"OutAll", "In48-96", {48000, 96000}, 48000},
      {"Out441", "In96", standard, 44100},
      {"Empty", "Empty", standard, 44100},
      {"In96", "OutAll", standard, 44100},  // wrong directions match no device
      {"Dup", "Dup", {32000}, 32000},
      {"range", "RANGE", standard, 44100},  // names match exactly
      {"OutAll", "In96", {96000}, 96000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetSupportedSampleRates(c.playback, c.record), c.rates) << c.playback << "/" << c.record;
    EXPECT_EQ(GetDefaultSampleRate(c.playback, c.record), c.defaultRate) << c.playback << "/" << c.record;
  }
}

TEST_F(SampleRates, TheNewRecordTakesTheDefaultRateOfTheApplicationsDevices) {
  catalog.devices = {Device("OutAll", 0, 2, 2, {48000, 96000}), Device("Mic", 1, 0, 2, {96000, 48000})};
  EXPECT_EQ(SoundDeviceOptions().SampleRate, 44100) << "no names: the standard rates";
  SoundDeviceOptions app;
  app.PlaybackDeviceName = "OutAll";
  app.RecordDeviceName = "Mic";
  settings::SetApplicationSoundDeviceOptions(&app);
  EXPECT_EQ(GetSupportedSampleRates(), (std::vector<int>{48000, 96000}));
  SoundDeviceOptions made;
  settings::SetApplicationSoundDeviceOptions(nullptr);
  EXPECT_EQ(made.SampleRate, 48000);
  EXPECT_EQ(made.ChannelCount, 2);
  EXPECT_EQ(made.SampleFormat, 0x20001);
  EXPECT_EQ(made.PlaybackDeviceName, "");
}

TEST(HlsColor, ConversionBothWays) {
  HlsColor grey(MakeRgb(128, 128, 128));
  EXPECT_FLOAT_EQ(grey.GetSaturation(), 0.0f);
  EXPECT_NEAR(grey.GetLuminance(), 0.502f, 0.001f);
  HlsColor red(MakeRgb(255, 0, 0));
  EXPECT_FLOAT_EQ(std::fmod(red.GetHue(), 360.0f), 0.0f);
  EXPECT_FLOAT_EQ(red.GetSaturation(), 1.0f);
  EXPECT_FLOAT_EQ(red.GetLuminance(), 0.5f);
  EXPECT_FLOAT_EQ(HlsColor(MakeRgb(0, 0, 255)).GetHue(), 240.0f);
  // Setting the luminance keeps hue and saturation.
  for (ColorRef c : {MakeRgb(98, 108, 123), MakeRgb(47, 26, 238), MakeRgb(142, 40, 58)}) {
    HlsColor h(c);
    float hue = h.GetHue(), sat = h.GetSaturation(), lum = h.GetLuminance();
    h.SetLuminance(lum);
    ColorRef back = h.GetRGB();
    EXPECT_NEAR(static_cast<int>(RedOf(back)), static_cast<int>(RedOf(c)), 1);
    EXPECT_NEAR(static_cast<int>(GreenOf(back)), static_cast<int>(GreenOf(c)), 1);
    EXPECT_NEAR(static_cast<int>(BlueOf(back)), static_cast<int>(BlueOf(c)), 1);
    HlsColor again(back);
    EXPECT_NEAR(again.GetHue(), hue, 1.5f);
    EXPECT_NEAR(again.GetSaturation(), sat, 0.02f);
  }
}

TEST(ColorSchemeOptions, ShadesFollowTheBarColour) {
  ColorSchemeOptions white;
  white.SetControlBarColor(MakeRgb(255, 255, 255));
  EXPECT_EQ(white.LighterShade, MakeRgb(255, 255, 255));
  EXPECT_EQ(white.LightShade, MakeRgb(255, 255, 255));
  EXPECT_NEAR(HlsColor(white.DarkShade).GetLuminance(), 2.0f / 3.0f, 0.005f);
  EXPECT_NEAR(HlsColor(white.DarkerShade).GetLuminance(), 4.0f / 9.0f, 0.005f);

  ColorSchemeOptions scheme;
  const float l = HlsColor(scheme.ControlBar).GetLuminance();
  const float hue = HlsColor(scheme.ControlBar).GetHue();
  EXPECT_NEAR(HlsColor(scheme.LighterShade).GetLuminance(), std::min(0.5f * l + 0.65f, 1.0f), 0.005f);
  EXPECT_NEAR(HlsColor(scheme.LightShade).GetLuminance(), (l + 1) / 2, 0.005f);
  EXPECT_NEAR(HlsColor(scheme.DarkShade).GetLuminance(), l * 2 / 3, 0.005f);
  EXPECT_NEAR(HlsColor(scheme.DarkerShade).GetLuminance(), l * 4 / 9, 0.005f);
  EXPECT_NEAR(HlsColor(scheme.DarkShade).GetHue(), hue, 2.0f);
}

ColorSchemeOptions* g_applied = nullptr;
void RecordApplied(ColorSchemeOptions& scheme) { g_applied = &scheme; }

TEST(ColorSchemeOptions, PresetsAreSavedAndApplied) {
  SettingsEnvironment env;
  settings::SetColorSchemeAppliedHook(RecordApplied);
  ColorSchemeOptions scheme;
  scheme.ApplyPreset(16);
  settings::SetColorSchemeAppliedHook(nullptr);
  EXPECT_EQ(g_applied, &scheme);
  EXPECT_EQ(scheme.ControlBar, MakeRgb(123, 126, 139));
  EXPECT_EQ(scheme.WaveformBackground, MakeRgb(0, 0, 0));
  EXPECT_EQ(scheme.TimeIndicator, MakeRgb(255, 255, 0));
  ColorSchemeOptions stored;
  stored.Load();
  EXPECT_EQ(stored.ControlBar, MakeRgb(123, 126, 139));
  EXPECT_EQ(stored.SelectionBackground, MakeRgb(93, 93, 93));
  EXPECT_EQ(stored.LightShade, scheme.LightShade);

  scheme.ApplyPreset(17);  // row 0, the defaults
  const ColorSchemeOptions defaults;
  EXPECT_EQ(scheme.ControlBar, defaults.ControlBar);
  EXPECT_EQ(scheme.WaveformForeground, defaults.WaveformForeground);
  EXPECT_EQ(scheme.SelectionForeground, defaults.SelectionForeground);
  EXPECT_EQ(ColorSchemeOptions::Preset(7)[2], MakeRgb(7, 60, 47));
  EXPECT_EQ(ColorSchemeOptions::PresetCommand(4), 32916);
  EXPECT_EQ(ColorSchemeOptions::PresetCommand(5), 0);
  for (int row = 0; row < ColorSchemeOptions::kPresetCount; ++row)
    EXPECT_EQ(ColorSchemeOptions::Preset(row)[5], MakeRgb(255, 255, 0)) << row;
}

}  // namespace
