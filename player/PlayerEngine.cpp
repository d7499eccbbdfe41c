#include "player/PlayerEngine.h"

#include <mmsystem.h>
#include <objbase.h>

#include "player/PlayerStrings.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

HWND g_PlayerEngineWindow = nullptr;
volatile LONG g_PlayerOutputIndex = 1;
OutputModuleInit g_PlayerOutputConstructors[2] = {WaveMapperOutput_Init, DirectSoundOutput_Init};

namespace {

constexpr int kCodecCount = 4;
constexpr DWORD kDrainWaitMs = 1000;

// Lives on the engine thread for the thread's whole life.
struct EngineState {
  PlayerEngine* engine;
  CodecModule codecs[kCodecCount];  // MP3, WAV, Ogg Vorbis, plug-in host
  OutputModule outputs[2];          // wave mapper, DirectSound
  OutputModule* output;             // the current one
  int active;                       // the current output is initialised
  int outputIndex;
  int volume;
  LONG lastPosition;
  LONG lastProgress;
  DWORD progressRange;
  DWORD formatRate, formatStereo, formatBits16;
  Equaliser equaliser;
  // Not part of the commands' state machine, but needed to end a drain: a paused
  // output never plays out.
  int paused;
  // The codec decodes a whole output buffer (seconds) ahead of what is heard: where
  // the output tells what it has played, the position shown is the seconds heard
  // since the point playback started (or a seek landed) at.
  DWORD heardBase;             // the codec's position at that point
  std::uint64_t playedAtBase;  // the output's played bytes then
  DWORD decodedSeconds;        // the codec's position, kept after it ended
  PlayFileInfo lastInfo;
  bool quit;
  bool refillNow;
};

void Notify(EngineState* st, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = st->engine->notifyWindow;
  if (window) PostMessageA(window, message, wParam, lParam);
}

// Posts a heap record the receiver frees; frees it here when it cannot be posted.
void NotifyWithRecord(EngineState* st, UINT message, void* record, LPARAM lParam) {
  HWND window = st->engine->notifyWindow;
  if (!window || !PostMessageA(window, message, reinterpret_cast<WPARAM>(record), lParam)) std::free(record);
}

bool MessageQueued(UINT message) {
  MSG msg;
  return PeekMessageA(&msg, nullptr, message, message, PM_NOREMOVE) != 0;
}

void DetachCodec(EngineState* st) {
  if (st->output->Codec) {
    st->output->Codec->CloseFile(st->output->Codec);
    st->output->Codec = nullptr;
  }
}

// Heard from here on: the codec's position now and what the output played so far.
void MarkHeardBase(EngineState* st, CodecModule* codec) {
  st->decodedSeconds = codec ? codec->GetPosition(codec) : 0;
  st->heardBase = st->decodedSeconds;
  st->playedAtBase = st->output->GetPlayedBytes ? st->output->GetPlayedBytes(st->output) : 0;
}

// The whole seconds heard: from the output's played bytes where it counts them, never
// past what was decoded; else the codec's position. At the end of play-out all that
// was decoded has been heard.
LONG HeardSeconds(EngineState* st, bool playedOut) {
  if (playedOut) return static_cast<LONG>(std::max(st->decodedSeconds, st->lastInfo.lengthSeconds));
  if (!st->output->GetPlayedBytes) return static_cast<LONG>(st->decodedSeconds);
  const DWORD bytesPerSecond = st->formatRate * (st->formatStereo ? 2 : 1) * (st->formatBits16 ? 2 : 1);
  if (bytesPerSecond == 0) return static_cast<LONG>(st->decodedSeconds);
  const std::uint64_t played = st->output->GetPlayedBytes(st->output);
  const std::uint64_t since = played > st->playedAtBase ? played - st->playedAtBase : 0;
  const std::uint64_t heard = st->heardBase + since / bytesPerSecond;
  return static_cast<LONG>(heard < st->decodedSeconds ? heard : st->decodedSeconds);
}

void StopActiveOutput(EngineState* st) {
  if (st->active) {
    st->active = 0;
    st->output->Uninitialise(st->output);
  }
  st->paused = 0;
}

// The output could not open its device (or lost it): the file cannot be played.
void ReportOutputFailure(EngineState* st) {
  DetachCodec(st);
  StopActiveOutput(st);
  Notify(st, kNotifyState, kStateNoFile, 0);
  Notify(st, kNotifyState, kStateStopped, 0);
}

bool StartOutput(EngineState* st, CodecModule* codec) {
  PlayFileInfo info = {};
  codec->GetFileInfo(codec, &info);
  // The filter reads interleaved stereo frames: mono passes unfiltered.
  st->equaliser.Reset(&st->equaliser, info.sampleRate, info.bits16 && info.stereo);
  st->active = 1;
  st->paused = 0;
  st->formatRate = info.sampleRate;
  st->formatStereo = info.stereo;
  st->formatBits16 = info.bits16;
  st->output->Initialise(st->output, &info, &st->equaliser);
  if (!st->output->ModuleData) {
    st->active = 0;
    return false;
  }
  // A new output starts at full volume: give it the volume the user chose.
  if (st->volume != 100 && st->output->SetVolume) st->output->SetVolume(st->output, st->volume);
  MarkHeardBase(st, codec);
  return true;
}

void PostPosition(EngineState* st, bool playedOut = false) {
  CodecModule* codec = st->output->Codec;
  if (codec) {
    st->decodedSeconds = codec->GetPosition(codec);
    codec->GetFileInfo(codec, &st->lastInfo);
  }
  // Without a codec the output is playing out the end of the file.
  const LONG position = st->active ? HeardSeconds(st, playedOut) : 0;
  if (position == st->lastPosition) return;
  st->lastPosition = position;
  auto* info = static_cast<PlayFileInfo*>(std::calloc(1, sizeof(PlayFileInfo)));
  if (!info) return;
  *info = st->lastInfo;
  DWORD length = info->lengthSeconds;
  NotifyWithRecord(st, kNotifyFileInfo, info, 0);
  Notify(st, kNotifyPosition, static_cast<WPARAM>(position), 0);
  if (st->progressRange != 0 && length != 0) {
    LONG progress = static_cast<LONG>(static_cast<double>(position) / length * st->progressRange);
    if (progress != st->lastProgress) {
      st->lastProgress = progress;
      Notify(st, kNotifyProgress, static_cast<WPARAM>(progress), 0);
    }
  }
}

void DrainOutput(EngineState* st) {
  if (!st->active) return;
  // A paused output never plays out: its queued audio is dropped. Otherwise wait,
  // but never longer than the outputs can hold (1 MB) plus a margin.
  if (!st->paused) {
    DWORD bytesPerSecond = st->formatRate * (st->formatStereo ? 2 : 1) * (st->formatBits16 ? 2 : 1);
    DWORD limitMs = 2000 + (bytesPerSecond ? static_cast<DWORD>(0x100000ull * 1000 / bytesPerSecond) : 0);
    DWORD started = GetTickCount();
    while (!st->output->IsOutputComplete(st->output) && GetTickCount() - started < limitMs) {
      if (st->output->BlockFreeEvent)
        WaitForSingleObject(st->output->BlockFreeEvent, kDrainWaitMs);
      else
        Sleep(1);
      if (st->output->Codec) PostPosition(st);
    }
  }
  StopActiveOutput(st);
  Notify(st, kNotifyState, kStateStopped, 0);
}

// The codec for the path's extension (the text after the last '.' of the file
// name); the MP3 codec when there is none or no codec lists it.
CodecModule* OpenWithCodec(EngineState* st, const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  const char* dot = std::strrchr(name, '.');
  CodecModule* chosen = &st->codecs[0];
  DWORD_PTR value = 0;
  if (dot) {
    for (CodecModule& codec : st->codecs) {
      DWORD_PTR found = 0;
      if (ExtensionList_Find(&codec, dot + 1, &found)) {
        chosen = &codec;
        value = found;
        break;
      }
    }
  }
  return chosen->OpenFile(chosen, path, value, st->engine->notifyWindow) == 1 ? chosen : nullptr;
}

void OnOpen(EngineState* st, char* path) {
  if (MessageQueued(kCmdOpen)) {
    std::free(path);
    return;
  }
  DetachCodec(st);
  CodecModule* codec = path ? OpenWithCodec(st, path) : nullptr;
  if (!codec) {
    Notify(st, kNotifyState, kStateNoFile, 0);
  } else if (st->active) {
    PlayFileInfo info = {};
    codec->GetFileInfo(codec, &info);
    if (info.sampleRate != st->formatRate || info.stereo != st->formatStereo ||
        info.bits16 != st->formatBits16) {
      DrainOutput(st);
      if (StartOutput(st, codec)) {
        st->refillNow = true;
      } else {
        codec->CloseFile(codec);
        codec = nullptr;
        ReportOutputFailure(st);
      }
    }
  }
  st->output->Codec = codec;
  if (codec) {
    auto* info = static_cast<PlayFileInfo*>(std::calloc(1, sizeof(PlayFileInfo)));
    if (info) {
      codec->GetFileInfo(codec, info);
      NotifyWithRecord(st, kNotifyFileInfo, info, 0);
    }
  }
  std::free(path);
}

void OnSeek(EngineState* st, DWORD numerator, DWORD denominator) {
  if (!st->active || MessageQueued(kCmdSeek)) return;
  if (st->output->Codec) st->output->Codec->Seek(st->output->Codec, numerator, denominator);
  st->output->Flush(st->output);
  st->refillNow = true;
  // What is heard next starts where the codec was sent.
  MarkHeardBase(st, st->output->Codec);
}

void OnPlay(EngineState* st) {
  if (!st->output->Codec) return;
  if (!st->active) {
    if (!StartOutput(st, st->output->Codec)) {
      ReportOutputFailure(st);
      return;
    }
    st->refillNow = true;
  }
  st->output->SetPause(st->output, 0);
  st->paused = 0;
  Notify(st, kNotifyState, kStatePlaying, 0);
  st->lastPosition = -1;
  st->lastProgress = -1;
  PostPosition(st);
}

void OnStop(EngineState* st) {
  DetachCodec(st);
  StopActiveOutput(st);
  Notify(st, kNotifyState, kStateStopped, 0);
}

void OnPause(EngineState* st) {
  if (st->active) {
    st->output->SetPause(st->output, 1);
    st->paused = 1;
  }
  Notify(st, kNotifyState, kStatePaused, 0);
}

void OnEqualiser(EngineState* st, EqualiserSettings* settings) {
  if (!MessageQueued(kCmdEqualiser) && settings) {
    st->equaliser.SetSettings(&st->equaliser, settings);
    if (st->active && st->output->EqualiserChanged) st->output->EqualiserChanged(st->output);
  }
  std::free(settings);
}

void SelectOutput(EngineState* st) {
  LONG index = g_PlayerOutputIndex;
  if (index < 0 || index > 1) return;
  OutputModule* target = &st->outputs[index];
  if (target == st->output) return;
  StopActiveOutput(st);
  target->Codec = st->output->Codec;
  st->output->Codec = nullptr;
  st->output = target;
  st->outputIndex = index;
  if (target->Codec) {
    if (StartOutput(st, target->Codec))
      st->refillNow = true;
    else
      ReportOutputFailure(st);
  }
}

void ListOutputs(EngineState* st) {
  for (int i = 0; i < 2; ++i) {
    char* name = CopyString(st->outputs[i].Name ? st->outputs[i].Name : "");
    if (name) NotifyWithRecord(st, kNotifyOutputName, name, i);
  }
}

void OnVolume(EngineState* st, WPARAM volume) {
  st->volume = volume > 100 ? 100 : static_cast<int>(volume);
  if (st->active && st->output->SetVolume) st->output->SetVolume(st->output, st->volume);
}

void HandleCommand(EngineState* st, const MSG& msg) {
  switch (msg.message) {
    case kCmdQuit:
      st->quit = true;
      break;
    case kCmdOpen:
      OnOpen(st, reinterpret_cast<char*>(msg.wParam));
      break;
    case kCmdSeek:
      OnSeek(st, static_cast<DWORD>(msg.wParam), static_cast<DWORD>(msg.lParam));
      break;
    case kCmdPlay:
      OnPlay(st);
      break;
    case kCmdStop:
      OnStop(st);
      break;
    case kCmdPause:
      OnPause(st);
      break;
    case kCmdProgressRange:
      st->progressRange = static_cast<DWORD>(msg.wParam);
      break;
    case kCmdEcho:
      Notify(st, kNotifyEcho, msg.wParam, 0);
      break;
    case kCmdDrain:
      // A drain lets what was already decoded play out; the file ends here.
      DetachCodec(st);
      DrainOutput(st);
      break;
    case kCmdListOutputs:
      ListOutputs(st);
      break;
    case kCmdEqualiser:
      OnEqualiser(st, reinterpret_cast<EqualiserSettings*>(msg.wParam));
      break;
    case kCmdSelectOutput:
      SelectOutput(st);
      break;
    case kCmdRegisterTypes:
      for (CodecModule& codec : st->codecs) RegisterFileAssociations(&codec);
      break;
    case kCmdVolume:
      OnVolume(st, msg.wParam);
      break;
    default:
      if (msg.hwnd) DispatchMessageA(&msg);
      break;
  }
}

void RefillStep(EngineState* st) {
  OutputModule* out = st->output;
  if (out->Codec) {
    out->Refill(out);
    if (!out->ModuleData) {
      ReportOutputFailure(st);
    } else if (!out->Codec) {
      Notify(st, kNotifyState, kStateNoFile, 0);
    } else {
      PostPosition(st);
    }
  } else if (out->IsOutputComplete(out)) {
    PostPosition(st, true);
    StopActiveOutput(st);
    Notify(st, kNotifyState, kStateStopped, 0);
  } else {
    PostPosition(st);  // the end of the file is still being heard
  }
}

DWORD WINAPI EngineThread(LPVOID argument) {
  auto* engine = static_cast<PlayerEngine*>(argument);
  HRESULT com = CoInitialize(nullptr);
  MSG msg;
  PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // gives the thread its queue
  SetEvent(engine->readyEvent);

  auto* st = static_cast<EngineState*>(std::calloc(1, sizeof(EngineState)));
  st->engine = engine;
  Mp3Codec_Init(&st->codecs[0]);
  WavCodec_Init(&st->codecs[1]);
  OggCodec_Init(&st->codecs[2]);
  PluginCodec_Init(&st->codecs[3]);
  InterlockedExchange(&g_PlayerOutputIndex, 1);
  st->outputIndex = 1;
  g_PlayerOutputConstructors[0](&st->outputs[0]);
  g_PlayerOutputConstructors[1](&st->outputs[1]);
  st->output = &st->outputs[1];
  st->volume = 100;
  st->lastPosition = -1;
  st->lastProgress = -1;
  Equaliser_Create(&st->equaliser);

  for (;;) {
    st->refillNow = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) HandleCommand(st, msg);
    if (st->quit) break;
    if (!st->active) {
      WaitMessage();
      continue;
    }
    if (!st->refillNow && st->output->BlockFreeEvent) {
      HANDLE event = st->output->BlockFreeEvent;
      DWORD result = MsgWaitForMultipleObjects(1, &event, FALSE, 1000, QS_POSTMESSAGE);
      if (result != WAIT_OBJECT_0) continue;
    }
    RefillStep(st);
  }

