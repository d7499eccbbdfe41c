// A kind of sound file the importer knows: its description, the extensions
// that name it, and the operation that opens a file as this kind. Stateless;
// each opened file is an ImportFile.
#pragma once

#include <string>
#include <vector>

class ImportFile;

class ImportFormat {
public:
  ImportFormat() = default;
  ImportFormat(const ImportFormat&) = delete;
  ImportFormat& operator=(const ImportFormat&) = delete;

  virtual std::string GetFormatDescription() = 0;
  // Lower-case extensions without the dot.
  virtual const std::vector<std::string>* GetExtensions() { return &mExtensions; }
  // A new file object (owned by the caller), or null when the file cannot be
  // opened as this format.
  virtual ImportFile* Open(const std::string& fileName) = 0;
  virtual ~ImportFormat() = default;

protected:
  std::vector<std::string> mExtensions;
};
