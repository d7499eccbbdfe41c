#include "player_test_support.h"

#include "player/CodecModule.h"

namespace {

using namespace player_test;

// A codec module built and torn down around each use.
class Codec {
public:
  explicit Codec(void (*init)(CodecModule*)) { init(&m_); }
  ~Codec() { m_.Uninitialise(&m_); }
  CodecModule* operator->() { return &m_; }
  CodecModule* get() { return &m_; }
  bool Open(const std::string& path) { return m_.OpenFile(&m_, path.c_str(), 0, nullptr) == 1; }
  PlayFileInfo Info() {
    PlayFileInfo info = {};
    m_.GetFileInfo(&m_, &info);
    return info;
  }
  // Everything up to the end of the data, in blocks of the given size.
  std::vector<uint8_t> ReadAll(DWORD block = 10000) {
    std::vector<uint8_t> out;
    std::vector<uint8_t> buffer(block);
    for (int guard = 0; guard < 100000; ++guard) {
      DWORD n = block;
      int more = m_.GetPcmBlock(&m_, buffer.data(), &n);
      out.insert(out.end(), buffer.begin(), buffer.begin() + n);
      if (!more) break;
    }
    return out;
  }

private:
  CodecModule m_ = {};
};

TEST(WavCodec, AcceptsPcmFilesAndRefusesEverythingElse) {
  TempFolder folder;
  const std::vector<uint8_t> stereo16 = AsBytes(Sine(440, 44100, 2, 1.25));
  std::vector<uint8_t> mono8(22050);
  for (size_t i = 0; i < mono8.size(); ++i) mono8[i] = static_cast<uint8_t>(128 + 100 * std::sin(i * 0.1));
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    bool opens;
    PlayFileInfo info;          // when it opens
    std::vector<uint8_t> data;  // what it hands out
  } cases[] = {
      {"plain", MakeWav(stereo16, 44100, 2, 16), true, {1, 0, 44100, 1, 1}, stereo16},
      {"id3 tag in front",
       MakeWav(stereo16, 44100, 2, 16, {.id3 = true}),
       true,
       {1, 0, 44100, 1, 1},
       stereo16},
      {"8-bit mono", MakeWav(mono8, 11025, 1, 8), true, {2, 0, 11025, 0, 0}, mono8},
      {"chunk after the data",
       MakeWav(stereo16, 44100, 2, 16, {.trailingChunk = true}),
       true,
       {1, 0, 44100, 1, 1},
       stereo16},
      {"data size 0 (cut short)",
       MakeWav(stereo16, 44100, 2, 16, {.zeroDataSize = true}),
       true,
       {1, 0, 44100, 1, 1},
       stereo16},
      {"odd-sized chunks with pad bytes",
       MakeWav(stereo16, 44100, 2, 16, {.oddChunks = true}),
       true,
       {1, 0, 44100, 1, 1},
       stereo16},
      {"odd-sized fmt with its pad byte",
       MakeWav(stereo16, 44100, 2, 16, {.fmtSize = 19, .oddChunks = true}),
       true,
       {1, 0, 44100, 1, 1},
       stereo16},
      {"float samples", MakeWav(stereo16, 44100, 2, 16, {.formatTag = 3}), false, {}, {}},
      {"fmt shorter than 16", MakeWav(stereo16, 44100, 2, 16, {.fmtSize = 14}), false, {}, {}},
      {"24-bit", MakeWav(stereo16, 44100, 2, 24), false, {}, {}},
      {"six channels", MakeWav(stereo16, 44100, 6, 16), false, {}, {}},
      {"not RIFF", std::vector<uint8_t>(200, 'x'), false, {}, {}},
      {"empty", {}, false, {}, {}},
  };
  // A header cut inside the fmt chunk, and one without a data chunk.
  std::vector<uint8_t> cut = MakeWav(stereo16, 44100, 2, 16);
  cut.resize(40);
  std::vector<uint8_t> noData = MakeWav({}, 44100, 2, 16);
  noData.resize(noData.size() - 8);

  Codec codec(WavCodec_Init);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = folder.File("x.wav");
    ASSERT_TRUE(WriteBytes(path, c.file));
    ASSERT_EQ(codec.Open(path), c.opens);
    if (!c.opens) continue;
    PlayFileInfo info = codec.Info();
    EXPECT_EQ(info.lengthSeconds, c.info.lengthSeconds);
    EXPECT_EQ(info.kbps, 0u);
    EXPECT_EQ(info.sampleRate, c.info.sampleRate);
    EXPECT_EQ(info.stereo, c.info.stereo);
    EXPECT_EQ(info.bits16, c.info.bits16);
    EXPECT_EQ(codec.ReadAll(), c.data);
    codec->CloseFile(codec.get());
  }
  codec->CloseFile(codec.get());
  for (const auto& bytes : {cut, noData}) {
    std::string path = folder.File("broken.wav");
    ASSERT_TRUE(WriteBytes(path, bytes));
    EXPECT_FALSE(codec.Open(path));
  }
  EXPECT_FALSE(codec.Open(folder.File("missing.wav")));
}

