// The real outputs (DirectSound and the wave mapper) played into the audio test rig's
// virtual speaker and recorded from its monitor. Wine's playback has occasional short
// underruns, so the checks are tolerant: frequency from the median zero-crossing
// interval, level within a decibel. DirectSound reports the end of play-out only
// once its play cursor has gone round the whole 512 KB buffer (about 3 s).
#include "player_rig_support.h"

namespace {

using namespace player_test;

TEST(PlayerOutputs, VolumeScales) {
  struct Case {
    int volume;
    LONG directSound;
    DWORD waveOut;
  } cases[] = {{100, 0, 0xFFFFFFFF}, {0, -10000, 0}, {50, -1250, 0x80208020}, {99, 0, 0xFDB0FDB0}};
  for (const Case& c : cases) {
    EXPECT_EQ(DirectSoundVolumeFor(c.volume), c.directSound) << c.volume;
    EXPECT_EQ(WaveOutVolumeFor(c.volume), c.waveOut) << c.volume;
  }
}

TEST(PlayerOutputs, DirectSoundAndTheWaveMapperPlayIntoTheSpeaker) {
  AudioRigForWine rig;
  ASSERT_TRUE(rig.Ok()) << "the audio rig did not start";
  TempFolder folder;
  std::string path = folder.File("tone.wav");
  ASSERT_TRUE(WriteBytes(path, MakeWav(AsBytes(Sine(440, 44100, 2, 0.6)), 44100, 2, 16)));
  NoteWindow notes;
  g_PlayerEngineWindow = notes.Handle();
  PlayerEngine* engine = PlayerEngine_Create(notes.Handle());
  ASSERT_NE(engine, nullptr);

  for (int output : {1, 0}) {
    SCOPED_TRACE(output == 1 ? "DirectSound" : "wave mapper");
    if (output == 0) {
      InterlockedExchange(&g_PlayerOutputIndex, 0);
      PostThreadMessageA(engine->threadId, kCmdSelectOutput, 0, 0);
    }
    std::string recording = rig.StartRecording();
    size_t from = notes.Notes().size();
    DWORD start = GetTickCount();
    PlayerEngine_OpenFile(engine, path.c_str());
    PlayerEngine_Play(engine);
    ASSERT_GE(notes.WaitForState(kStateStopped, from, 6000), 0);
    DWORD took = GetTickCount() - start;
    rig.StopRecording();
    EXPECT_EQ(notes.States(from), (std::vector<WPARAM>{kStatePlaying, kStateNoFile, kStateStopped}));
    EXPECT_GE(took, 550u) << "stopped only after the sound was heard";
    std::vector<double> left = Sounding(Channel(SpeakerPcm(recording), 2, 0));
    EXPECT_NEAR(left.size() / 44100.0, 0.6, 0.1);
    EXPECT_NEAR(ZeroCrossingFrequency(left, 44100), 440, 4.4);
    EXPECT_NEAR(20 * std::log10(Rms(left) + 1e-12), 20 * std::log10(0.5 / std::sqrt(2.0)), 1.0);
  }

  // New equaliser settings reach audio that DirectSound already holds (about 3 s
  // of it): cutting every band silences the speaker at once, not when the queue
  // has been heard.
  InterlockedExchange(&g_PlayerOutputIndex, 1);
  PostThreadMessageA(engine->threadId, kCmdSelectOutput, 0, 0);
  std::string longTone = folder.File("long.wav");
  ASSERT_TRUE(WriteBytes(longTone, MakeWav(AsBytes(Sine(440, 44100, 2, 3.0)), 44100, 2, 16)));
  std::string recording = rig.StartRecording();
  size_t from = notes.Notes().size();
  PlayerEngine_OpenFile(engine, longTone.c_str());
  PlayerEngine_Play(engine);
  ASSERT_GE(notes.WaitForState(kStatePlaying, from), 0);
  Sleep(400);
  auto* cut = static_cast<EqualiserSettings*>(std::calloc(1, sizeof(EqualiserSettings)));
  cut->enabled = 1;
  std::memset(cut->bands, -128, sizeof cut->bands);
  PostThreadMessageA(engine->threadId, kCmdEqualiser, reinterpret_cast<WPARAM>(cut), 0);
  Sleep(1200);
  PlayerEngine_Stop(engine);
  ASSERT_GE(notes.WaitForState(kStateStopped, from), 0);
  rig.StopRecording();
  std::vector<double> sounding = Sounding(Channel(SpeakerPcm(recording), 2, 0));
  EXPECT_GT(sounding.size() / 44100.0, 0.2);
  EXPECT_LT(sounding.size() / 44100.0, 0.9);

  PlayerEngine_Destroy(engine);
  g_PlayerEngineWindow = nullptr;
}

}  // namespace
