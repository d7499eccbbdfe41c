#pragma once
// Message boxes for the portable tier. The flags and the returned button use the
// Win32 values, so window-tier code can pass them straight through.
#include <string>

namespace seams {

enum MessageBoxFlags : unsigned {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbYesNoCancel = 0x3,
  kMbYesNo = 0x4,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconWarning = 0x30,
  kMbIconInformation = 0x40,
};

enum MessageBoxResult : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdYes = 6,
  kIdNo = 7,
};

class MessageBoxService {
public:
  virtual ~MessageBoxService() = default;
  virtual int Show(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

MessageBoxService* SetMessageBoxService(MessageBoxService* service) noexcept;

// The caption of the program's own message boxes: "Tarvel".
extern const char kProgramCaption[];

// Shows the message through the installed service. With none installed the text goes
// to standard error and the default button (OK, Yes) is the answer.
int ShowMessageBox(const std::string& text, const std::string& caption = kProgramCaption,
                   unsigned flags = kMbOk);

}  // namespace seams
