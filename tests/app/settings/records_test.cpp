// The settings records against the registry: every stored value's name, type and size,
// round trips on two backends, defaults for missing sections and values, the partial
// saves, and the records' summaries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>

#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/ColorSchemeOptions.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/InputSourceSetting.h"
#include "app/settings/SoundDeviceOptions.h"
#include "tests/support/native/SettingsEnvironment.h"

using settings_test::Backend;
using settings_test::SettingsEnvironment;

namespace {

// Value name -> (registry type, byte length; 0 = any length).
using Layout = std::map<std::string, std::pair<std::uint32_t, std::size_t>>;
constexpr std::uint32_t DW = seams::kRegDword, SZ = seams::kRegSz, BIN = seams::kRegBinary;

void ExpectLayout(SettingsEnvironment& env, const std::string& section, const Layout& layout) {
  std::vector<std::string> expected;
  for (const auto& [name, _] : layout) expected.push_back(name);
  EXPECT_EQ(env.ValueNames(section), expected) << section;
  for (const auto& [name, shape] : layout) {
    seams::RegistryValue v;
    ASSERT_TRUE(env.RawValue(section, name, &v)) << name;
    EXPECT_EQ(v.type, shape.first) << name;
    if (shape.second) {
      EXPECT_EQ(v.data.size(), shape.second) << name;
    }
  }
}

// Every field, for comparisons.
auto Fields(const AdvanceRecordSetting& r) {
  return std::make_tuple(r.TimeLimitTo, r.TimeLimitType, r.ActiveRecordingMode, r.EnableSilenceDetection,
                         r.SilenceDetectionAlgorihms, r.SilenceDetectionLogic, r.ZCRFactorLeft,
                         r.ZCRFactorRight, r.SEFactorLeft, r.SEFactorRight, r.ZCRDelaySeconds,
                         r.SEDelaySeconds, r.ActionsOfEditingMode, r.ActionsOfSavingMode, r.EnableAutoSplit,
                         r.AutoSplitTimeSeconds);
}
auto Fields(const FileEncodeOptions& r) {
  return std::make_tuple(r.WavFileFormat, r.WavSampleRate, r.WavSampleFormat, r.WavChannelMode, r.MP3Version,
                         r.MP3SampleRate, r.MP3EncodeMode, r.MP3ChannelMode, r.MP3BitRate, r.MP3VBRMaxBitRate,
                         r.MP3ABRBitRate, r.MP3VBRQuality, r.MP3QualityPresets, r.OGGSampleRate,
                         r.OGGSampleFormat, r.OGGEncodeMode, r.OGGChannelMode, r.OGGBitRate, r.OGGVBRQuality);
}
auto Fields(const FileOutputOptions& r) {
  return std::make_tuple(r.bAutoName, r.bReplaceExistingFile, r.bResetCountOnStartup, r.bSaveFile,
                         r.bWrapCounter, r.eFileType, r.strAutoNameFolder, r.strFileLeadName,
                         r.uFileNameDigitCount, r.uStartNO, r.strTempFolder, r.bTempSpaceAlarm,
                         r.TempSpaceThreshold);
}
auto Fields(const ColorSchemeOptions& r) {
  return std::make_tuple(r.ControlBar, r.LightShade, r.LighterShade, r.DarkShade, r.DarkerShade,
                         r.WaveformForeground, r.WaveformBackground, r.SelectionForeground,
                         r.SelectionBackground, r.TimeIndicator);
}
auto Fields(const SoundDeviceOptions& r) {
  return std::make_tuple(r.PlaybackDeviceName, r.RecordDeviceName, r.ChannelCount, r.SampleFormat,
                         r.SampleRate);
}

AdvanceRecordSetting ChangedRecording() {
  AdvanceRecordSetting r;
  r.TimeLimitTo = 12.125;
  r.TimeLimitType = 1;
  r.ActiveRecordingMode = 1;
  r.EnableSilenceDetection = 1;
  r.SilenceDetectionAlgorihms = 3;
  r.SilenceDetectionLogic = 1;
  r.ZCRFactorLeft = 0.011;
  r.ZCRFactorRight = 0.012;
  r.SEFactorLeft = 0.021;
  r.SEFactorRight = 0.022;
  r.ZCRDelaySeconds = 1.5;
  r.SEDelaySeconds = 2.25;
  r.ActionsOfEditingMode = 2;
  r.ActionsOfSavingMode = 3;
  r.EnableAutoSplit = 1;
  r.AutoSplitTimeSeconds = 90.5;
  return r;
}

FileEncodeOptions ChangedEncoding() {
  FileEncodeOptions r;
  r.WavFileFormat = 0x20000;
  r.WavSampleRate = 22050;
  r.WavSampleFormat = 0x4000F;
  r.WavChannelMode = 0;
  r.MP3Version = 1;
  r.MP3SampleRate = 22050;
  r.MP3EncodeMode = 2;
  r.MP3ChannelMode = 2;
  r.MP3BitRate = 64;
  r.MP3VBRMaxBitRate = 144;
  r.MP3ABRBitRate = 96000;
  r.MP3QualityPresets = -1;
  r.OGGSampleRate = 48000;
  r.OGGSampleFormat = 0x4000F;
  r.OGGEncodeMode = 0;
  r.OGGChannelMode = 0;
  r.OGGBitRate = 498000;
  r.OGGVBRQuality = 10;
  return r;
}

FileOutputOptions ChangedOutput(const std::string& root) {
  FileOutputOptions r;
  r.bAutoName = 0;
  r.bReplaceExistingFile = 1;
  r.bResetCountOnStartup = 1;
  r.bSaveFile = 0;
  r.bWrapCounter = 0;
  r.eFileType = 2;
  r.strAutoNameFolder = root + "/elsewhere/";
  r.strFileLeadName = "Take";
  r.uFileNameDigitCount = 3;
  r.uStartNO = 4242;
  r.strTempFolder = root + "/scratch/";
  r.bTempSpaceAlarm = 0;
  r.TempSpaceThreshold = 6000000000ull;  // above 32 bits
  return r;
}

class RecordsTest : public testing::TestWithParam<Backend> {
protected:
  RecordsTest() : env(GetParam()) {}
  SettingsEnvironment env;
};

TEST_P(RecordsTest, EveryRecordWritesItsValuesAndReadsThemBackIdentically) {
  AdvanceRecordSetting recording = ChangedRecording();
  ASSERT_EQ(recording.Save(), 1);
  ExpectLayout(env, "AdvanceRecordSetting",
               {{"TimeLimitTo", {BIN, 8}},
                {"TimeLimitType", {DW, 4}},
                {"ActiveRecordingMode", {DW, 4}},
                {"EnableSilenceDetection", {DW, 4}},
                {"SilenceDetectionAlgorihms", {DW, 4}},
                {"SilenceDetectionLogic", {DW, 4}},
                {"ZCRFactorLeft", {BIN, 8}},
                {"ZCRFactorRight", {BIN, 8}},
                {"SEFactorLeft", {BIN, 8}},
                {"SEFactorRight", {BIN, 8}},
                {"ZCRDelaySeconds", {BIN, 8}},
                {"SEDelaySeconds", {BIN, 8}},
                {"ActionsOfEditingMode", {DW, 4}},
                {"ActionsOfSavingMode", {DW, 4}},
                {"EnableAutoSplit", {DW, 4}},
                {"AutoSplitTimeSeconds", {BIN, 8}}});
  AdvanceRecordSetting recordingBack;
  ASSERT_EQ(recordingBack.Load(), 1);
  EXPECT_EQ(Fields(recordingBack), Fields(recording));

  FileEncodeOptions encoding = ChangedEncoding();
  encoding.MP3VBRQuality = 9;  // not stored: a new start is back at 4
  ASSERT_EQ(encoding.Save(), 1);
  Layout encodeLayout;
  for (const char* name :
       {"WavFileFormat", "WavSampleRate", "WavSampleFormat", "WavChannelMode", "MP3Version", "MP3SampleRate",
        "MP3EncodeMode", "MP3ChannelMode", "MP3BitRate", "MP3VBRMaxBitRate", "MP3ABRBitRate",
        "MP3QualityPresets", "OGGSampleRate", "OGGSampleFormat", "OGGEncodeMode", "OGGChannelMode",
        "OGGBitRate", "OGGVBRQuality"})
    encodeLayout[name] = {DW, 4};
  ExpectLayout(env, "FileEncodeOptions", encodeLayout);
  FileEncodeOptions encodingBack;
  ASSERT_EQ(encodingBack.Load(), 1);
  encoding.MP3VBRQuality = 4;
  EXPECT_EQ(Fields(encodingBack), Fields(encoding));

  FileOutputOptions output = ChangedOutput(env.root());
  ASSERT_EQ(output.Save(), 1);
  const std::size_t folderBytes = output.strAutoNameFolder.size() + 1;
  ExpectLayout(env, "FileOutputOptions",
               {{"bAutoName", {DW, 4}},
                {"bReplaceExistingFile", {DW, 4}},
                {"bResetCountOnStartup", {DW, 4}},
                {"bSaveFile", {DW, 4}},
                {"bWrapCounter", {DW, 4}},
                {"eFileType", {DW, 4}},
                {"strAutoNameFolder", {SZ, folderBytes}},
                {"strFileLeadName", {SZ, 5}},
                {"uFileNameDigitCount", {DW, 4}},
                {"uStartNO", {DW, 4}},
                {"strTempFolder", {SZ, 0}},
                {"bTempSpaceAlarm", {DW, 4}},
                {"TempSpaceThreshold", {BIN, 8}}});
  FileOutputOptions outputBack;
  ASSERT_EQ(outputBack.Load(), 1);
  EXPECT_EQ(Fields(outputBack), Fields(output));

  ColorSchemeOptions colors;
  colors.SetControlBarColor(MakeRgb(10, 20, 30));
  colors.WaveformForeground = MakeRgb(1, 2, 3);
  colors.WaveformBackground = MakeRgb(4, 5, 6);
  colors.SelectionForeground = MakeRgb(7, 8, 9);
  colors.SelectionBackground = MakeRgb(10, 11, 12);
  colors.TimeIndicator = MakeRgb(13, 14, 15);
  ASSERT_EQ(colors.Save(), 1);
  ExpectLayout(env, "ColorSchemeOptions",
               {{"ControlBar", {DW, 4}},
                {"WaveformForeground", {DW, 4}},
                {"WaveformBackground", {DW, 4}},
                {"SelectionForeground", {DW, 4}},
                {"SelectionBackground", {DW, 4}},
                {"TimeIndicator", {DW, 4}}});
  seams::RegistryValue bar;
  ASSERT_TRUE(env.RawValue("ColorSchemeOptions", "ControlBar", &bar));
  EXPECT_EQ(bar.data, (std::vector<std::uint8_t>{10, 20, 30, 0})) << "0x00BBGGRR";
  ColorSchemeOptions colorsBack;
  ASSERT_EQ(colorsBack.Load(), 1);
  EXPECT_EQ(Fields(colorsBack), Fields(colors)) << "shades derived again from the stored bar colour";

  SoundDeviceOptions devices;
  devices.PlaybackDeviceName = "Speakers (Test)";
  devices.RecordDeviceName = "Microphone";
  devices.ChannelCount = 1;
  devices.SampleFormat = 0x4000F;
  devices.SampleRate = 96000;
  ASSERT_EQ(devices.Save(), 1);
  ExpectLayout(env, "SoundDeviceOptions",
               {{"PlaybackDeviceName", {SZ, 16}},
                {"RecordDeviceName", {SZ, 11}},
                {"ChannelCount", {DW, 4}},
                {"SampleFormat", {DW, 4}},
                {"SampleRate", {DW, 4}}});
  SoundDeviceOptions devicesBack;
  ASSERT_EQ(devicesBack.Load(), 1);
  EXPECT_EQ(Fields(devicesBack), Fields(devices));
}

TEST_P(RecordsTest, AMissingSectionKeepsWhatTheRecordHoldsAndCreatesNothing) {
  AdvanceRecordSetting recording = ChangedRecording();
  FileEncodeOptions encoding = ChangedEncoding();
  FileOutputOptions output = ChangedOutput(env.root());
  ColorSchemeOptions colors;
  colors.ApplyPreset(3);
  env.backend().DeleteKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\ColorSchemeOptions");
  SoundDeviceOptions devices;
  devices.RecordDeviceName = "kept";

  const auto r0 = Fields(recording);
  const auto e0 = Fields(encoding);
  const auto o0 = Fields(output);
  const auto c0 = Fields(colors);
  const auto d0 = Fields(devices);
  recording.Load();
  encoding.Load();
  output.Load();
  colors.Load();
  devices.Load();
  EXPECT_EQ(Fields(recording), r0);
  EXPECT_EQ(Fields(encoding), e0);
  EXPECT_EQ(Fields(output), o0);
  EXPECT_EQ(Fields(colors), c0);
  EXPECT_EQ(Fields(devices), d0);
  for (const char* section : {"AdvanceRecordSetting", "FileEncodeOptions", "FileOutputOptions",
                              "ColorSchemeOptions", "SoundDeviceOptions"})
    EXPECT_FALSE(env.backend().OpenKey(seams::RegistryRoot::CurrentUser,
                                       std::string("Software\\Tarvel\\") + section, false))
        << section;
}

TEST_P(RecordsTest, MissingValuesTakeTheDefaultsAndDoublesKeepTheirValue) {
  auto key =
      env.backend().CreateKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\AdvanceRecordSetting");
  key->WriteValue("TimeLimitType", seams::MakeDwordValue(1));
  const std::uint8_t shortDouble[4] = {0, 0, 0, 0};
  key->WriteValue("SEDelaySeconds", seams::MakeBinaryValue(shortDouble, 4));  // damaged
  AdvanceRecordSetting recording = ChangedRecording();
  recording.Load();
  EXPECT_EQ(recording.TimeLimitType, 1);
  EXPECT_EQ(recording.ActiveRecordingMode, 0) << "integers read with the record defaults";
  EXPECT_EQ(recording.SilenceDetectionAlgorihms, 2u);
  EXPECT_EQ(recording.ActionsOfSavingMode, 1);
  EXPECT_EQ(recording.ZCRFactorLeft, 0.011) << "a double whose read fails keeps its value";
  EXPECT_EQ(recording.SEDelaySeconds, 2.25);

  auto outKey =
      env.backend().CreateKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\FileOutputOptions");
  outKey->WriteValue("strFileLeadName", seams::MakeStringValue("Mine"));
  FileOutputOptions output = ChangedOutput(env.root());
  output.Load();
  EXPECT_EQ(output.strFileLeadName, "Mine");
  EXPECT_EQ(output.strAutoNameFolder, env.OutputFolder());
  EXPECT_EQ(output.strTempFolder, env.root() + "/temp/");
  EXPECT_EQ(output.uFileNameDigitCount, 5u);
  EXPECT_EQ(output.TempSpaceThreshold, 6000000000ull) << "kept, like a double";

  auto devKey =
      env.backend().CreateKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\SoundDeviceOptions");
  devKey->WriteValue("SampleRate", seams::MakeDwordValue(8000));
  SoundDeviceOptions devices;
  devices.RecordDeviceName = "gone";
  devices.ChannelCount = 1;
  devices.Load();
  EXPECT_EQ(devices.SampleRate, 8000);
  EXPECT_EQ(devices.RecordDeviceName, "");
  EXPECT_EQ(devices.ChannelCount, 2);
}

// Values a damaged registry may hold: silence factors come back within the page's
// 0 to 0.2 (NaN as the default), encoder rates the options cannot offer as the
// default; sound values stay as stored.
TEST_P(RecordsTest, DamagedFactorsAreClampedAndImpossibleRatesRefused) {
  struct FactorCase {
    double stored, loaded;
  };
  const FactorCase factors[] = {{std::nan(""), 0.005},
                                {std::numeric_limits<double>::infinity(), 0.2},
                                {-std::numeric_limits<double>::infinity(), 0.0},
                                {1e272, 0.2},
                                {-5.0, 0.0},
                                {0.05, 0.05}};
  auto rec =
      env.backend().CreateKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\AdvanceRecordSetting");
  for (const FactorCase& c : factors) {
    for (const char* name : {"ZCRFactorLeft", "ZCRFactorRight", "SEFactorLeft", "SEFactorRight"})
      rec->WriteValue(name, seams::MakeBinaryValue(&c.stored, sizeof c.stored));
    AdvanceRecordSetting r;
    r.Load();
    const double se = std::isnan(c.stored) ? 0.016 : c.loaded;
    EXPECT_EQ(r.ZCRFactorLeft, c.loaded) << c.stored;
    EXPECT_EQ(r.ZCRFactorRight, c.loaded) << c.stored;
    EXPECT_EQ(r.SEFactorLeft, se) << c.stored;
    EXPECT_EQ(r.SEFactorRight, se) << c.stored;
  }

  struct RateCase {
    std::uint32_t wav, ogg, mp3Version, mp3;
    int wavLoaded, oggLoaded, mp3VersionLoaded, mp3Loaded;
  };
  const RateCase rates[] = {{600000, 3000, 0, 600000, 44100, 44100, 0, 44100},
                            {0, 0, 0, 0, 44100, 44100, 0, 44100},
                            {0xFFFFFFFFu, 0x80000000u, 7, 44100, 44100, 44100, 0, 44100},
                            {22050, 48000, 0, 22050, 22050, 48000, 0, 44100},  // an MPEG II rate
                            {22050, 48000, 1, 22050, 22050, 48000, 1, 22050},
                            {8000, 8000, 2, 8000, 8000, 8000, 2, 8000}};
  auto enc = env.backend().CreateKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\FileEncodeOptions");
  for (const RateCase& c : rates) {
    enc->WriteValue("WavSampleRate", seams::MakeDwordValue(c.wav));
    enc->WriteValue("OGGSampleRate", seams::MakeDwordValue(c.ogg));
    enc->WriteValue("MP3Version", seams::MakeDwordValue(c.mp3Version));
    enc->WriteValue("MP3SampleRate", seams::MakeDwordValue(c.mp3));
    FileEncodeOptions r = ChangedEncoding();
    r.Load();
    EXPECT_EQ(r.WavSampleRate, c.wavLoaded) << c.wav;
    EXPECT_EQ(r.OGGSampleRate, c.oggLoaded) << c.ogg;
    EXPECT_EQ(r.MP3Version, c.mp3VersionLoaded) << c.mp3Version << " " << c.mp3;
    EXPECT_EQ(r.MP3SampleRate, c.mp3Loaded) << c.mp3Version << " " << c.mp3;
  }
}

TEST_P(RecordsTest, PartialSavesWriteOnlyTheirValues) {
  AdvanceRecordSetting recording = ChangedRecording();
  recording.SaveRecordingMode();
  recording.SaveSilenceDetection();
  EXPECT_EQ(env.ValueNames("AdvanceRecordSetting"),
            (std::vector<std::string>{"ActiveRecordingMode", "EnableSilenceDetection"}));

  FileOutputOptions output = ChangedOutput(env.root());
  output.SaveStartNumber();
  output.SaveAutoSave();
  output.SaveFileType();
  EXPECT_EQ(env.ValueNames("FileOutputOptions"),
            (std::vector<std::string>{"bAutoName", "bSaveFile", "eFileType", "uStartNO"}));
  FileOutputOptions back;
  back.Load();
  EXPECT_EQ(back.uStartNO, 4242u);
  EXPECT_EQ(back.eFileType, 2);
  EXPECT_EQ(back.bSaveFile, 0);
  EXPECT_EQ(back.strFileLeadName, "TVLRec");
}

INSTANTIATE_TEST_SUITE_P(Backends, RecordsTest, testing::Values(Backend::Memory, Backend::Strict),
                         settings_test::BackendName);

// ---------------------------------------------------------------------------------

TEST(AdvanceRecordSetting, SplitsFilesOnlyInTheDirectlySavingMode) {
  struct Case {
    int mode, autoSplit, silence, savingAction;
    bool splits;
  } cases[] = {
      {0, 1, 1, 3, false}, {1, 1, 0, 1, true},  {1, 0, 1, 3, true},
      {1, 0, 1, 2, false}, {1, 0, 0, 3, false}, {2, 1, 1, 3, false},
  };
  for (const Case& c : cases) {
    AdvanceRecordSetting r;
    r.ActiveRecordingMode = c.mode;
    r.EnableAutoSplit = c.autoSplit;
    r.EnableSilenceDetection = c.silence;
    r.ActionsOfSavingMode = c.savingAction;
    EXPECT_EQ(r.SplitsFiles(), c.splits) << c.mode << c.autoSplit << c.silence << c.savingAction;
  }
}

TEST(AdvanceRecordSetting, Summaries) {
  AdvanceRecordSetting r;
  std::vector<std::string> lines;
  r.GetSummary(&lines);
  EXPECT_EQ(lines,
            (std::vector<std::string>{"    Active recording mode: Editing sound mode", "    No time limit",
                                      "    Voice activate and silence detect: Disable",
                                      "    Silence detection algorithms: Singal energy",
                                      "    Action when silence is detected: Pause"}));

  r = ChangedRecording();
  r.SilenceDetectionLogic = 0;
  lines.clear();
  r.GetSummary(&lines);
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "    Active recording mode: Directly saving sound mode", "    Time limit to: 12.125",
                "    Voice activate and silence detect: Enable",
                "    Silence detection algorithms: Zero crossing rates OR Singal energy",
                "    Action when silence is detected: New File", "    Auto split: Enable     Time: 90.500"}));

  r.ActiveRecordingMode = 7;
  r.TimeLimitType = 5;
  r.SilenceDetectionAlgorihms = 1;
  r.ActionsOfSavingMode = 9;
  lines.clear();
  r.GetSummary(&lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"    Voice activate and silence detect: Enable",
                                             "    Silence detection algorithms: Zero crossing rates",
                                             "    Action when silence is detected: None"}));
}

