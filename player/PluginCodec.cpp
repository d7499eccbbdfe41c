// The input plug-in host: the fourth codec. Plug-in DLLs "in_*.dll" in the program's
// folder decode on their own thread and write PCM into the host's output record;
// a 64 KB ring carries it to the engine thread.
#include "player/CircleBuffer.h"
#include "player/CodecModule.h"
#include "player/PluginInterface.h"
#include "player/PlayerStrings.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr DWORD kPipeBytes = 65536;
constexpr DWORD kPluginWaitMs = 2000;

struct PluginEntry {
  char* path;  // full path of the DLL
  PluginEntry* next;
};

struct PluginHostState {
  PluginEntry* plugins;
  PluginEntry* loaded;
  HMODULE dll;
  PluginModuleRecord* record;
  int playing;
  PluginOutputRecord output;
};

// What the plug-in's thread and the engine thread share, under one lock.
struct PluginShared {
  CRITICAL_SECTION lock;
  bool lockReady;
  DWORD writtenMs;
  HANDLE formatEvent;  // manual-reset: the plug-in opened its output
  PlayFileInfo format;
  CircleBuffer* pipe;
  HANDLE flushEvent;  // auto-reset: a seek reached the output
};
PluginShared g_shared;

PluginHostState* State(CodecModule* module) { return static_cast<PluginHostState*>(module->ModuleData); }

// ---- the output record's entries (called on the plug-in's thread) --------------

int BytesPerFrameLocked() { return (g_shared.format.stereo ? 2 : 1) * (g_shared.format.bits16 ? 2 : 1); }

int __cdecl PluginOutput_CanWriteLocked() {
  return g_shared.pipe ? static_cast<int>(g_shared.pipe->GetFree(g_shared.pipe)) : -1;
}

int __cdecl PluginOutput_Open(int rate, int channels, int bits, int, int) {
  if ((bits != 8 && bits != 16) || (channels != 1 && channels != 2) || rate <= 0) return -1;
  EnterCriticalSection(&g_shared.lock);
  g_shared.format.lengthSeconds = 0;
  g_shared.format.kbps = 0;
  g_shared.format.sampleRate = static_cast<DWORD>(rate);
  g_shared.format.stereo = channels > 1 ? 1 : 0;
  g_shared.format.bits16 = bits == 16 ? 1 : 0;
  if (g_shared.formatEvent) SetEvent(g_shared.formatEvent);
  LeaveCriticalSection(&g_shared.lock);
  return 1;
}

void __cdecl PluginOutput_Close() {
  EnterCriticalSection(&g_shared.lock);
  if (g_shared.pipe) g_shared.pipe->SetComplete(g_shared.pipe);
  LeaveCriticalSection(&g_shared.lock);
}

int __cdecl PluginOutput_CanWrite() {
  EnterCriticalSection(&g_shared.lock);
  int room = PluginOutput_CanWriteLocked();
  LeaveCriticalSection(&g_shared.lock);
  return room;
}

int __cdecl PluginOutput_Write(char* buffer, int length) {
  EnterCriticalSection(&g_shared.lock);
  int result = 1;
  // Nothing before the format is known (the time could not be counted), nothing
  // more than fits: the plug-in tries again.
  if (length >= 0 && g_shared.pipe && g_shared.format.sampleRate != 0 &&
      length <= PluginOutput_CanWriteLocked()) {
    g_shared.pipe->Write(g_shared.pipe, buffer, static_cast<DWORD>(length));
    DWORD frames = static_cast<DWORD>(length) / BytesPerFrameLocked();
    g_shared.writtenMs += frames * 25 * 40 / g_shared.format.sampleRate;
    result = 0;
  }
  LeaveCriticalSection(&g_shared.lock);
  return result;
}

int __cdecl PluginOutput_IsPlaying() {
  PluginOutput_Close();  // asked at the end of its stream: that is the end of the data
  return 0;
}

int __cdecl PluginOutput_Pause(int) { return 0; }
void __cdecl PluginOutput_Nothing(int) {}
int __cdecl PluginOutput_Zero() { return 0; }

void __cdecl PluginOutput_Flush(int ms) {
  EnterCriticalSection(&g_shared.lock);
  if (g_shared.pipe) g_shared.pipe->Flush(g_shared.pipe);
  g_shared.writtenMs = ms > 0 ? static_cast<DWORD>(ms) : 0;
  if (g_shared.flushEvent) SetEvent(g_shared.flushEvent);
  LeaveCriticalSection(&g_shared.lock);
}

// The hooks a plug-in may call that this host does not offer.
void __cdecl Hook_VisInit(int, int) {}
void __cdecl Hook_Void() {}
void __cdecl Hook_AddData(void*, int, int, int) {}
int __cdecl Hook_Zero() { return 0; }
void __cdecl Hook_Add(void*, int) {}
void __cdecl Hook_SetInfoVis(int, int) {}
int __cdecl Hook_Effect(short*, int, int, int, int) { return 0; }
void __cdecl Hook_SetInfo(int, int, int, int) {}

