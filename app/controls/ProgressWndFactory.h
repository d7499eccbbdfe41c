#pragma once
// The progress windows of the portable tier's long work (effects, imports, clean-up
// of temporary files) are CProgressWnds: the program installs this factory with
// seams::SetProgressFactory at start-up.
#include "platform/afx/linux_headers_begin.h"
#include "platform/seams/Progress.h"
#include "platform/afx/linux_headers_end.h"

class ProgressWndFactory final : public seams::ProgressFactory {
public:
  std::unique_ptr<seams::ProgressWindow> Create() override;
  // The one factory of the program.
  static ProgressWndFactory& Instance();
};
