#pragma once
// The save and export dispatcher: every path that turns project audio into a sound
// file starts here. Save and Save Selection pick the exporter by the file name's
// extension; Copy, Cut and Paste write the shared clipboard sound file.
#include <string>

class Project;

// Saves the whole project (selectedOnly 0) or the selected tracks over t0..t1
// (selectedOnly 1). The extension chooses the exporter: mp3, mp2 and mp1 the MP3
// exporter, ogg the Ogg Vorbis exporter, wav, aif, au and voc the sound-file
// exporter, in any case. A name without an extension (a dot in a folder name does not
// count) is saved with ".mp3" appended. Any other extension is refused with a message.
// 1 when the exporter reports success, 0 otherwise; an empty name gives 0 at once.
int ExportByExtension(Project* project, int selectedOnly, double t0, double t1, std::string fileName);

// Copy and Cut: the tracks over t0..t1 as a 16-bit WAV file at the project's rate.
int WriteSelectionToFile(Project* project, int selectedOnly, double t0, double t1, std::string path);

// Paste: every track of the clipboard, as a WAV file with the clipboard's own channel
// count (two when it holds a left and a right channel).
int WriteClipboardTracksToFile(Project* project, std::string path);

// Settles what an export covers. Over the wave tracks (with selectedOnly, those
// selected and not excluded) it takes the earliest offset and the latest end time,
// starting from *t1 and *t0: with selectedOnly the range is narrowed to them, without
// it the range becomes them. *stereo: with selectedOnly, 1 when a left and a right
// channel are among the tracks; without, 1 when either is. 0 (after a message) when
// selectedOnly is set and no track qualifies; 1 otherwise.
int GetExportRange(Project* project, int selectedOnly, double* t0, double* t1, int* stereo);
