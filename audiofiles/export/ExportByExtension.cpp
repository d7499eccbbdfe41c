#include "audiofiles/export/ExportByExtension.h"

#include <cctype>

#include "app/settings/FileEncodeOptions.h"
#include "core/model/Track.h"
#include "core/model/TrackList.h"
#include "audiofiles/export/ExportMP3.h"
#include "audiofiles/export/ExportOgg.h"
#include "audiofiles/export/ExportSoundFile.h"
#include "audiofiles/export/ExportSupport.h"
#include "audiofiles/export/ExportText.h"
#include "core/project/Project.h"

namespace {

struct TrackCount {
  int tracks = 0;
  int left = 0;
  int right = 0;
};

// Counts the qualifying wave tracks of list and widens earliest/latest over them.
TrackCount CountWaveTracks(TrackList* list, bool selectedOnly, double* earliest, double* latest) {
  TrackCount count;
  if (!list) return count;
  TrackListIterator it(list);
  for (Track* t = it.First(); t; t = it.Next()) {
    if (t->GetKind() != Track::Wave) continue;
    if (selectedOnly && (!t->GetSelected() || t->GetExcluded())) continue;
    ++count.tracks;
    if (t->GetChannel() == Track::LeftChannel) ++count.left;
    if (t->GetChannel() == Track::RightChannel) ++count.right;
    if (t->GetOffset() < *earliest) *earliest = t->GetOffset();
    const double end = t->GetEndTime();
    if (end > *latest) *latest = end;
  }
  return count;
}

bool SameTextIgnoringCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && b[i] == '\0';
}

using Exporter = int (*)(Project*, int, const char*, int, double, double);

}  // namespace

int GetExportRange(Project* project, int selectedOnly, double* t0, double* t1, int* stereo) {
  double earliest = *t1;
  double latest = *t0;
  const TrackCount count =
      CountWaveTracks(project ? project->GetTracks() : nullptr, selectedOnly != 0, &earliest, &latest);
  if (selectedOnly) {
    if (*t0 < earliest) *t0 = earliest;
    if (*t1 > latest) *t1 = latest;
  } else {
    *t0 = earliest;
    *t1 = latest;
  }
  if (selectedOnly && count.tracks == 0) {
    ShowExportMessage(export_text::kNoTracksSelected);
    return 0;
  }
  if (selectedOnly)
    *stereo = count.left > 0 && count.right > 0 ? 1 : 0;
  else
    *stereo = count.left > 0 || count.right > 0 ? 1 : 0;
  return 1;
}

int ExportByExtension(Project* project, int selectedOnly, double t0, double t1, std::string fileName) {
  if (fileName.empty()) return 0;
  int stereo = 0;
  if (!GetExportRange(project, selectedOnly, &t0, &t1, &stereo)) return 0;

  // Only the file's own name can hold its extension: "/music/v1.2/take" has none.
  const std::size_t nameStart = fileName.find_last_of("\\/");
  if (nameStart == fileName.size() - 1) {
    ShowExportMessage(export_text::FolderNotFile(fileName));
    return 0;
  }
  std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) {
    fileName += ".mp3";
    dot = fileName.size() - 4;
  }
  const std::string ext = fileName.substr(dot + 1);

  Exporter exporter = nullptr;
  if (SameTextIgnoringCase(ext, "mp3") || SameTextIgnoringCase(ext, "mp2") ||
      SameTextIgnoringCase(ext, "mp1"))
    exporter = ExportMP3;
  else if (SameTextIgnoringCase(ext, "OGG"))
    exporter = ExportOgg;
  else
    for (const settings::WavContainer& row : settings::WavContainers())
      if (SameTextIgnoringCase(ext, row.extension)) {
        exporter = ExportSoundFile;
        break;
      }
  if (!exporter) {
    ShowExportMessage(export_text::UnknownType(ext));
    return 0;
  }
  return exporter(project, stereo, fileName.c_str(), selectedOnly, t0, t1);
}

int WriteSelectionToFile(Project* project, int selectedOnly, double t0, double t1, std::string path) {
  if (path.empty()) return 0;
  int stereo = 0;
  if (!GetExportRange(project, selectedOnly, &t0, &t1, &stereo)) return 0;
  return MixSelectionToWav(project, stereo, path.c_str(), selectedOnly, t0, t1);
}

int WriteClipboardTracksToFile(Project* project, std::string path) {
  if (path.empty()) return 0;
  // The file carries the clipboard's channels, whatever the project holds now.
  double earliest = 0.0, latest = 0.0;
  const TrackCount count = CountWaveTracks(GetClipboardTracks(), false, &earliest, &latest);
  const int stereo = count.left > 0 && count.right > 0 ? 1 : 0;
  return MixClipboardToWav(project, stereo, path.c_str());
}