// ---- the pipe ------------------------------------------------------------------

void PluginPipe_Open() {
  EnterCriticalSection(&g_shared.lock);
  g_shared.formatEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g_shared.pipe = CircleBuffer_Create(kPipeBytes);
  g_shared.writtenMs = 0;
  g_shared.flushEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::memset(&g_shared.format, 0, sizeof g_shared.format);
  LeaveCriticalSection(&g_shared.lock);
}

void PluginPipe_Close() {
  EnterCriticalSection(&g_shared.lock);
  if (g_shared.pipe) g_shared.pipe->Destroy(g_shared.pipe);
  g_shared.pipe = nullptr;
  if (g_shared.formatEvent) CloseHandle(g_shared.formatEvent);
  g_shared.formatEvent = nullptr;
  if (g_shared.flushEvent) CloseHandle(g_shared.flushEvent);
  g_shared.flushEvent = nullptr;
  std::memset(&g_shared.format, 0, sizeof g_shared.format);
  LeaveCriticalSection(&g_shared.lock);
}

// ---- plug-ins ------------------------------------------------------------------

PluginEntryPoint EntryPointOf(HMODULE dll) {
  return reinterpret_cast<PluginEntryPoint>(GetProcAddress(dll, PLUGIN_ENTRY_POINT_NAME));
}

void RegisterPlugin(CodecModule* module, const char* path) {
  PluginHostState* s = State(module);
  HMODULE dll = LoadLibraryA(path);
  if (!dll) return;
  PluginEntryPoint entry = EntryPointOf(dll);
  PluginModuleRecord* record = entry ? entry() : nullptr;
  if (record && record->usesOutput && record->extensions && record->extensions[0]) {
    auto* plugin = static_cast<PluginEntry*>(std::calloc(1, sizeof(PluginEntry)));
    if (plugin && (plugin->path = CopyString(path)) != nullptr) {
      plugin->next = s->plugins;
      s->plugins = plugin;
      // Pairs of texts (extensions, description), ended by an empty text.
      const char* text = record->extensions;
      while (*text) {
        const char* description = text + std::strlen(text) + 1;
        const char* p = text;
        while (*p) {
          const char* end = p;
          while (*end && *end != ';') ++end;
          if (end > p && end - p < MAX_PATH) {
            char extension[MAX_PATH];
            std::memcpy(extension, p, end - p);
            extension[end - p] = 0;
            ExtensionList_Add(module, extension, reinterpret_cast<DWORD_PTR>(plugin));
          }
          p = *end ? end + 1 : end;
        }
        if (!*description) break;
        text = description + std::strlen(description) + 1;
      }
    } else {
      std::free(plugin);
    }
  }
  FreeLibrary(dll);
}

void UnloadPlugin(PluginHostState* s) {
  if (s->record) {
    if (s->playing && s->record->stop) s->record->stop();
    if (s->record->quit) s->record->quit();
  }
  if (s->dll) FreeLibrary(s->dll);
  s->loaded = nullptr;
  s->dll = nullptr;
  s->record = nullptr;
  s->playing = 0;
}

void PreparePluginModule(PluginHostState* s) {
  PluginModuleRecord* r = s->record;
  r->mainWindow = PLUGIN_NO_WINDOW;
  r->dllInstance = s->dll;
  r->visInit = Hook_VisInit;
  r->visDeinit = Hook_Void;
  r->visAddData = Hook_AddData;
  r->visGetMode = Hook_Zero;
  r->visAdd = Hook_Add;
  r->vis2AddData = Hook_AddData;
  r->vis2GetMode = Hook_Zero;
  r->vis2Add = Hook_Add;
  r->vis2SetInfo = Hook_SetInfoVis;
  r->effectActive = Hook_Zero;
  r->effectProcess = Hook_Effect;
  r->setInfo = Hook_SetInfo;
  r->output = &s->output;
}

// ---- codec operations ----------------------------------------------------------

void PluginCodec_CloseFile(CodecModule* module) {
  PluginPipe_Close();  // the plug-in's later writes find no pipe and are refused
  PluginHostState* s = State(module);
  if (s->dll) UnloadPlugin(s);
}

void PluginCodec_Uninitialise(CodecModule* module) {
  PluginHostState* s = State(module);
  if (!s) return;
  PluginCodec_CloseFile(module);
  PluginEntry* plugin = s->plugins;
  while (plugin) {
    PluginEntry* next = plugin->next;
    std::free(plugin->path);
    std::free(plugin);
    plugin = next;
  }
  std::free(s);
  module->ModuleData = nullptr;
  ExtensionList_Free(module);
}