TEST(WavCodec, SeekAndPositionCountWholeSeconds) {
  TempFolder folder;
  std::vector<int16_t> ramp(44100 * 2 * 3);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i / 2 / 8);
  std::string path = folder.File("ramp.wav");
  ASSERT_TRUE(WriteBytes(path, MakeWav(AsBytes(ramp), 44100, 2, 16)));
  Codec codec(WavCodec_Init);
  ASSERT_TRUE(codec.Open(path));
  EXPECT_EQ(codec->GetPosition(codec.get()), 0u);
  codec->Seek(codec.get(), 1, 3);  // a third: offset rounded down to a whole frame
  EXPECT_EQ(codec->GetPosition(codec.get()), 1u);
  std::vector<uint8_t> rest = codec.ReadAll(65536);
  ASSERT_EQ(rest.size(), ramp.size() * 2 - (ramp.size() * 2 / 3 & ~3u));
  int16_t first;
  std::memcpy(&first, rest.data(), 2);
  EXPECT_EQ(first, ramp[(ramp.size() * 2 / 3 & ~3u) / 2]);
  EXPECT_EQ(codec->GetPosition(codec.get()), 2u) << "read to the end of the third second";
  // A low-rate file read in one large block still counts every second.
  std::string slow = folder.File("slow.wav");
  ASSERT_TRUE(WriteBytes(slow, MakeWav(std::vector<uint8_t>(8000 * 5, 128), 8000, 1, 8)));
  ASSERT_TRUE(codec.Open(slow));
  DWORD n = 8000 * 4 + 100;
  std::vector<uint8_t> block(n);
  codec->GetPcmBlock(codec.get(), block.data(), &n);
  EXPECT_EQ(codec->GetPosition(codec.get()), 4u);
}

TEST(Mp3Codec, DecodesAndReportsTheStream) {
  TempFolder folder;
  const std::vector<int16_t> tone = Sine(440, 44100, 2, 3.0);
  const std::vector<uint8_t> mp3 = EncodeMp3(tone, 44100, 2, 128);
  std::vector<uint8_t> tagged = {'I', 'D', '3', 3, 0, 0, 0, 0, 2, 0};  // 256 bytes of tag
  tagged.insert(tagged.end(), 256, 0xFF);  // sync-looking bytes: must be skipped, not decoded
  tagged.insert(tagged.end(), mp3.begin(), mp3.end());
  Codec codec(Mp3Codec_Init);
  int index = 0;
  for (const auto& bytes : {mp3, tagged}) {
    SCOPED_TRACE(bytes.size());
    std::string path = folder.File("tone" + std::to_string(index++) + ".mp3");
    ASSERT_TRUE(WriteBytes(path, bytes));
    ASSERT_TRUE(codec.Open(path));
    PlayFileInfo info = codec.Info();
    EXPECT_EQ(info.kbps, 128u);
    EXPECT_EQ(info.sampleRate, 44100u);
    EXPECT_EQ(info.stereo, 1u);
    EXPECT_EQ(info.bits16, 1u);
    EXPECT_NEAR(info.lengthSeconds, 3, 1);
    std::vector<uint8_t> pcm = codec.ReadAll(4100);  // not a multiple of a frame's output
    // The encoder adds about one frame of delay and padding; nothing is lost at the end.
    EXPECT_NEAR(pcm.size() / 4.0 / 44100, 3.0, 0.06);
    std::vector<double> left = Channel(pcm, 2, 0, 4096);
    EXPECT_NEAR(ZeroCrossingFrequency(left, 44100), 440, 2);
    EXPECT_NEAR(Rms(left), 0.5 / std::sqrt(2.0), 0.02);
    EXPECT_EQ(codec->GetPosition(codec.get()), 3u);
    EXPECT_EQ(codec.Info().lengthSeconds, 3u) << "the length follows the decoded frames";
  }
  // Seeking to a half goes to half the file's bytes (no Xing table): about 1.5 s.
  codec->Seek(codec.get(), 1, 2);
  EXPECT_EQ(codec->GetPosition(codec.get()), 1u);
  std::vector<uint8_t> rest = codec.ReadAll();
  EXPECT_NEAR(rest.size() / 4.0 / 44100, 1.5, 0.15);
}

