#include "player_test_support.h"

namespace {

using namespace player_test;

class PlayerEngineTest : public EngineFixture {
protected:
  std::string MakeToneWav(const std::string& name, double seconds, int rate = 44100, int channels = 2,
                          double frequency = 440) {
    std::string path = folder_.File(name);
    EXPECT_TRUE(
        WriteBytes(path, MakeWav(AsBytes(Sine(frequency, rate, channels, seconds)), rate, channels, 16)));
    return path;
  }
  TempFolder folder_;
};

TEST_F(PlayerEngineTest, PlaysAWavFileToTheEndWithItsNotificationsInOrder) {
  const std::vector<uint8_t> pcm = AsBytes(Sine(440, 44100, 2, 2.5));
  std::string path = folder_.File("tone.wav");
  ASSERT_TRUE(WriteBytes(path, MakeWav(pcm, 44100, 2, 16)));
  PostThreadMessageA(engine_->threadId, kCmdProgressRange, 100, 0);
  ASSERT_TRUE(PlayToEnd(path));

  // Open: the file's information; play: playing, then one position per second;
  // the end of decoding (no file) comes before the end of play-out (stopped).
  const std::vector<Note>& notes = notes_.Notes();
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes[0].message, kNotifyFileInfo);
  EXPECT_EQ(notes[0].info.lengthSeconds, 2u);
  EXPECT_EQ(notes[0].info.sampleRate, 44100u);
  EXPECT_EQ(notes[0].info.stereo, 1u);
  EXPECT_EQ(notes[0].info.bits16, 1u);
  EXPECT_EQ(notes_.States(), (std::vector<WPARAM>{kStatePlaying, kStateNoFile, kStateStopped}));
  std::vector<WPARAM> positions;
  std::vector<WPARAM> progress;
  for (const Note& n : notes) {
    if (n.message == kNotifyPosition) positions.push_back(n.wParam);
    if (n.message == kNotifyProgress) progress.push_back(n.wParam);
  }
  EXPECT_EQ(positions, (std::vector<WPARAM>{0, 1, 2}));
  EXPECT_EQ(progress, (std::vector<WPARAM>{0, 50, 100}));
  // Each position comes with fresh file information right before it.
  for (size_t i = 1; i < notes.size(); ++i) {
    if (notes[i].message == kNotifyPosition) {
      EXPECT_EQ(notes[i - 1].message, kNotifyFileInfo);
    }
  }

  EXPECT_EQ(TheRecording().Pcm(), pcm) << "the output got the file's samples, unchanged";
  EXPECT_EQ(TheRecording().format.sampleRate, 44100u);
}

TEST_F(PlayerEngineTest, PlaysMp3AndOggFilesPickedByExtensionInAnyCase) {
  const std::vector<int16_t> tone = Sine(1000, 44100, 2, 1.5, 0.5);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"tone.Mp3", EncodeMp3(tone, 44100, 2)},
      {"tone.ogg", EncodeOgg(tone, 44100, 2)},
      {"no-extension", EncodeMp3(tone, 44100, 2)},  // tried by the MP3 codec
      {"tone.xyz", EncodeMp3(tone, 44100, 2)},      // no codec lists it: MP3 again
  };
  CreateDirectoryA(folder_.File("with.dot").c_str(), nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = folder_.File(std::string("with.dot\\") + c.name);
    ASSERT_TRUE(WriteBytes(path, c.bytes));
    TheRecording().Reset();
    size_t from = notes_.Notes().size();
    ASSERT_TRUE(PlayToEnd(path));
    EXPECT_EQ(notes_.States(from), (std::vector<WPARAM>{kStatePlaying, kStateNoFile, kStateStopped}));
    std::vector<uint8_t> pcm = TheRecording().Pcm();
    EXPECT_NEAR(pcm.size() / 4.0 / 44100, 1.5, 0.1);
    std::vector<double> left = Channel(pcm, 2, 0, 4096);
    left.resize(std::min<size_t>(left.size(), 44100));
    EXPECT_NEAR(ZeroCrossingFrequency(left, 44100), 1000, 5);
    EXPECT_NEAR(20 * std::log10(Rms(left)), 20 * std::log10(0.5 / std::sqrt(2.0)), 0.5);
  }
}

