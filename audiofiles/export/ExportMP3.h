#pragma once
// The one-shot MP3 exporter: mixes the project's tracks over a range and encodes them
// through the MP3 encoder library with the MP3 settings of the export encode record.
//
// The export runs its own encoder stream, so it can run while a direct MP3 recording
// holds the program-wide one. It writes into a temporary file that takes the target's
// name only when everything was written: a failed export reports 0 and leaves the
// target as it was; a cancelled one keeps what was encoded (with the encoder's last
// frames) and reports 1.
class Project;

// The stereo argument is not read: the channel mode of the settings decides.
int ExportMP3(Project* project, int stereo, const char* fileName, int selectedOnly, double t0, double t1);
