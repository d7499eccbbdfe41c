// Opening sound files for reading from more than one thread.
//
// libsndfile keeps the error state of its last open in globals that every sf_open
// writes; two threads reading blocks at the same time (the channels of an effect, the
// display while a recording runs) must not open at the same moment. Reading and
// closing an open file need no lock: each handle belongs to one thread.
#pragma once

#include <sndfile.h>

#include <string>

// sf_open (path, SFM_READ, info), one thread at a time.
SNDFILE* OpenSoundFileForReading(const std::string& path, SF_INFO* info);