TEST_F(PlayerEngineTest, FilesThatCannotBePlayedReportNoFileAndLeaveTheEngineWorking) {
  std::string text = folder_.File("text.mp3");
  ASSERT_TRUE(WriteBytes(text, std::vector<uint8_t>(20000, 'a')));
  std::string badWav = folder_.File("bad.wav");
  std::vector<uint8_t> wav = MakeWav(AsBytes(Sine(440, 44100, 2, 0.2)), 44100, 2, 16);
  wav.resize(30);  // cut inside the fmt chunk
  ASSERT_TRUE(WriteBytes(badWav, wav));
  std::string badOgg = folder_.File("bad.ogg");
  ASSERT_TRUE(WriteBytes(badOgg, std::vector<uint8_t>(5000, 0)));
  for (const std::string& path : {text, badWav, badOgg, folder_.File("missing.wav")}) {
    SCOPED_TRACE(path);
    size_t from = notes_.Notes().size();
    PlayerEngine_OpenFile(engine_, path.c_str());
    PlayerEngine_Play(engine_);  // nothing attached: does nothing
    ASSERT_TRUE(Sync());
    EXPECT_EQ(notes_.States(from), (std::vector<WPARAM>{kStateNoFile}));
    EXPECT_EQ(notes_.Count(kNotifyFileInfo, from), 0);
  }
  EXPECT_TRUE(PlayToEnd(MakeToneWav("good.wav", 0.3)));
}

TEST_F(PlayerEngineTest, OnlyTheNewestOfQueuedOpensIsCarriedOut) {
  std::string first = MakeToneWav("first.wav", 1.2);
  std::string second = MakeToneWav("second.wav", 3.2);
  // Both must be queued before the engine looks: hold it while posting.
  ASSERT_TRUE(Sync());
  ASSERT_NE(SuspendThread(engine_->thread), static_cast<DWORD>(-1));
  PlayerEngine_OpenFile(engine_, first.c_str());
  PlayerEngine_OpenFile(engine_, second.c_str());
  ResumeThread(engine_->thread);
  ASSERT_TRUE(Sync());
  ASSERT_EQ(notes_.Count(kNotifyFileInfo), 1);
  EXPECT_EQ(notes_.Last(kNotifyFileInfo)->info.lengthSeconds, 3u);
  EXPECT_TRUE(notes_.States().empty());
}

TEST_F(PlayerEngineTest, PauseResumeAndStop) {
  std::string path = MakeToneWav("long.wav", 6);
  // Pause with nothing playing still reports paused; play without a file does nothing.
  PlayerEngine_Pause(engine_);
  PlayerEngine_Play(engine_);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(notes_.States(), (std::vector<WPARAM>{kStatePaused}));

  size_t from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, path.c_str());
  PlayerEngine_Play(engine_);
  ASSERT_GE(notes_.WaitForState(kStatePlaying, from), 0);
  ASSERT_TRUE(notes_.WaitUntil([] { return TheRecording().Bytes() > 100000; }, 3000));
  PlayerEngine_Pause(engine_);
  ASSERT_GE(notes_.WaitForState(kStatePaused, from), 0);
  size_t atPause = TheRecording().Bytes();
  Sleep(150);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(TheRecording().Bytes(), atPause) << "nothing is taken while paused";

  PlayerEngine_Play(engine_);
  ASSERT_TRUE(notes_.WaitUntil([&] { return TheRecording().Bytes() > atPause + 50000; }, 3000));
  EXPECT_EQ(TheRecording().initialised, 1) << "resuming keeps the output";
  PlayerEngine_Stop(engine_);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(notes_.States(from),
            (std::vector<WPARAM>{kStatePlaying, kStatePaused, kStatePlaying, kStateStopped}));
  size_t atStop = TheRecording().Bytes();
  EXPECT_LT(atStop, 6u * 176400) << "stopped before the end";
  // Stop closed the file: play has nothing to play.
  PlayerEngine_Play(engine_);
  Sleep(100);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(TheRecording().Bytes(), atStop);
  EXPECT_EQ(notes_.States(from).size(), 4u);
}

