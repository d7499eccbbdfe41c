#pragma once
// The one-shot Ogg Vorbis exporter: mixes the project's tracks over a range and
// encodes them with the Ogg settings of the export encode record.
//
// It writes into a temporary file that takes the target's name only when everything
// was written: a failed export reports 0 and leaves the target as it was. A cancelled
// export ends its stream properly (end-of-stream page) after what was encoded and
// reports 1.
class Project;

// The stereo argument is not read: the channel mode of the settings decides.
int ExportOgg(Project* project, int stereo, const char* fileName, int selectedOnly, double t0, double t1);
