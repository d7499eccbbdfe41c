#include "player/CodecModule.h"
#include "player/PlayerStrings.h"

#include "platform/afx/linux_headers_begin.h"
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

void RegisterFileAssociations(CodecModule* module) {
  static const char kClass[] = "Larkspin.Audio";
  for (ExtensionNode* node = module->Extensions; node; node = node->next) {
    char name[MAX_PATH];
    if (std::strlen(node->text) + 2 > sizeof name) continue;
    name[0] = '.';
    std::strcpy(name + 1, node->text);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      continue;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kClass), sizeof kClass);
    RegCloseKey(key);
  }
}

DWORD Id3v2AudioStart(const BYTE* header, DWORD got) {
  if (got < 10 || std::memcmp(header, "ID3", 3) != 0) return 0;
  DWORD size = (static_cast<DWORD>(header[6] & 0x7F) << 21) | (static_cast<DWORD>(header[7] & 0x7F) << 14) |
               (static_cast<DWORD>(header[8] & 0x7F) << 7) | (header[9] & 0x7F);
  return 10 + size;
}
