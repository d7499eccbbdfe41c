#include "platform/seams/MessageBox.h"

#include <atomic>

#include "platform/seams/Diagnostics.h"

namespace seams {

const char kProgramCaption[] = "Tarvel";

namespace {
std::atomic<MessageBoxService*> g_service{nullptr};

int DefaultButton(unsigned flags) {
  switch (flags & 0xF) {
    case kMbYesNo:
    case kMbYesNoCancel:
      return kIdYes;
    default:
      return kIdOk;
  }
}
}  // namespace

MessageBoxService* SetMessageBoxService(MessageBoxService* service) noexcept {
  return g_service.exchange(service, std::memory_order_acq_rel);
}

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (MessageBoxService* service = g_service.load(std::memory_order_acquire))
    return service->Show(text, caption, flags);
  DiagnosticF(DiagnosticStream::kStandardError, "%s: %s\n", caption.c_str(), text.c_str());
  return DefaultButton(flags);
}

}  // namespace seams
