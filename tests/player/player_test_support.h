#pragma once
// Shared helpers of the player's tests: sound files made on the spot, an output
// module that records what the engine gives it, and a window that collects the
// engine's notifications.
#include "support/wine/GTestWin.h"

#include <mmsystem.h>

#include "player/PlayerEngine.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"

#include "platform/afx/linux_headers_begin.h"
#include <lame/lame.h>
#include <vorbis/vorbisenc.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace player_test {

constexpr double kPi = 3.14159265358979323846;

// ---- files ---------------------------------------------------------------------

using winetest::TempFolder;

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(h, nullptr));
  DWORD got = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  bytes.resize(got);
  CloseHandle(h);
  return bytes;
}

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void PutText(std::vector<uint8_t>& out, const char* text) {
  out.insert(out.end(), text, text + std::strlen(text));
}

// Interleaved 16-bit samples of a sine of the given amplitude (0..1).
inline std::vector<int16_t> Sine(double frequency, int rate, int channels, double seconds,
                                 double amplitude = 0.5) {
  size_t frames = static_cast<size_t>(seconds * rate);
  std::vector<int16_t> samples(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(2 * kPi * frequency * i / rate)));
    for (int c = 0; c < channels; ++c) samples[i * channels + c] = v;
  }
  return samples;
}

inline std::vector<uint8_t> AsBytes(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes(samples.size() * 2);
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  return bytes;
}

struct WavOptions {
  int formatTag = 1;
  int fmtSize = 16;
  bool id3 = false;            // an ID3v2 tag in front
  bool trailingChunk = false;  // a LIST chunk after the data
  bool zeroDataSize = false;   // as left by a recording cut short
  bool oddChunks = false;      // chunks of odd size (each with its pad byte) around fmt
};

inline std::vector<uint8_t> MakeWav(const std::vector<uint8_t>& data, int rate, int channels, int bits,
                                    const WavOptions& o = {}) {
  std::vector<uint8_t> out;
  if (o.id3) {
    PutText(out, "ID3");
    out.insert(out.end(), {3, 0, 0, 0, 0, 1, 0});  // size 128 (7-bit digits 0,0,1,0)
    out.insert(out.end(), 128, 0xAA);
  }
  std::vector<uint8_t> body;
  PutText(body, "WAVE");
  PutText(body, "junk");  // a chunk to skip before fmt
  Put32(body, o.oddChunks ? 5 : 6);
  body.insert(body.end(), 6, 0x55);  // with an odd size, the last is the pad byte
  PutText(body, "fmt ");
  Put32(body, o.fmtSize);
  std::vector<uint8_t> fmt;
  Put16(fmt, o.formatTag);
  Put16(fmt, channels);
  Put32(fmt, rate);
  Put32(fmt, rate * channels * bits / 8);
  Put16(fmt, channels * bits / 8);
  Put16(fmt, bits);
  fmt.resize(o.fmtSize, 0);
  body.insert(body.end(), fmt.begin(), fmt.end());
  if (o.oddChunks) {
    if (fmt.size() & 1) body.push_back(0);
    PutText(body, "note");
    Put32(body, 3);
    body.insert(body.end(), {'a', 'b', 'c', 0});
  }
  PutText(body, "data");
  Put32(body, o.zeroDataSize ? 0 : static_cast<uint32_t>(data.size()));
  body.insert(body.end(), data.begin(), data.end());
  if (o.trailingChunk) {
    PutText(body, "LIST");
    Put32(body, 64);
    body.insert(body.end(), 64, 0x7F);
  }
  PutText(out, "RIFF");
  Put32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& interleaved, int rate, int channels,
                                      int kbps = 128) {
  lame_global_flags* gf = lame_init();
  lame_set_in_samplerate(gf, rate);
  lame_set_out_samplerate(gf, rate);
  lame_set_num_channels(gf, channels);
  lame_set_mode(gf, channels == 1 ? MONO : JOINT_STEREO);
  lame_set_brate(gf, kbps);
  lame_set_quality(gf, 5);
  lame_set_bWriteVbrTag(gf, 0);
  lame_init_params(gf);
  int frames = static_cast<int>(interleaved.size() / channels);
  std::vector<uint8_t> out(static_cast<size_t>(1.25 * frames + 7200) + 16384);
  std::vector<int16_t> left(frames), right(frames);
  for (int i = 0; i < frames; ++i) {
    left[i] = interleaved[i * channels];
    right[i] = interleaved[i * channels + channels - 1];
  }
  int n = lame_encode_buffer(gf, left.data(), right.data(), frames, out.data(), static_cast<int>(out.size()));
  int m = lame_encode_flush(gf, out.data() + n, static_cast<int>(out.size()) - n);
  out.resize(n + m);
  lame_close(gf);
  return out;
}