  DetachCodec(st);
  StopActiveOutput(st);
  st->equaliser.Free(&st->equaliser);
  for (CodecModule& codec : st->codecs) codec.Uninitialise(&codec);
  std::free(st);
  if (com == S_OK) CoUninitialize();
  return 0;
}

void PostCommand(PlayerEngine* engine, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  if (engine) PostThreadMessageA(engine->threadId, message, wParam, lParam);
}

}  // namespace

PlayerEngine* PlayerEngine_Create(HWND notifyWindow) {
  auto* engine = static_cast<PlayerEngine*>(std::calloc(1, sizeof(PlayerEngine)));
  if (!engine) return nullptr;
  engine->notifyWindow = notifyWindow;
  engine->readyEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  engine->thread =
      engine->readyEvent ? CreateThread(nullptr, 0, EngineThread, engine, 0, &engine->threadId) : nullptr;
  if (!engine->thread) {
    if (engine->readyEvent) CloseHandle(engine->readyEvent);
    std::free(engine);
    return nullptr;
  }
  WaitForSingleObject(engine->readyEvent, INFINITE);
  CloseHandle(engine->readyEvent);
  engine->readyEvent = nullptr;
  PlayerEngine_OpenVolumeMixer(engine);
  return engine;
}

void PlayerEngine_Destroy(PlayerEngine* engine) {
  if (!engine) return;
  PostCommand(engine, kCmdStop);
  PostCommand(engine, kCmdQuit);
  if (engine->mixer) mixerClose(engine->mixer);
  engine->mixer = nullptr;
  WaitForSingleObject(engine->thread, INFINITE);
  CloseHandle(engine->thread);
  std::free(engine);
}

