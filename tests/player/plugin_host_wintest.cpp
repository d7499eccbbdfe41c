#include "player_test_support.h"

#include "player/CodecModule.h"
#include "player/PluginInterface.h"

namespace {

using namespace player_test;

std::vector<std::string> Extensions(CodecModule* module) {
  std::vector<std::string> out;
  for (ExtensionNode* node = module->Extensions; node; node = node->next) out.push_back(node->text);
  std::sort(out.begin(), out.end());
  return out;
}

TEST(PluginHost, RegistersTheExtensionsOfThePluginsBesideTheProgram) {
  // The test plug-in lists "tvlt;TVLU" and "mp3", each followed by a description.
  CodecModule host = {};
  PluginCodec_Init(&host);
  EXPECT_EQ(Extensions(&host), (std::vector<std::string>{"TVLU", "mp3", "tvlt"}));
  DWORD_PTR entry = 0;
  EXPECT_EQ(ExtensionList_Find(&host, "TVLT", &entry), 1);
  EXPECT_NE(entry, 0u);

  // A second scan of the same folder registers nothing twice; a missing folder, or
  // a folder without plug-ins, registers nothing.
  PluginCodec_ScanPlugins(&host, "C:\\no\\such\\folder\\");
  TempFolder empty;
  PluginCodec_ScanPlugins(&host, (empty.Path() + "\\").c_str());
  EXPECT_EQ(Extensions(&host).size(), 3u);
  host.Uninitialise(&host);
}

TEST(PluginHost, IgnoresDllsThatAreNoPlugins) {
  // A file named like a plug-in that is no loadable library is passed over.
  TempFolder folder;
  ASSERT_TRUE(WriteBytes(folder.File("in_broken.dll"), std::vector<uint8_t>(4096, 0x4D)));
  CodecModule host = {};
  PluginCodec_Init(&host);
  size_t before = Extensions(&host).size();
  PluginCodec_ScanPlugins(&host, (folder.Path() + "\\").c_str());
  EXPECT_EQ(Extensions(&host).size(), before);
  host.Uninitialise(&host);
}

class PluginPlaybackTest : public EngineFixture {
protected:
  std::string ToneFile(const std::string& name, const std::string& text) {
    std::string path = folder_.File(name);
    EXPECT_TRUE(WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end())));
    return path;
  }
  TempFolder folder_;
};

TEST_F(PluginPlaybackTest, PlaysAFileThroughThePlugin) {
  ASSERT_TRUE(PlayToEnd(ToneFile("tone.TvLt", "tone 1000 1500")));
  EXPECT_EQ(notes_.States(), (std::vector<WPARAM>{kStatePlaying, kStateNoFile, kStateStopped}));
  const Note* info = notes_.Last(kNotifyFileInfo);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->info.lengthSeconds, 1u);
  EXPECT_EQ(info->info.sampleRate, 44100u);
  EXPECT_EQ(info->info.stereo, 1u);
  EXPECT_EQ(info->info.bits16, 1u);
  std::vector<uint8_t> pcm = TheRecording().Pcm();
  EXPECT_EQ(pcm.size(), 44100u * 3 / 2 * 4);
  std::vector<double> left = Channel(pcm, 2, 0);
  EXPECT_NEAR(ZeroCrossingFrequency(left, 44100), 1000, 1);
  EXPECT_NEAR(Rms(left), 0.5 / std::sqrt(2.0), 0.01);
}

TEST_F(PluginPlaybackTest, ARefusedFileFailsTheOpenAndMp3StaysWithItsOwnCodec) {
  size_t from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, ToneFile("refused.tvlu", "refuse").c_str());
  ASSERT_TRUE(Sync());
  EXPECT_EQ(notes_.States(from), (std::vector<WPARAM>{kStateNoFile}));
  // The plug-in also lists mp3, but the MP3 codec is asked first: a tone text
  // named .mp3 is not MPEG audio, so the open fails instead of playing a tone.
  from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, ToneFile("tone.mp3", "tone 1000 500").c_str());
  ASSERT_TRUE(Sync());
  EXPECT_EQ(notes_.States(from), (std::vector<WPARAM>{kStateNoFile}));
}

TEST_F(PluginPlaybackTest, TheOutputRecordRefusesWhatItCannotTake) {
  std::string path = ToneFile("long.tvlt", "tone 440 5000");
  PlayerEngine_OpenFile(engine_, path.c_str());
  ASSERT_TRUE(Sync());
  // The plug-in is loaded now; its module record holds the host's output record.
  HMODULE dll = GetModuleHandleA("in_tvltest.dll");
  ASSERT_NE(dll, nullptr);
  auto entry = reinterpret_cast<PluginEntryPoint>(GetProcAddress(dll, PLUGIN_ENTRY_POINT_NAME));
  ASSERT_NE(entry, nullptr);
  PluginModuleRecord* record = entry();
  ASSERT_NE(record->output, nullptr);
  EXPECT_EQ(record->mainWindow, PLUGIN_NO_WINDOW);
  PluginOutputRecord* out = record->output;
  EXPECT_EQ(out->version, 16);
  EXPECT_EQ(out->open(44100, 2, 24, -1, -1), -1);
  EXPECT_EQ(out->open(44100, 6, 16, -1, -1), -1);
  // The pipe is full (nothing plays yet): a write longer than the free space is refused.
  ASSERT_TRUE(notes_.WaitUntil([&] { return out->canWrite() < 4096; }, 3000));
  std::vector<char> block(8192, 0);
  EXPECT_EQ(out->write(block.data(), out->canWrite() + 4), 1);

  // Seeking goes through the plug-in: position and data continue from there.
  PlayerEngine_Play(engine_);
  Post(kCmdSeek, 3, 5);
  ASSERT_GE(notes_.WaitForState(kStateStopped, 0, 5000), 0);
  EXPECT_EQ(TheRecording().flushes, 1);
  EXPECT_LT(TheRecording().Bytes(), 44100u * 4 * 3);
  std::vector<WPARAM> positions;
  for (const Note& n : notes_.Notes())
    if (n.message == kNotifyPosition) positions.push_back(n.wParam);
  ASSERT_FALSE(positions.empty());
  EXPECT_NE(std::find(positions.begin(), positions.end(), 4u), positions.end()) << "counted on from the seek";
  EXPECT_EQ(positions.back(), 5u) << "played out, the file's end was heard";
}

}  // namespace