TEST_F(PlayerEngineTest, SeekMovesToTheFractionOfTheFile) {
  // Left channel: the frame number, so the recording tells where reading went on.
  const int frames = 44100 * 4;
  std::vector<int16_t> s(frames * 2);
  for (int i = 0; i < frames; ++i) {
    s[2 * i] = static_cast<int16_t>(i / 8);
    s[2 * i + 1] = 0;
  }
  std::string path = folder_.File("ramp.wav");
  ASSERT_TRUE(WriteBytes(path, MakeWav(AsBytes(s), 44100, 2, 16)));
  // Slow enough that the seek lands while the file still plays, even on a busy machine
  // (about 3.4 s for the whole file).
  TheRecording().bytesPerRefill = 1024;
  size_t from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, path.c_str());
  Post(kCmdSeek, 1, 2);  // not active yet: ignored
  PlayerEngine_Play(engine_);
  ASSERT_GE(notes_.WaitForState(kStatePlaying, from), 0);
  // Some of the start has reached the output, so the jump shows in what it got.
  ASSERT_TRUE(notes_.WaitUntil([] { return TheRecording().Bytes() > 8192; }, 3000));
  Post(kCmdSeek, 3, 4);
  ASSERT_GE(notes_.WaitForState(kStateStopped, from), 0);
  EXPECT_EQ(TheRecording().flushes, 1);
  std::vector<uint8_t> pcm = TheRecording().Pcm();
  // Somewhere the ramp jumps forward to three quarters of the file; the positions
  // then count on from 3 s.
  bool jumped = false;
  for (size_t i = 1; i < pcm.size() / 4; ++i) {
    int16_t prev, cur;
    std::memcpy(&prev, &pcm[(i - 1) * 4], 2);
    std::memcpy(&cur, &pcm[i * 4], 2);
    if (cur - prev > 1) {
      EXPECT_EQ(cur, (frames * 3 / 4) / 8) << "the jump lands at 3/4";
      jumped = true;
      break;
    }
  }
  EXPECT_TRUE(jumped);
  std::vector<WPARAM> positions;
  for (const Note& n : notes_.Notes())
    if (n.message == kNotifyPosition) positions.push_back(n.wParam);
  ASSERT_FALSE(positions.empty());
  EXPECT_NE(std::find(positions.begin(), positions.end(), 3u), positions.end());
  EXPECT_EQ(positions.back(), 4u) << "played out, the whole file was heard";
}

TEST_F(PlayerEngineTest, AnOpenWhilePlayingContinuesOrRestartsByFormat) {
  std::string a = MakeToneWav("a.wav", 3);
  std::string same = MakeToneWav("same.wav", 0.5);
  std::string other = MakeToneWav("other.wav", 0.5, 22050, 1);
  PlayerEngine_OpenFile(engine_, a.c_str());
  PlayerEngine_Play(engine_);
  ASSERT_TRUE(notes_.WaitUntil([] { return TheRecording().Bytes() > 50000; }, 3000));
  size_t from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, same.c_str());
  ASSERT_GE(notes_.WaitForState(kStateStopped, from), 0);
  // The same format goes on without a stop in between and without a new output.
  EXPECT_EQ(notes_.States(from), (std::vector<WPARAM>{kStateNoFile, kStateStopped}));
  EXPECT_EQ(TheRecording().initialised, 1);

  from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, a.c_str());
  PlayerEngine_Play(engine_);
  ASSERT_GE(notes_.WaitForState(kStatePlaying, from), 0);
  ASSERT_TRUE(notes_.WaitUntil([] { return TheRecording().initialised == 2; }, 3000));
  from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, other.c_str());
  ASSERT_GE(notes_.WaitForState(kStateNoFile, from), 0);
  ASSERT_GE(notes_.WaitForState(kStateStopped, notes_.WaitForState(kStateNoFile, from)), 0);
  // Another format: the old output plays out (stopped), a new one starts.
  EXPECT_EQ(notes_.States(from), (std::vector<WPARAM>{kStateStopped, kStateNoFile, kStateStopped}));
  EXPECT_EQ(TheRecording().initialised, 3);
  EXPECT_EQ(TheRecording().format.sampleRate, 22050u);
  EXPECT_EQ(TheRecording().format.stereo, 0u);
}

