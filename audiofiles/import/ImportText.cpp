#include "audiofiles/import/ImportText.h"

#include <vorbis/codec.h>

namespace import_text {

const char kMp3Description[] = "MP3";
const char kOggDescription[] = "Ogg Vorbis";
const char kPcmDescription[] = "Uncompressed PCM Audio Files";

const char kNotRecognized[] = "Tarvel did not recognize the type of this file.\n";
std::string CannotOpen(const std::string& fileName, const char* reason) {
  return "Tarvel could not open the file \"" + fileName + "\" (" + reason + ").\n";
}
std::string NotAFile(const std::string& fileName) {
  return "Tarvel can only import files; \"" + fileName + "\" is a folder or a device.\n";
}
const char kOutOfMemory[] = "There is not enough memory to import this file.\n";
const char kImportFailed[] = "Tarvel could not import this file.\n";

const char kStoreFailed[] =
    "Tarvel could not store the imported audio: the disk of the temporary folder may be "
    "full, or the file is longer than a track can hold. Nothing was imported.\n";
const char kReadIncomplete[] = "The file could not be read to its end. Nothing was imported.\n";
std::string DamagedHeader(int channels, int rate) {
  return "The file's header is damaged (it gives " + std::to_string(channels) + " channels at " +
         std::to_string(rate) + " Hz). Nothing was imported.\n";
}
std::string TooManyChannels(int channels, int maximum) {
  return "The file has " + std::to_string(channels) + " channels; Tarvel imports files of at most " +
         std::to_string(maximum) + " channels.\n";
}
std::string OggDamaged(long code) {
  return "The Ogg Vorbis file is damaged (" + OggErrorText(code) + "). Nothing was imported.\n";
}

std::string OggErrorText(long code) {
  switch (code) {
    case OV_HOLE:
      return "Interruption in the data";
    case OV_EREAD:
      return "Media read error";
    case OV_EFAULT:
      return "Internal logic fault";
    case OV_EIMPL:
      return "Feature not implemented";
    case OV_EINVAL:
      return "Invalid argument";
    case OV_ENOTVORBIS:
      return "Not an Ogg Vorbis file";
    case OV_EBADHEADER:
      return "Invalid Vorbis bitstream header";
    case OV_EVERSION:
      return "Vorbis version mismatch";
    case OV_ENOTAUDIO:
      return "Not audio data";
    case OV_EBADPACKET:
      return "Invalid packet";
    case OV_EBADLINK:
      return "Invalid stream section";
    case OV_ENOSEEK:
      return "Stream is not seekable";
    default:
      return "Unknown error " + std::to_string(code);
  }
}

}  // namespace import_text
