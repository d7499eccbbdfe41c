#pragma once
// The sound-file exporter (WAV, AIFF, AU, VOC through libsndfile) and the two
// mix-and-write functions that fill the shared clipboard sound file.
//
// Each mixes wave tracks over a time range and writes the result into a temporary
// file beside the target, which takes the target's name only when everything was
// written and closed: a failed export reports 0 and leaves the target as it was.
// A cancelled export keeps what was written up to then (a valid, shorter file) and
// reports 1.
class Project;

// The format word of the clipboard sound files: WAV container, 16-bit PCM.
int GetDefaultSndFileFormat();

// Saves or exports the project's tracks (the selected ones with selectedOnly) over
// t0..t1 in the container, sample format, rate and channel count of the export
// encode record. A file name whose extension names one of the four containers is
// written in that container, so the name never lies about the content. The stereo
// argument is not read. 1 on success or after a cancel, 0 on failure (a message has
// been shown).
int ExportSoundFile(Project* project, int stereo, const char* fileName, int selectedOnly, double t0,
                    double t1);

// Writes the project's tracks over t0..t1 as a 16-bit WAV file at the project's rate,
// two channels when stereo is set (Copy and Cut).
int MixSelectionToWav(Project* project, int stereo, const char* path, int selectedOnly, double t0, double t1);

// Writes every wave track of the clipboard over its whole length the same way
// (Paste); the project gives only the rate.
int MixClipboardToWav(Project* project, int stereo, const char* path);