void PlayerEngine_OpenFile(PlayerEngine* engine, const char* path) {
  if (!engine || !path) return;
  char* copy = CopyString(path);
  if (copy && !PostThreadMessageA(engine->threadId, kCmdOpen, reinterpret_cast<WPARAM>(copy), 0))
    std::free(copy);
}

void PlayerEngine_Play(PlayerEngine* engine) { PostCommand(engine, kCmdPlay); }
void PlayerEngine_Stop(PlayerEngine* engine) { PostCommand(engine, kCmdStop); }
void PlayerEngine_Pause(PlayerEngine* engine) { PostCommand(engine, kCmdPause); }
void PlayerEngine_SetVolume(PlayerEngine* engine, int volume) {
  PostCommand(engine, kCmdVolume, static_cast<WPARAM>(volume < 0 ? 0 : volume));
}

void PlayerEngine_OpenVolumeMixer(PlayerEngine* engine) {
  if (!engine) return;
  if (engine->mixer) {
    mixerClose(engine->mixer);
    engine->mixer = nullptr;
  }
  // The wave mapper is opened only to name the output device to the mixer.
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 44100;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = 176400;
  HWAVEOUT waveOut = nullptr;
  if (waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return;
  HMIXER mixer = nullptr;
  if (mixerOpen(&mixer, static_cast<UINT>(reinterpret_cast<UINT_PTR>(waveOut)),
                reinterpret_cast<DWORD_PTR>(engine->notifyWindow), 0,
                MIXER_OBJECTF_HWAVEOUT | CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
    engine->mixer = nullptr;
    waveOutClose(waveOut);
    return;
  }
  engine->mixer = mixer;
  MIXERCAPSA caps = {};
  mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(mixer), &caps, sizeof caps);
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                        MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR) {
    MIXERCONTROLA control = {};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), &controls,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR)
      engine->volumeControlId = control.dwControlID;
  }
  PostCommand(engine, kCmdVolume, 100);
  waveOutClose(waveOut);
}