inline std::vector<uint8_t> EncodeOgg(const std::vector<int16_t>& interleaved, int rate, int channels,
                                      int serial = 1) {
  std::vector<uint8_t> out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  vorbis_encode_init_vbr(&vi, channels, rate, 0.4f);
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, serial);
  ogg_packet header, comments, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &code);
  ogg_page page;
  auto put = [&](const ogg_page& p) {
    out.insert(out.end(), p.header, p.header + p.header_len);
    out.insert(out.end(), p.body, p.body + p.body_len);
  };
  while (ogg_stream_flush(&os, &page)) put(page);
  size_t frames = interleaved.size() / channels;
  size_t at = 0;
  bool eos = false;
  while (!eos) {
    size_t n = std::min<size_t>(1024, frames - at);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c) buffer[c][i] = interleaved[(at + i) * channels + c] / 32768.0f;
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      at += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page)) {
          put(page);
          if (ogg_page_eos(&page)) eos = true;
        }
      }
    }
    if (n == 0 && !eos) {
      while (ogg_stream_flush(&os, &page)) put(page);
      eos = true;
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

// ---- measures ------------------------------------------------------------------

// One channel of interleaved 16-bit PCM, from frame `from` on.
inline std::vector<double> Channel(const std::vector<uint8_t>& pcm, int channels, int channel,
                                   size_t from = 0) {
  std::vector<double> out;
  size_t frames = pcm.size() / (2 * channels);
  for (size_t i = from; i < frames; ++i) {
    int16_t v;
    std::memcpy(&v, pcm.data() + (i * channels + channel) * 2, 2);
    out.push_back(v / 32768.0);
  }
  return out;
}

inline double Rms(const std::vector<double>& x) {
  if (x.empty()) return 0;
  double sum = 0;
  for (double v : x) sum += v * v;
  return std::sqrt(sum / x.size());
}

// Frequency from the median interval between rising zero crossings.
inline double ZeroCrossingFrequency(const std::vector<double>& x, int rate) {
  std::vector<double> crossings;
  for (size_t i = 1; i < x.size(); ++i)
    if (x[i - 1] < 0 && x[i] >= 0) crossings.push_back(i - 1 + x[i - 1] / (x[i - 1] - x[i]));
  if (crossings.size() < 3) return 0;
  std::vector<double> intervals;
  for (size_t i = 1; i < crossings.size(); ++i) intervals.push_back(crossings[i] - crossings[i - 1]);
  std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
  return rate / intervals[intervals.size() / 2];
}

// ---- a recording output --------------------------------------------------------

// What the test output was given, shared with the test thread.
struct Recording {
  CRITICAL_SECTION lock;
  std::vector<uint8_t> pcm;
  PlayFileInfo format = {};
  int initialised = 0;
  int flushes = 0;
  int equaliserChanges = 0;
  int volume = -1;
  int paused = 0;
  DWORD bytesPerRefill = 8192;
  bool refuseInitialise = false;

  Recording() { InitializeCriticalSection(&lock); }
  ~Recording() { DeleteCriticalSection(&lock); }
  void Reset() {
    EnterCriticalSection(&lock);
    pcm.clear();
    format = {};
    initialised = flushes = equaliserChanges = paused = 0;
    volume = -1;
    bytesPerRefill = 8192;
    refuseInitialise = false;
    LeaveCriticalSection(&lock);
  }
  size_t Bytes() {
    EnterCriticalSection(&lock);
    size_t n = pcm.size();
    LeaveCriticalSection(&lock);
    return n;
  }
  std::vector<uint8_t> Pcm() {
    EnterCriticalSection(&lock);
    std::vector<uint8_t> copy = pcm;
    LeaveCriticalSection(&lock);
    return copy;
  }
};

inline Recording& TheRecording() {
  static Recording recording;
  return recording;
}

struct RecordingState {
  UINT timer;
};

inline void Rec_Uninitialise(OutputModule* m) {
  if (m->ModuleData) {
    auto* s = static_cast<RecordingState*>(m->ModuleData);
    timeKillEvent(s->timer);
    delete s;
  }
  m->ModuleData = nullptr;
  if (m->BlockFreeEvent) CloseHandle(m->BlockFreeEvent);
  m->BlockFreeEvent = nullptr;
}

inline void Rec_Initialise(OutputModule* m, const PlayFileInfo* info, Equaliser* eq) {
  Recording& r = TheRecording();
  if (r.refuseInitialise) return;
  EnterCriticalSection(&r.lock);
  r.format = *info;
  r.initialised += 1;
  r.paused = 0;
  LeaveCriticalSection(&r.lock);
  m->equaliser = eq;
  m->BlockFreeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  auto* s = new RecordingState;
  // Paced faster than real time, so a few seconds of sound take a fraction of one.
  s->timer = timeSetEvent(5, 1, reinterpret_cast<LPTIMECALLBACK>(m->BlockFreeEvent), 0,
                          TIME_PERIODIC | TIME_CALLBACK_EVENT_SET);
  m->ModuleData = s;
}

inline void Rec_Refill(OutputModule* m) {
  Recording& r = TheRecording();
  if (r.paused || !m->Codec) return;
  std::vector<uint8_t> block(r.bytesPerRefill);
  DWORD n = r.bytesPerRefill;
  int more = m->Codec->GetPcmBlock(m->Codec, block.data(), &n);
  if (m->equaliser) m->equaliser->Filter(m->equaliser, block.data(), n);
  EnterCriticalSection(&r.lock);
  r.pcm.insert(r.pcm.end(), block.begin(), block.begin() + n);
  LeaveCriticalSection(&r.lock);
  if (!more) {
    m->Codec->CloseFile(m->Codec);
    m->Codec = nullptr;
  }
}

inline void Rec_SetPause(OutputModule*, int pause) { TheRecording().paused = pause; }
inline int Rec_IsOutputComplete(OutputModule*) { return TheRecording().paused ? 0 : 1; }
inline void Rec_Flush(OutputModule*) { TheRecording().flushes += 1; }
inline void Rec_EqualiserChanged(OutputModule*) { TheRecording().equaliserChanges += 1; }
inline void Rec_SetVolume(OutputModule*, int volume) { TheRecording().volume = volume; }

inline void RecordingOutput_Init(OutputModule* m) {
  std::memset(m, 0, sizeof *m);
  m->Initialise = Rec_Initialise;
  m->Uninitialise = Rec_Uninitialise;
  m->Refill = Rec_Refill;
  m->SetPause = Rec_SetPause;
  m->IsOutputComplete = Rec_IsOutputComplete;
  m->Flush = Rec_Flush;
  m->EqualiserChanged = Rec_EqualiserChanged;
  m->SetVolume = Rec_SetVolume;
  m->Name = "Recording output";
}

// ---- notifications -------------------------------------------------------------

struct Note {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  PlayFileInfo info;  // for 0x8102
  std::string name;   // for 0x8106
};

// A message-only window that keeps every engine notification it receives.
class NoteWindow {
public:
  NoteWindow() {
    static bool registered = false;
    if (!registered) {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = WindowProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "TvlPlayerTestNotes";
      RegisterClassA(&wc);
      registered = true;
    }
    hwnd_ = CreateWindowExA(0, "TvlPlayerTestNotes", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleA(nullptr), this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~NoteWindow() {
    DestroyWindow(hwnd_);
    winetest::PumpMessages();
  }
  HWND Handle() const { return hwnd_; }
  std::vector<Note>& Notes() { return notes_; }

  // Handles messages until done() or the time is up; true when done() held.
  bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return winetest::WaitUntil(done, timeoutMs);
  }
  // Waits for a notification from index `from` on; returns its index or -1.
  int WaitFor(UINT message, WPARAM wParam, size_t from = 0, DWORD timeoutMs = 5000) {
    int found = -1;
    WaitUntil(
        [&] {
          for (size_t i = from; i < notes_.size(); ++i)
            if (notes_[i].message == message && notes_[i].wParam == wParam) {
              found = static_cast<int>(i);
              return true;
            }
          return false;
        },
        timeoutMs);
    return found;
  }
  int WaitForState(WPARAM state, size_t from = 0, DWORD timeoutMs = 5000) {
    return WaitFor(kNotifyState, state, from, timeoutMs);
  }
  // The state notifications (0x8101) in order.
  std::vector<WPARAM> States(size_t from = 0) const {
    std::vector<WPARAM> out;
    for (size_t i = from; i < notes_.size(); ++i)
      if (notes_[i].message == kNotifyState) out.push_back(notes_[i].wParam);
    return out;
  }
  int Count(UINT message, size_t from = 0) const {
    int n = 0;
    for (size_t i = from; i < notes_.size(); ++i) n += notes_[i].message == message;
    return n;
  }
  const Note* Last(UINT message) const {
    for (size_t i = notes_.size(); i-- > 0;)
      if (notes_[i].message == message) return &notes_[i];
    return nullptr;
  }

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<NoteWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message >= kNotifyState && message <= kNotifyBuffering) {
      Note note = {message, wParam, lParam, {}, {}};
      if (message == kNotifyFileInfo && wParam) {
        note.info = *reinterpret_cast<PlayFileInfo*>(wParam);
        std::free(reinterpret_cast<void*>(wParam));
      }
      if (message == kNotifyOutputName && wParam) {
        note.name = reinterpret_cast<char*>(wParam);
        std::free(reinterpret_cast<void*>(wParam));
      }
      if (self) self->notes_.push_back(note);
      return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
  std::vector<Note> notes_;
};

// An engine whose DirectSound slot records instead of playing, with a note window.
class EngineFixture : public ::testing::Test {
protected:
  void SetUp() override {
    TheRecording().Reset();
    saved_[0] = g_PlayerOutputConstructors[0];
    saved_[1] = g_PlayerOutputConstructors[1];
    g_PlayerOutputConstructors[1] = RecordingOutput_Init;
    engine_ = PlayerEngine_Create(notes_.Handle());
    ASSERT_NE(engine_, nullptr);
  }
  void TearDown() override {
    DWORD start = GetTickCount();
    PlayerEngine_Destroy(engine_);
    EXPECT_LT(GetTickCount() - start, 2000u) << "destroying the engine took too long";
    g_PlayerOutputConstructors[0] = saved_[0];
    g_PlayerOutputConstructors[1] = saved_[1];
  }
  // Posts an echo and waits for it: every command posted before has been handled.
  bool Sync(WPARAM token = 0x5EED) {
    size_t from = notes_.Notes().size();
    PostThreadMessageA(engine_->threadId, kCmdEcho, token, 0);
    return notes_.WaitFor(kNotifyEcho, token, from) >= 0;
  }
  void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    PostThreadMessageA(engine_->threadId, message, wParam, lParam);
  }
  // Opens, plays and waits for the stop at the end of the file.
  bool PlayToEnd(const std::string& path, DWORD timeoutMs = 5000) {
    size_t from = notes_.Notes().size();
    PlayerEngine_OpenFile(engine_, path.c_str());
    PlayerEngine_Play(engine_);
    return notes_.WaitForState(kStateStopped, from, timeoutMs) >= 0;
  }

  NoteWindow notes_;
  PlayerEngine* engine_ = nullptr;
  OutputModuleInit saved_[2] = {};
};

}  // namespace player_test
