#pragma once
// A codec module turns one open sound file into PCM for the engine thread: a record
// of operations with its own state and its own list of file extensions.
#include <windows.h>

#include "player/PlayerTypes.h"

struct ExtensionNode {
  char* text;       // heap copy
  DWORD_PTR value;  // the plug-in host's entry; 0 for the built-in codecs
  ExtensionNode* next;
};

struct CodecModule {
  void (*Uninitialise)(CodecModule* module);
  // 1 on success, 0 on failure. value is what the extension list stored with the
  // matched extension (0 when the file fell back to the MP3 codec).
  int (*OpenFile)(CodecModule* module, const char* path, DWORD_PTR value, HWND notifyWindow);
  void (*CloseFile)(CodecModule* module);
  void (*Seek)(CodecModule* module, DWORD numerator, DWORD denominator);
  void (*GetFileInfo)(CodecModule* module, PlayFileInfo* info);
  // Fills up to *bytes bytes; *bytes then holds the bytes produced. Returns 1 while
  // more data may follow, 0 at the end (the bytes produced are valid in both cases).
  int (*GetPcmBlock)(CodecModule* module, void* buffer, DWORD* bytes);
  DWORD (*GetPosition)(CodecModule* module);  // whole seconds
  void* ModuleData;
  ExtensionNode* Extensions;
};

void ExtensionList_Init(CodecModule* module);
// The first registration of an extension wins (case-insensitive).
void ExtensionList_Add(CodecModule* module, const char* text, DWORD_PTR value);
int ExtensionList_Find(CodecModule* module, const char* text, DWORD_PTR* value);
void ExtensionList_Free(CodecModule* module);
// Defines the file class "Larkspin.Audio" with an open command for this program, then
// gives every extension that class as the default value of HKCR\.<extension>. When the
// class cannot be defined, no extension is touched.
void RegisterFileAssociations(CodecModule* module);

// Where the audio starts: after an ID3v2 tag when the first 10 bytes begin one.
// header holds the file's first 10 bytes (got of them were read).
DWORD Id3v2AudioStart(const BYTE* header, DWORD got);

void Mp3Codec_Init(CodecModule* module);
void WavCodec_Init(CodecModule* module);
void OggCodec_Init(CodecModule* module);
void PluginCodec_Init(CodecModule* module);
// Registers the plug-ins "in_*.dll" of folder (ending in '\'); a missing folder
// registers nothing.
void PluginCodec_ScanPlugins(CodecModule* module, const char* folder);
