#pragma once
// The output settings record, registry section "FileOutputOptions": where
// and under which names recordings are saved automatically.
//
// The output folder default is the program file's folder + "Output" (see
// DefaultOutputFolder); the temporary folder default is the system's temporary path
// with a trailing separator. Both come from settings::Platform() (SettingsPlatform.h).
#include <cstdint>
#include <string>
#include <vector>

class FileOutputOptions {
public:
  static constexpr const char* kSection = "FileOutputOptions";

  // The defaults; creates the output folder (with its missing parents).
  FileOutputOptions() { SetDefaults(); }

  void SetDefaults();
  int Load();
  int Save();
  int SaveStartNumber();  // only "uStartNO"
  int SaveAutoSave();     // only "bAutoName" and "bSaveFile"
  int SaveFileType();     // only "eFileType"
  // Start number back to 1 when bResetCountOnStartup is set.
  void ApplyStartupReset();

  // "OGG" for type 2; for type 1 the extension of the stored encode record's WAV
  // container ("wav", "aif", "au", "voc"; "WAV" for a code not in the table); else "MP3".
  int GetFileTypeName(std::string* name) const;

  // The next automatic path. askOnly: only compose it (1, or 0 when the counter is
  // exhausted without wrapping). Otherwise checks the file and the folder, asks before
  // replacing, advances the counter; 1 when the path may be used.
  int MakeAutoFileName(std::string* path, bool askOnly);
  // A base path (no extension) that no file uses, with the type name; advances the
  // counter unless keepNumber. A base counts as used when base.ext exists or any of its
  // split parts base-<n>.ext does. Returns 1.
  int MakeNextAutoFileName(std::string* base, std::string* typeName, bool keepNumber);

  void GetSummary(std::vector<std::string>* lines);

  // Defaults from the platform.
  static std::string DefaultOutputFolder();
  static std::string DefaultTempFolder();

  std::int32_t bAutoName;
  std::int32_t bReplaceExistingFile;
  std::int32_t bResetCountOnStartup;
  std::int32_t bSaveFile;
  std::int32_t bWrapCounter;
  std::int32_t eFileType;  // 0 MP3, 1 WAV, 2 OGG
  std::string strAutoNameFolder;
  std::string strFileLeadName;
  std::uint32_t uFileNameDigitCount;
  std::uint32_t uStartNO;
  std::string strTempFolder;
  std::int32_t bTempSpaceAlarm;
  std::uint64_t TempSpaceThreshold;  // bytes

private:
  static constexpr std::uint32_t kMaxDigitCount = 6;
  void AdvanceStartNumber();
  // The number of digits in a name: the stored count kept within 1..6.
  std::uint32_t DigitWidth() const;
  std::uint32_t Limit() const;
  // Steps 1 to 5: the folder made to end in a separator, the path composed; false when
  // the counter is exhausted without wrapping.
  bool ComposePath(std::string* path);
};
