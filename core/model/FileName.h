#pragma once
// A path held as its four parts: drive, directory, name and extension. The full path
// is always drive + directory + name + extension; both '\' and '/' separate folders.
#include <string>

class CFileName {
public:
  CFileName() = default;
  explicit CFileName(const std::string& path);
  CFileName(const CFileName& other);
  CFileName& operator=(const CFileName& other);
  // Joins folder and name with a separator unless the folder is empty or already ends
  // in one. The separator follows the folder's own style: '\' for a folder written
  // with backslashes only, '/' otherwise.
  CFileName(const std::string& folder, const std::string& name);
  virtual ~CFileName() = default;

  std::string GetFullPath() const;
  // The name without folder and extension.
  const std::string& GetName() const { return mName; }
  std::string GetNameExt() const { return mName + mExt; }
  // The extension with its leading period (".tmp"), empty when there is none.
  const std::string& GetExt() const { return mExt; }
  void SetExt(const std::string& extension) { mExt = extension; }
  const std::string& GetDrive() const { return mDrive; }
  const std::string& GetDir() const { return mDir; }
  bool Exists() const;
  void SetFullPath(const std::string& path);

private:
  std::string mDrive;  // a drive letter and a colon, or empty
  std::string mDir;    // with its leading and trailing separators
  std::string mName;
  std::string mExt;
};