int PluginCodec_OpenFile(CodecModule* module, const char* path, DWORD_PTR value, HWND) {
  PluginHostState* s = State(module);
  if (s->dll) UnloadPlugin(s);
  PluginPipe_Close();
  auto* plugin = reinterpret_cast<PluginEntry*>(value);
  if (!plugin) return 0;
  s->dll = LoadLibraryA(plugin->path);
  if (!s->dll) return 0;
  PluginEntryPoint entry = EntryPointOf(s->dll);
  s->record = entry ? entry() : nullptr;
  if (!s->record) {
    FreeLibrary(s->dll);
    s->dll = nullptr;
    return 0;
  }
  s->loaded = plugin;
  PreparePluginModule(s);
  if (s->record->init) s->record->init();
  PluginPipe_Open();
  if (s->record->play && s->record->play(path) == 0) {
    s->playing = 1;
    return 1;
  }
  UnloadPlugin(s);
  PluginPipe_Close();
  return 0;
}

void PluginCodec_GetFileInfo(CodecModule* module, PlayFileInfo* info) {
  PluginHostState* s = State(module);
  HANDLE formatEvent = g_shared.formatEvent;
  if (formatEvent && WaitForSingleObject(formatEvent, kPluginWaitMs) == WAIT_OBJECT_0) {
    EnterCriticalSection(&g_shared.lock);
    *info = g_shared.format;
    LeaveCriticalSection(&g_shared.lock);
  } else {
    std::memset(info, 0, sizeof *info);
  }
  int lengthMs = (s->record && s->record->getLength) ? s->record->getLength() : 0;
  info->lengthSeconds = lengthMs > 0 ? static_cast<DWORD>(lengthMs / 1000) : 0;
}

int PluginCodec_GetPcmBlock(CodecModule*, void* buffer, DWORD* bytes) {
  CircleBuffer* pipe = g_shared.pipe;
  if (!pipe) {
    *bytes = 0;
    return 0;
  }
  DWORD got = 0;
  int result = pipe->Read(pipe, buffer, *bytes, &got);
  *bytes = got;
  return result;
}

void PluginCodec_Seek(CodecModule* module, DWORD numerator, DWORD denominator) {
  PluginHostState* s = State(module);
  if (!s->record || !s->record->getLength || !s->record->setOutputTime || denominator == 0) return;
  int lengthMs = s->record->getLength();
  if (lengthMs <= 0) return;
  int ms = static_cast<int>(static_cast<double>(lengthMs) * numerator / denominator);
  s->record->setOutputTime(ms);
  if (g_shared.flushEvent) WaitForSingleObject(g_shared.flushEvent, kPluginWaitMs);
}

DWORD PluginCodec_GetPosition(CodecModule*) {
  EnterCriticalSection(&g_shared.lock);
  DWORD seconds = g_shared.writtenMs / 1000;
  LeaveCriticalSection(&g_shared.lock);
  return seconds;
}

}  // namespace

void PluginCodec_ScanPlugins(CodecModule* module, const char* folder) {
  char pattern[MAX_PATH];
  size_t folderLength = std::strlen(folder);
  if (folderLength + 10 >= sizeof pattern) return;
  std::memcpy(pattern, folder, folderLength);
  std::strcpy(pattern + folderLength, "in_*.dll");
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    char path[MAX_PATH];
    if (folderLength + std::strlen(found.cFileName) + 1 > sizeof path) continue;
    std::memcpy(path, folder, folderLength);
    std::strcpy(path + folderLength, found.cFileName);
    RegisterPlugin(module, path);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void PluginCodec_Init(CodecModule* module) {
  module->Uninitialise = PluginCodec_Uninitialise;
  module->OpenFile = PluginCodec_OpenFile;
  module->CloseFile = PluginCodec_CloseFile;
  module->Seek = PluginCodec_Seek;
  module->GetFileInfo = PluginCodec_GetFileInfo;
  module->GetPcmBlock = PluginCodec_GetPcmBlock;
  module->GetPosition = PluginCodec_GetPosition;
  auto* s = static_cast<PluginHostState*>(std::calloc(1, sizeof(PluginHostState)));
  module->ModuleData = s;
  PluginOutputRecord& out = s->output;
  out.version = 16;
  out.open = PluginOutput_Open;
  out.close = PluginOutput_Close;
  out.write = PluginOutput_Write;
  out.canWrite = PluginOutput_CanWrite;
  out.isPlaying = PluginOutput_IsPlaying;
  out.pause = PluginOutput_Pause;
  out.setVolume = PluginOutput_Nothing;
  out.setPan = PluginOutput_Nothing;
  out.flush = PluginOutput_Flush;
  out.getOutputTime = PluginOutput_Zero;
  out.getWrittenTime = PluginOutput_Zero;
  if (!g_shared.lockReady) {
    InitializeCriticalSection(&g_shared.lock);
    g_shared.lockReady = true;
  }
  EnterCriticalSection(&g_shared.lock);
  g_shared.writtenMs = 0;
  std::memset(&g_shared.format, 0, sizeof g_shared.format);
  LeaveCriticalSection(&g_shared.lock);
  ExtensionList_Init(module);
  char program[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  char* slash = std::strrchr(program, '\\');
  if (!slash) return;
  slash[1] = 0;
  PluginCodec_ScanPlugins(module, program);
}
