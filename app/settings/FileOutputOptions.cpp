#include "app/settings/FileOutputOptions.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "app/settings/FileEncodeOptions.h"
#include "app/settings/SettingsPlatform.h"
#include "app/settings/SettingsText.h"
#include "app/settings/ZQRegistry.h"
#include "platform/seams/MessageBox.h"

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// The file names of a folder, lower-cased, and the bases that have split parts there
// ("x" for "x-3.ext" with the given extension).
struct FolderNames {
  bool listed = false;
  std::unordered_set<std::string> files;
  std::unordered_set<std::string> split_bases;
};

FolderNames ListFolder(const std::string& folder, const std::string& type) {
  FolderNames out;
  std::vector<std::string> names;
  out.listed = settings::Platform().ListFiles(folder, &names);
  const std::string dotExt = "." + Lower(type);
  for (const std::string& raw : names) {
    std::string name = Lower(raw);
    out.files.insert(name);
    if (name.size() <= dotExt.size() || name.compare(name.size() - dotExt.size(), dotExt.size(), dotExt) != 0)
      continue;
    std::string stem = name.substr(0, name.size() - dotExt.size());
    std::size_t digits = 0;
    while (digits < stem.size() && std::isdigit(static_cast<unsigned char>(stem[stem.size() - 1 - digits])))
      ++digits;
    if (digits == 0 || digits >= stem.size() || stem[stem.size() - 1 - digits] != '-') continue;
    out.split_bases.insert(stem.substr(0, stem.size() - 1 - digits));
  }
  return out;
}

std::string FileNameOf(const std::string& path) {
  std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::string FileOutputOptions::DefaultOutputFolder() {
  std::string program = settings::Platform().ProgramFilePath();
  const char sep = settings::SeparatorFor(program);
  return settings::FolderOf(program) + sep + "Output" + sep;
}

std::string FileOutputOptions::DefaultTempFolder() {
  return settings::WithTrailingSeparator(settings::Platform().TempPath());
}

void FileOutputOptions::SetDefaults() {
  bAutoName = 1;
  bReplaceExistingFile = 0;
  bResetCountOnStartup = 0;
  bSaveFile = 1;
  bWrapCounter = 1;
  eFileType = 0;
  strAutoNameFolder = DefaultOutputFolder();
  strFileLeadName = "TVLRec";
  uFileNameDigitCount = 5;
  uStartNO = 1;
  strTempFolder = DefaultTempFolder();
  bTempSpaceAlarm = 1;
  TempSpaceThreshold = 200000000;
  CreateDirectoryPath(strAutoNameFolder);
}

int FileOutputOptions::Load() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForReading(holder, kSection);
  if (!reg) return 1;
  const FileOutputOptions d;
  reg->ReadInt("bAutoName", &bAutoName, d.bAutoName);
  reg->ReadInt("bReplaceExistingFile", &bReplaceExistingFile, d.bReplaceExistingFile);
  reg->ReadInt("bResetCountOnStartup", &bResetCountOnStartup, d.bResetCountOnStartup);
  reg->ReadInt("bSaveFile", &bSaveFile, d.bSaveFile);
  reg->ReadInt("bWrapCounter", &bWrapCounter, d.bWrapCounter);
  reg->ReadInt("eFileType", &eFileType, d.eFileType);
  reg->ReadString("strAutoNameFolder", &strAutoNameFolder, d.strAutoNameFolder);
  reg->ReadString("strFileLeadName", &strFileLeadName, d.strFileLeadName);
  reg->ReadDword("uFileNameDigitCount", &uFileNameDigitCount, d.uFileNameDigitCount);
  reg->ReadDword("uStartNO", &uStartNO, d.uStartNO);
  reg->ReadString("strTempFolder", &strTempFolder, d.strTempFolder);
  reg->ReadInt("bTempSpaceAlarm", &bTempSpaceAlarm, d.bTempSpaceAlarm);
  reg->ReadUint64("TempSpaceThreshold", &TempSpaceThreshold);
  return 1;
}

int FileOutputOptions::Save() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection);
  if (!reg) return 1;
  reg->WriteInt("bAutoName", bAutoName);
  reg->WriteInt("bReplaceExistingFile", bReplaceExistingFile);
  reg->WriteInt("bResetCountOnStartup", bResetCountOnStartup);
  reg->WriteInt("bSaveFile", bSaveFile);
  reg->WriteInt("bWrapCounter", bWrapCounter);
  reg->WriteInt("eFileType", eFileType);
  reg->WriteString("strAutoNameFolder", strAutoNameFolder);
  reg->WriteString("strFileLeadName", strFileLeadName);
  reg->WriteDword("uFileNameDigitCount", uFileNameDigitCount);
  reg->WriteDword("uStartNO", uStartNO);
  reg->WriteString("strTempFolder", strTempFolder);
  reg->WriteInt("bTempSpaceAlarm", bTempSpaceAlarm);
  reg->WriteUint64("TempSpaceThreshold", TempSpaceThreshold);
  return 1;
}

int FileOutputOptions::SaveStartNumber() {
  ZQRegistryHolder holder;
  if (CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection))
    reg->WriteDword("uStartNO", uStartNO);
  return 1;
}

int FileOutputOptions::SaveAutoSave() {
  ZQRegistryHolder holder;
  if (CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection)) {
    reg->WriteInt("bAutoName", bAutoName);
    reg->WriteInt("bSaveFile", bSaveFile);
  }
  return 1;
}

