#include "player/CodecModule.h"
#include "player/PlayerStrings.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

void ExtensionList_Init(CodecModule* module) { module->Extensions = nullptr; }

void ExtensionList_Add(CodecModule* module, const char* text, DWORD_PTR value) {
  if (!text || !*text) return;
  for (ExtensionNode* node = module->Extensions; node; node = node->next)
    if (EqualNoCase(node->text, text)) return;
  auto* node = static_cast<ExtensionNode*>(std::calloc(1, sizeof(ExtensionNode)));
  if (!node) return;
  node->text = CopyString(text);
  if (!node->text) {
    std::free(node);
    return;
  }
  node->value = value;
  node->next = module->Extensions;
  module->Extensions = node;
}

int ExtensionList_Find(CodecModule* module, const char* text, DWORD_PTR* value) {
  for (ExtensionNode* node = module->Extensions; node; node = node->next) {
    if (EqualNoCase(node->text, text)) {
      if (value) *value = node->value;
      return 1;
    }
  }
  return 0;
}

void ExtensionList_Free(CodecModule* module) {
  ExtensionNode* node = module->Extensions;
  while (node) {
    ExtensionNode* next = node->next;
    std::free(node->text);
    std::free(node);
    node = next;
  }
  module->Extensions = nullptr;
}

namespace {

constexpr char kAudioFileClass[] = "Larkspin.Audio";

bool SetDefaultValue(HKEY root, const char* path, const char* text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                     static_cast<DWORD>(std::strlen(text) + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

// The class the extensions point at, with the command that opens a file of it in this
// program. Without it an associated file would open in nothing at all.
bool DefineAudioFileClass() {
  char program[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) return false;
  char command[MAX_PATH + 16];
  std::snprintf(command, sizeof command, "\"%s\" \"%%1\"", program);
  char commandKey[64];
  std::snprintf(commandKey, sizeof commandKey, "%s\\shell\\open\\command", kAudioFileClass);
  return SetDefaultValue(HKEY_CLASSES_ROOT, kAudioFileClass, "Sound file") &&
         SetDefaultValue(HKEY_CLASSES_ROOT, commandKey, command);
}

}  // namespace

void RegisterFileAssociations(CodecModule* module) {
  // Never point the user's files at a class that cannot open them.
  if (!DefineAudioFileClass()) return;
  for (ExtensionNode* node = module->Extensions; node; node = node->next) {
    char name[MAX_PATH];
    if (std::strlen(node->text) + 2 > sizeof name) continue;
    name[0] = '.';
    std::strcpy(name + 1, node->text);
    SetDefaultValue(HKEY_CLASSES_ROOT, name, kAudioFileClass);
  }
}

DWORD Id3v2AudioStart(const BYTE* header, DWORD got) {
  if (got < 10 || std::memcmp(header, "ID3", 3) != 0) return 0;
  DWORD size = (static_cast<DWORD>(header[6] & 0x7F) << 21) | (static_cast<DWORD>(header[7] & 0x7F) << 14) |
               (static_cast<DWORD>(header[8] & 0x7F) << 7) | (header[9] & 0x7F);
  return 10 + size;
}
