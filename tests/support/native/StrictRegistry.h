// A registry backend for tests, written independently of MemoryRegistry, with the
// rules of the Win32 registry that MemoryRegistry does not enforce: RegDeleteKey
// refuses a key that still has subkeys; a key opened for reading refuses writes; keys
// stay valid while a handle is open (shared ownership). Names compare without regard
// to case.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/seams/Registry.h"

namespace settings_test {

class StrictRegistry final : public seams::RegistryBackend {
public:
  struct Node {
    std::map<std::string, std::pair<std::string, std::shared_ptr<Node>>> keys;  // lower -> (name, node)
    std::map<std::string, std::pair<std::string, seams::RegistryValue>> values;
  };

  StrictRegistry();

  std::unique_ptr<seams::RegistryKey> OpenKey(seams::RegistryRoot root, const std::string& path,
                                              bool writable) override;
  std::unique_ptr<seams::RegistryKey> CreateKey(seams::RegistryRoot root, const std::string& path) override;
  bool DeleteKey(seams::RegistryRoot root, const std::string& path) override;

  int deletes = 0;  // keys deleted

private:
  std::shared_ptr<Node> Walk(seams::RegistryRoot root, const std::string& path, bool create);

  std::shared_ptr<Node> mRoots[2];
};

}  // namespace settings_test
