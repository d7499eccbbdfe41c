#pragma once
// Signals the process takes over from their default action.
namespace seams {

// A file that grows past the process's file-size limit raises SIGXFSZ, whose default
// action ends the program and leaves the file half written and hidden. Ignored, the
// write fails (EFBIG) and is reported like any other failed write. Called at start-up
// (the program, the engine, every test program); safe to call again.
void IgnoreFileSizeSignal() noexcept;

}  // namespace seams
