#include "app/settings/SettingsPlatform.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/settings/SettingsText.h"
#include "platform/seams/MessageBox.h"

namespace fs = std::filesystem;

namespace settings {

std::string NativeSettingsPlatform::ProgramFilePath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "./tarvel";
  return exe.string();
}

std::string NativeSettingsPlatform::TempPath() {
  const char* dir = std::getenv("TMPDIR");
  std::string path = (dir && *dir) ? dir : "/tmp";
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(path, ec);  // the long form
  if (!ec && !canonical.empty()) path = canonical.string();
  return path;
}

bool NativeSettingsPlatform::Exists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

bool NativeSettingsPlatform::IsFile(const std::string& path) {
  std::error_code ec;
  auto st = fs::status(path, ec);
  return !ec && fs::exists(st) && !fs::is_directory(st);
}

bool NativeSettingsPlatform::IsFolder(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

bool NativeSettingsPlatform::CreateFolder(const std::string& path) {
  std::error_code ec;
  return fs::create_directory(path, ec) || IsFolder(path);
}

bool NativeSettingsPlatform::ListFiles(const std::string& folder, std::vector<std::string>* names) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "." : folder, ec), end;
  if (ec) return false;
  for (; it != end; it.increment(ec)) {
    if (ec) return false;
    std::error_code ec2;
    if (!it->is_directory(ec2)) names->push_back(it->path().filename().string());
  }
  return true;
}

namespace {
std::atomic<SettingsPlatform*> g_platform{nullptr};
NativeSettingsPlatform& NativePlatform() {
  static NativeSettingsPlatform platform;
  return platform;
}
}  // namespace

SettingsPlatform& Platform() {
  SettingsPlatform* p = g_platform.load(std::memory_order_acquire);
  return p ? *p : NativePlatform();
}

SettingsPlatform* SetSettingsPlatform(SettingsPlatform* platform) noexcept {
  return g_platform.exchange(platform, std::memory_order_acq_rel);
}

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

char SeparatorFor(const std::string& path) {
  bool backslash = path.find('\\') != std::string::npos;
  bool slash = path.find('/') != std::string::npos;
  return backslash && !slash ? '\\' : '/';
}

std::string WithTrailingSeparator(const std::string& path) {
  if (!path.empty() && IsPathSeparator(path.back())) return path;
  return path + SeparatorFor(path);
}

std::string FolderOf(const std::string& path) {
  std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace settings

namespace {
bool CreateDirectoryPathInner(std::string path, int depth) {
  settings::SettingsPlatform& platform = settings::Platform();
  if (!path.empty() && settings::IsPathSeparator(path.back())) path.pop_back();
  if (path.empty()) return true;  // the file system's root
  if (platform.Exists(path)) return platform.IsFolder(path);
  // A drive ("C:") or a bare name has no parent to make.
  std::string parent = settings::FolderOf(path);
  if (!parent.empty() && depth < 256) CreateDirectoryPathInner(parent, depth + 1);
  return platform.CreateFolder(path);
}
}  // namespace

bool CreateDirectoryPath(const std::string& path) {
  try {
    return CreateDirectoryPathInner(path, 0);
  } catch (...) {
    seams::ShowMessageBox(settings_text::kCannotCreateFolder, settings_text::kErrorCaption,
                          seams::kMbOk | seams::kMbIconError);
    return false;
  }
}