TEST(FileEncodeOptions, TablesByVersion) {
  auto rates = GetMP3SampleRateTable(5);
  ASSERT_EQ(rates.size(), 3u);
  EXPECT_EQ(rates[0].value, 32000);
  EXPECT_EQ(GetMP3SampleRateTable(2)[2].value, 12000);
  auto bitsI = GetMP3BitRateTable(5);
  ASSERT_EQ(bitsI.size(), 14u);
  EXPECT_EQ(bitsI[13].value, 320);
  auto bitsII = GetMP3BitRateTable(1), bitsII5 = GetMP3BitRateTable(2);
  ASSERT_EQ(bitsII.size(), 14u);
  EXPECT_TRUE(std::equal(bitsII.begin(), bitsII.end(), bitsII5.begin(),
                         [](auto& a, auto& b) { return a.value == b.value; }));
  EXPECT_STREQ(bitsII[0].name, "8 kbps");
  std::int32_t lo, hi;
  GetMP3ABRRange(5, &lo, &hi);
  EXPECT_EQ(lo, 32000);
  EXPECT_EQ(hi, 320000);
  GetMP3ABRRange(2, &lo, &hi);
  EXPECT_EQ(lo, 8000);
  EXPECT_EQ(hi, 160000);
  EXPECT_EQ(settings::GetWavSampleRateCount(), 6);
  EXPECT_EQ(settings::GetMPEGVersionCount(), 3);
  EXPECT_EQ(settings::GetOGGSampleRateCount(), 9);
  EXPECT_EQ(settings::GetOGGBitRateCount(), 19);
  EXPECT_STREQ(settings::FindWavContainer(0x80000)->extension, "voc");
  EXPECT_EQ(settings::FindWavContainer(0x10002), nullptr);
  EXPECT_STREQ(settings::NameOf(settings::MP3QualityPresets(), 10000), "LQP_STUDIO");
  EXPECT_STREQ(settings::NameOf(settings::OGGVBRQualities(), 10), "1.0(best)");
}