TEST(Mp3Codec, RefusesWhatIsNotMpegAudio) {
  TempFolder folder;
  std::vector<uint8_t> truncated = EncodeMp3(Sine(440, 44100, 2, 1.0), 44100, 2);
  truncated.resize(300);  // not even two frames
  std::vector<uint8_t> noise(30000);
  uint32_t r = 7;
  for (auto& b : noise) {
    r = r * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(r >> 24) & 0x7F;  // never a frame sync
  }
  Codec codec(Mp3Codec_Init);
  int index = 0;
  for (const auto& bytes : {std::vector<uint8_t>(), std::vector<uint8_t>(50000, 0), noise, truncated}) {
    std::string path = folder.File("bad" + std::to_string(index++) + ".mp3");
    ASSERT_TRUE(WriteBytes(path, bytes));
    EXPECT_FALSE(codec.Open(path)) << bytes.size() << " bytes";
  }
  EXPECT_FALSE(codec.Open(folder.File("missing.mp3")));
  std::vector<uint8_t> none(10);
  DWORD n = 10;
  EXPECT_EQ(codec->GetPcmBlock(codec.get(), none.data(), &n), 0) << "nothing open";
  EXPECT_EQ(n, 0u);
}

TEST(OggCodec, DecodesOneStreamOfOneOrTwoChannels) {
  TempFolder folder;
  Codec codec(OggCodec_Init);
  struct Case {
    int channels;
    int rate;
  } cases[] = {{2, 44100}, {1, 22050}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channels);
    std::string path = folder.File("tone" + std::to_string(c.channels) + ".ogg");
    ASSERT_TRUE(WriteBytes(path, EncodeOgg(Sine(660, c.rate, c.channels, 2.0), c.rate, c.channels)));
    ASSERT_TRUE(codec.Open(path));
    PlayFileInfo info = codec.Info();
    EXPECT_EQ(info.lengthSeconds, 2u);
    EXPECT_EQ(info.sampleRate, static_cast<DWORD>(c.rate));
    EXPECT_EQ(info.stereo, c.channels == 2 ? 1u : 0u);
    EXPECT_EQ(info.bits16, 1u);
    if (c.channels == 2) {
      EXPECT_GT(info.kbps, 0u);
    }
    std::vector<uint8_t> pcm = codec.ReadAll();
    EXPECT_EQ(pcm.size(), static_cast<size_t>(2 * c.rate * c.channels * 2));
    EXPECT_NEAR(ZeroCrossingFrequency(Channel(pcm, c.channels, 0, 2048), c.rate), 660, 3);
    codec->Seek(codec.get(), 3, 4);
    EXPECT_EQ(codec->GetPosition(codec.get()), 1u);
    EXPECT_EQ(codec.ReadAll().size(), static_cast<size_t>(c.rate / 2 * c.channels * 2));
  }
  // Two chained streams, or three channels, are refused.
  std::vector<uint8_t> chained = EncodeOgg(Sine(440, 44100, 2, 0.5), 44100, 2, 1);
  std::vector<uint8_t> second = EncodeOgg(Sine(440, 44100, 2, 0.5), 44100, 2, 2);
  chained.insert(chained.end(), second.begin(), second.end());
  codec->CloseFile(codec.get());
  for (const auto& bytes :
       {chained, EncodeOgg(Sine(440, 44100, 3, 0.5), 44100, 3), std::vector<uint8_t>(4000, 'O')}) {
    std::string path = folder.File("bad.ogg");
    ASSERT_TRUE(WriteBytes(path, bytes));
    EXPECT_FALSE(codec.Open(path));
  }
}

TEST(CodecExtensions, FirstRegistrationWinsWhateverTheCase) {
  CodecModule module = {};
  ExtensionList_Init(&module);
  ExtensionList_Add(&module, "mp3", 1);
  ExtensionList_Add(&module, "MP3", 2);
  ExtensionList_Add(&module, "Ogg", 3);
  DWORD_PTR value = 0;
  EXPECT_EQ(ExtensionList_Find(&module, "mP3", &value), 1);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(ExtensionList_Find(&module, "OGG", &value), 1);
  EXPECT_EQ(value, 3u);
  EXPECT_EQ(ExtensionList_Find(&module, "wav", &value), 0);

  // File associations: every extension names the audio file class.
  ExtensionList_Free(&module);
  ExtensionList_Add(&module, "tvltestext", 0);
  RegisterFileAssociations(&module);
  char text[64] = {};
  LONG size = sizeof text;
  EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".tvltestext", text, &size), ERROR_SUCCESS);
  EXPECT_STREQ(text, "Larkspin.Audio");
  // ... and that class exists and opens the file in this program.
  char command[MAX_PATH + 16] = {};
  size = sizeof command;
  ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "Larkspin.Audio\\shell\\open\\command", command, &size),
            ERROR_SUCCESS);
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);
  EXPECT_EQ(std::string(command), std::string("\"") + program + "\" \"%1\"");
  RegDeleteKeyA(HKEY_CLASSES_ROOT, ".tvltestext");
  ExtensionList_Free(&module);
}

}  // namespace