TEST_F(PlayerEngineTest, EqualiserVolumeAndOutputCommands) {
  // New settings reach the running output and filter what it is given.
  std::string path = MakeToneWav("eq.wav", 3);
  PlayerEngine_SetVolume(engine_, 40);
  PlayerEngine_OpenFile(engine_, path.c_str());
  PlayerEngine_Play(engine_);
  ASSERT_TRUE(notes_.WaitUntil([] { return TheRecording().Bytes() > 50000; }, 3000));
  EXPECT_EQ(TheRecording().volume, 40) << "a new output gets the chosen volume";
  auto* settings = static_cast<EqualiserSettings*>(std::calloc(1, sizeof(EqualiserSettings)));
  settings->enabled = 1;
  std::memset(settings->bands, -128, sizeof settings->bands);
  size_t before = 0;
  Post(kCmdEqualiser, reinterpret_cast<WPARAM>(settings));
  ASSERT_TRUE(Sync());
  before = TheRecording().Bytes();
  EXPECT_EQ(TheRecording().equaliserChanges, 1);
  PlayerEngine_SetVolume(engine_, 70);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(TheRecording().volume, 70);
  ASSERT_TRUE(notes_.WaitUntil([&] { return TheRecording().Bytes() > before + 50000; }, 3000));
  std::vector<uint8_t> pcm = TheRecording().Pcm();
  std::vector<double> tail = Channel(pcm, 2, 0, before / 4 + 1024);
  EXPECT_LT(Rms(tail), 1e-4) << "every band cut";
  PlayerEngine_Stop(engine_);

  // The output list names both outputs; 0x800D switches to the output index 1 holds
  // (already current: nothing happens).
  size_t from = notes_.Notes().size();
  Post(kCmdListOutputs);
  Post(kCmdSelectOutput);
  ASSERT_TRUE(Sync());
  std::vector<std::pair<std::string, LPARAM>> names;
  for (size_t i = from; i < notes_.Notes().size(); ++i)
    if (notes_.Notes()[i].message == kNotifyOutputName)
      names.emplace_back(notes_.Notes()[i].name, notes_.Notes()[i].lParam);
  EXPECT_EQ(names, (std::vector<std::pair<std::string, LPARAM>>{{"Larkspin Wave mapper", 0},
                                                                {"Recording output", 1}}));
}

TEST_F(PlayerEngineTest, AnOutputThatCannotOpenEndsTheFileInsteadOfHanging) {
  TheRecording().refuseInitialise = true;
  std::string path = MakeToneWav("x.wav", 1);
  size_t from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, path.c_str());
  PlayerEngine_Play(engine_);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(notes_.States(from), (std::vector<WPARAM>{kStateNoFile, kStateStopped}));
  TheRecording().refuseInitialise = false;
  EXPECT_TRUE(PlayToEnd(path));
}

TEST_F(PlayerEngineTest, DestroyWhilePlayingOrPausedEndsPromptly) {
  std::string path = MakeToneWav("long.wav", 8);
  PlayerEngine_OpenFile(engine_, path.c_str());
  PlayerEngine_Play(engine_);
  ASSERT_TRUE(notes_.WaitUntil([] { return TheRecording().Bytes() > 50000; }, 3000));
  // A drain of a paused output must not wait for a play-out that never comes.
  PlayerEngine_Pause(engine_);
  Post(kCmdDrain);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(notes_.States().back(), kStateStopped);
  PlayerEngine_OpenFile(engine_, path.c_str());
  PlayerEngine_Play(engine_);
  ASSERT_TRUE(Sync());
  // TearDown destroys the engine while it plays and checks that it ends in time.
}

}  // namespace