TEST(FileEncodeOptions, Summaries) {
  FileEncodeOptions r;
  const std::string pad = "            ";
  std::vector<std::string> lines;
  r.GetSummary(&lines, "wav");
  r.GetSummary(&lines, "Mp3");
  r.GetSummary(&lines, "ogg");
  r.GetSummary(&lines, "aif");
  EXPECT_EQ(lines, (std::vector<std::string>{
                       pad + "Sample rate: 44100 Hz    Sample format: 16 Bits    Channel: Stereo",
                       pad + "MP3 Version: MPEG I",
                       pad + "Sample rate: 44100 Hz    Channel: Stereo    Encode mode: CBR",
                       pad + "Bit rate: 128 kbps", pad + "Sample rate: 44100 Hz    Channel: Stereo",
                       pad + "Encode mode: VBR    VBR quality: 0.7"}));

  r = ChangedEncoding();
  r.WavSampleFormat = 0x12345;
  lines.clear();
  r.GetSummary(&lines, "WAV");
  r.GetSummary(&lines, "MP3");
  r.GetSummary(&lines, "OGG");
  r.MP3EncodeMode = 1;
  r.GetSummary(&lines, "MP3");
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                pad + "Sample rate: 22050 Hz    Sample format: 16 Bits    Channel: Mono",
                pad + "MP3 Version: MPEG II",
                pad + "Sample rate: 22050 Hz    Channel: Joint Stereo    Encode mode: VBR",
                pad + "Min bitrate: 64 kbps    Max bitrate: 144 kbps", pad + "VBR quality: 4",
                pad + "Sample rate: 48000 Hz    Channel: Mono",
                pad + "Encode mode: ABR    Sample bitrate: 498 kbps", pad + "MP3 Version: MPEG II",
                pad + "Sample rate: 22050 Hz    Channel: Joint Stereo    Encode mode: ABR",
                pad + "Min bitrate: 64 kbps    Max bitrate: 144 kbps", pad + "ABR bitrate: 96000 bps"}));
}

