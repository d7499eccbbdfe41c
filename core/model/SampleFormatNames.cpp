// Names of libsndfile's file formats, asked of libsndfile itself.
#include <sndfile.h>

#include <cctype>

#include "core/model/SampleFormat.h"

namespace {

bool MajorFormatInfo(int format, SF_FORMAT_INFO& info) {
  info = SF_FORMAT_INFO{};
  info.format = format & SF_FORMAT_TYPEMASK;
  return sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0;
}

}  // namespace

std::string GetFormatHeaderName(int format) {
  SF_FORMAT_INFO info;
  if (!MajorFormatInfo(format, info) || !info.name) return {};
  return info.name;
}

std::string GetFormatHeaderExtension(int format) {
  SF_FORMAT_INFO info;
  if (!MajorFormatInfo(format, info) || !info.extension) return {};
  return info.extension;
}

bool IsHighBitSubtype(int subtype) {
  switch (subtype & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
      return true;
    default:
      return false;
  }
}

bool IsPCMSubtype(int subtype) {
  switch (subtype & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
      return true;
    default:
      return false;
  }
}

void GetSupportedExtensions(std::vector<std::string>& list) {
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) != 0 || !info.extension) continue;
    std::string ext = info.extension;
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    list.push_back(ext);
  }
  for (const char* extra : {"aif", "ircam", "snd", "svx", "svx8", "sv16"}) list.push_back(extra);
}
