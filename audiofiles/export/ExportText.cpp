#include "audiofiles/export/ExportText.h"

namespace export_text {

const char kNoTracksSelected[] =
    "No tracks are selected!\n                      Choose Export... to export all tracks.";
std::string FolderNotFile(const std::string& fileName) {
  return "Cannot save to \"" + fileName + "\": it names a folder, not a file.";
}
std::string UnknownType(const std::string& extension) {
  return "Cannot save a file of the type \"." + extension +
         "\".\nChoose a name ending in .mp3, .mp2, .mp1, .ogg, .wav, .aif, .au "
         "or .voc.";
}
const char kRateUnconvertibleFormat[] =
    "Audio at %.0f Hz cannot be converted to %.0f Hz.\nChoose a sample rate "
    "closer to the audio's rate.";

const char kExportCaption[] = "Export";
std::string ExportingMp3(bool selectedOnly, const std::string& fileName) {
  return std::string(selectedOnly ? "\nExporting the selected audio as an mp3: "
                                  : "\nExporting the entire audio as an mp3: ") +
         fileName;
}
std::string ExportingOgg(bool selectedOnly) {
  return selectedOnly ? "\nExporting the selected audio as Ogg Vorbis"
                      : "\nExporting the entire project as Ogg Vorbis";
}
std::string ExportingSoundFile(bool selectedOnly, const std::string& formatName,
                               const std::string& fileName) {
  return std::string(selectedOnly ? "\nExporting the selected audio as a "
                                  : "\nExporting the entire audio as a ") +
         formatName + " file: " + fileName;
}

const char kCannotOpenTarget[] = "Unable to open target file for writing";
namespace {
std::string WithReason(std::string text, const std::string& reason) {
  if (!reason.empty()) text += "\n\n" + reason + ".";
  return text;
}
}  // namespace
std::string CannotOpenTarget(const std::string& shownPath, const std::string& reason) {
  return WithReason(std::string(kCannotOpenTarget) + " " + shownPath, reason);
}
std::string Mp3SettingsRefused(const std::string& why) {
  return why.empty() ? std::string("The MP3 encoder cannot use these settings.")
                     : "The MP3 encoder cannot use these settings: " + why;
}
const char kOggEncoderFailed[] = "Initializing Ogg encode engin fail!";
const char kWriteFailed[] = "The error occured when writing file!";
const char kCloseFailed[] = "The error occured when closing file!";

const char kFormatUnsupported[] = "Cannot export audio in this format.";
std::string CannotExportTo(const std::string& fileName) { return "Cannot export audio to " + fileName; }
std::string CannotExportTo(const std::string& fileName, const std::string& reason) {
  return WithReason(CannotExportTo(fileName), reason);
}
std::string WriteFailedBecause(const std::string& reason) {
  return "Error (file may not have been written): " + reason;
}
const char kMixOutOfMemory[] = "not enough memory to mix the audio";
const char kNoRoomInPlace[] =
    "the disk has no room for the new file in place of the old one, which was left as it was";

const char kProcessSelectionCaption[] = "Process Audio...";
const char kProcessClipboardCaption[] = "Processing Audio";
const char kProcessingText[] = "\nProcessing audio wave...";
const char kHandleError[] = "Handle Error!";
const char kHandleErrorLower[] = "Handle error!";

}  // namespace export_text
