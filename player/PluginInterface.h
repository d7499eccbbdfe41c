#pragma once
// The binary interface of input plug-ins: the module record a plug-in DLL returns
// from its entry point, and the output record the host hands it. The fields are in
// the interface's order (one 32-bit slot each in a 32-bit process); the host reads
// and writes only the ones it needs, the others belong to the plug-in.
#include <windows.h>

struct PluginOutputRecord;

typedef void(__cdecl* PluginVoidFn)();
typedef int(__cdecl* PluginIntFn)();

struct PluginModuleRecord {
  int version;
  char* description;
  HWND mainWindow;        // written by the host
  HINSTANCE dllInstance;  // written by the host
  char* extensions;       // pairs of zero-terminated texts, ended by an empty one
  int seekable;
  int usesOutput;  // must be set: the host is the plug-in's output
  void(__cdecl* config)(HWND parent);
  void(__cdecl* about)(HWND parent);
  void(__cdecl* init)();
  void(__cdecl* quit)();
  void(__cdecl* getFileInfo)(const char* file, char* title, int* lengthMs);
  int(__cdecl* infoBox)(const char* file, HWND parent);
  int(__cdecl* isOurFile)(const char* file);
  int(__cdecl* play)(const char* file);  // 0 = accepted
  void(__cdecl* pause)();
  void(__cdecl* unpause)();
  int(__cdecl* isPaused)();
  void(__cdecl* stop)();
  int(__cdecl* getLength)();      // ms
  int(__cdecl* getOutputTime)();  // ms
  void(__cdecl* setOutputTime)(int ms);
  void(__cdecl* setVolume)(int volume);
  void(__cdecl* setPan)(int pan);
  // Visualisation and effect hooks: the host answers them with nothing.
  void(__cdecl* visInit)(int maxLatencyMs, int sampleRate);
  void(__cdecl* visDeinit)();
  void(__cdecl* visAddData)(void* pcm, int channels, int bits, int timestamp);
  int(__cdecl* visGetMode)();
  void(__cdecl* visAdd)(void* data, int timestamp);
  void(__cdecl* vis2AddData)(void* pcm, int channels, int bits, int timestamp);
  int(__cdecl* vis2GetMode)();
  void(__cdecl* vis2Add)(void* data, int timestamp);
  void(__cdecl* vis2SetInfo)(int rate, int channels);
  int(__cdecl* effectActive)();
  int(__cdecl* effectProcess)(short* samples, int frames, int bits, int channels, int rate);
  void(__cdecl* setEqualiser)(int on, char* bands, int preamp);
  void(__cdecl* setInfo)(int bitrate, int rate, int stereo, int synched);
  PluginOutputRecord* output;  // written by the host
};

struct PluginOutputRecord {
  int version;  // 16
  char* description;
  INT_PTR id;
  HWND mainWindow;
  HINSTANCE dllInstance;
  void(__cdecl* config)(HWND parent);
  void(__cdecl* about)(HWND parent);
  void(__cdecl* init)();
  void(__cdecl* quit)();
  // Returns -1 for a format the host cannot take.
  int(__cdecl* open)(int rate, int channels, int bitsPerSample, int bufferLengthMs, int preBufferMs);
  void(__cdecl* close)();
  // 0 = written, 1 = refused (more than can-write; try again later).
  int(__cdecl* write)(char* buffer, int length);
  int(__cdecl* canWrite)();
  int(__cdecl* isPlaying)();
  int(__cdecl* pause)(int pause);
  void(__cdecl* setVolume)(int volume);
  void(__cdecl* setPan)(int pan);
  void(__cdecl* flush)(int ms);
  int(__cdecl* getOutputTime)();
  int(__cdecl* getWrittenTime)();
};

// The entry point every input plug-in DLL exports.
#define PLUGIN_ENTRY_POINT_NAME "winampGetInModule2"
typedef PluginModuleRecord*(__cdecl* PluginEntryPoint)();

// What the host writes as the plug-in's main window: no window of this program.
#define PLUGIN_NO_WINDOW ((HWND)(INT_PTR)9112)