int FileOutputOptions::SaveFileType() {
  ZQRegistryHolder holder;
  if (CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection))
    reg->WriteInt("eFileType", eFileType);
  return 1;
}

void FileOutputOptions::ApplyStartupReset() {
  if (bResetCountOnStartup) uStartNO = 1;
}

int FileOutputOptions::GetFileTypeName(std::string* name) const {
  if (eFileType == 2) {
    *name = "OGG";
  } else if (eFileType == 1) {
    const settings::WavContainer* c =
        settings::FindWavContainer(settings::StoredEncodeOptions().WavFileFormat);
    *name = c ? c->extension : "WAV";
  } else {
    *name = "MP3";
  }
  return 1;
}

std::uint32_t FileOutputOptions::DigitWidth() const {
  // The options page stores 2..6 digits; a stored count outside 1..6 is taken as the
  // nearest of them, so every name carries at least one digit and the counter fits.
  if (uFileNameDigitCount < 1) return 1;
  return uFileNameDigitCount > kMaxDigitCount ? kMaxDigitCount : uFileNameDigitCount;
}

std::uint32_t FileOutputOptions::Limit() const {
  std::uint32_t limit = 1;
  for (std::uint32_t i = 0; i < DigitWidth(); ++i) limit *= 10;
  return limit;
}

void FileOutputOptions::AdvanceStartNumber() {
  uStartNO += 1;
  if (bWrapCounter) {
    uStartNO %= Limit();
    if (uStartNO == 0) uStartNO = 1;
  }
}

bool FileOutputOptions::ComposePath(std::string* path) {
  strAutoNameFolder = settings::WithTrailingSeparator(strAutoNameFolder);
  const std::uint32_t limit = Limit();
  const bool exhausted = !bWrapCounter && uStartNO >= limit;
  const std::uint32_t number = uStartNO >= limit ? limit - 1 : uStartNO;
  const std::string digits = settings_text::Format("%lu", static_cast<unsigned long>(number));
  const std::size_t width = DigitWidth();
  std::string type;
  GetFileTypeName(&type);
  *path = strAutoNameFolder + strFileLeadName;
  if (width > digits.size()) path->append(width - digits.size(), '0');
  *path += digits + "." + type;
  return !exhausted;
}

int FileOutputOptions::MakeAutoFileName(std::string* path, bool askOnly) {
  std::string composed;
  const bool usable = ComposePath(&composed);
  if (!usable && !askOnly) {
    seams::ShowMessageBox(settings_text::kCounterExhausted);
    return 0;
  }
  *path = composed;
  if (askOnly) return usable ? 1 : 0;

  settings::SettingsPlatform& platform = settings::Platform();
  if (platform.Exists(composed)) {
    if (!bReplaceExistingFile) {
      int answer =
          seams::ShowMessageBox(settings_text::FormatString1(settings_text::kAskReplacePattern, composed),
                                seams::kProgramCaption, seams::kMbYesNoCancel | seams::kMbIconQuestion);
      if (answer != seams::kIdYes) return 0;
    }
  } else if (!platform.IsFolder(settings::FolderOf(composed) + settings::SeparatorFor(composed))) {
    seams::ShowMessageBox(
        settings_text::FormatString1(settings_text::kFolderMissingPattern, strAutoNameFolder));
    return 0;
  }
  AdvanceStartNumber();
  return 1;
}

int FileOutputOptions::MakeNextAutoFileName(std::string* base, std::string* typeName, bool keepNumber) {
  std::string path;
  ComposePath(&path);
  GetFileTypeName(typeName);
  std::size_t dot = path.rfind('.');
  std::string candidate = dot == std::string::npos ? path : path.substr(0, dot);
  const std::string& type = *typeName;

  // Mend: split recordings write base-1.ext, base-2.ext..., so a base is taken when
  // base.ext exists or any base-<n>.ext does; a wrapped, reset or repeated counter then
  // never re-creates split files over old recordings.
  const FolderNames folder = ListFolder(settings::FolderOf(candidate), type);
  auto taken = [&](const std::string& b) {
    if (settings::Platform().IsFile(b + "." + type)) return true;
    const std::string name = Lower(FileNameOf(b));
    return folder.files.count(name + "." + Lower(type)) > 0 || folder.split_bases.count(name) > 0;
  };
  if (taken(candidate)) {
    for (int n = 1;; ++n) {
      std::string next = settings_text::Format("%s-%d", candidate.c_str(), n);
      if (!taken(next)) {
        candidate = next;
        break;
      }
    }
  }
  *base = candidate;
  if (!keepNumber) AdvanceStartNumber();
  return 1;
}

void FileOutputOptions::GetSummary(std::vector<std::string>* lines) {
  namespace text = settings_text;
  std::string path, type;
  MakeAutoFileName(&path, true);
  GetFileTypeName(&type);
  lines->push_back(text::Format(text::kSaveFolderFormat, path.c_str()));
  lines->push_back(text::Format(text::kSaveTypeFormat, type.c_str()));
  lines->push_back(text::Format(text::kSaveWhenFinishedFormat, bSaveFile ? text::kEnable : text::kDisable));
  lines->push_back(text::Format(text::kAutoNameFormat, bAutoName ? text::kEnable : text::kDisable));
  lines->push_back(text::Format(text::kReplaceFilesFormat, bReplaceExistingFile ? text::kYes : text::kNo));
}