TEST(SoundDeviceOptions, FormatNamesAndDescription) {
  SoundDeviceOptions r;
  r.RecordDeviceName = "Mic";
  std::string name = "unchanged";
  r.SampleFormat = 0x12;
  EXPECT_FALSE(r.GetFormatName(&name));
  EXPECT_EQ(name, "unchanged");
  for (auto [code, text] : {std::pair{0x20001, "16-bit"}, {0x40001, "24-bit"}, {0x4000F, "32-bit float"}}) {
    r.SampleFormat = code;
    EXPECT_TRUE(r.GetFormatName(&name));
    EXPECT_EQ(name, text);
  }
  r.ChannelCount = 1;
  std::vector<std::string> lines;
  r.Describe(&lines);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "    Recording device: Mic",
                       "    Channel: Mono     Sample rate: 44100 Hz     Sampe format: 32-bit float"}));
}

class FixedMixer : public settings::MixerReader {
public:
  void GetMixer(std::int32_t* source, float* in, float* out) override {
    *source = 2;
    *in = 0.75f;
    *out = 0.5f;
  }
};

TEST(InputSourceSetting, DefaultsFromTheMixerAndSummary) {
  InputSourceSetting plain;
  EXPECT_EQ(plain.InputSource, 0);
  EXPECT_FLOAT_EQ(plain.InputVolume, 0.3f);
  EXPECT_FLOAT_EQ(plain.OutputVolume, 0.3f);

  FixedMixer mixer;
  settings::SetMixerReader(&mixer);
  InputSourceSetting fromMixer;
  settings::SetMixerReader(nullptr);
  EXPECT_EQ(fromMixer.InputSource, 2);
  EXPECT_FLOAT_EQ(fromMixer.InputVolume, 0.75f);
  EXPECT_FLOAT_EQ(fromMixer.OutputVolume, 0.5f);

  std::vector<std::string> lines;
  fromMixer.GetSummary(&lines, {});
  fromMixer.GetSummary(&lines, {"Microphone", "Line In", "Stereo Mix"});
  EXPECT_EQ(lines, (std::vector<std::string>{"    Input source: None    volume: None",
                                             "    Input source: Stereo Mix    volume: 0.75"}));
}

}  // namespace
