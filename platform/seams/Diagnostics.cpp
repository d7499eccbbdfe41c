#include "platform/seams/Diagnostics.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace seams {
namespace {

std::atomic<DiagnosticSink*> g_sink{nullptr};

// Emissions under way, counted per generation of the sink. An installation starts a
// new generation and waits for the emissions of the previous one only, so emitters
// that keep coming cannot hold it up, and a replaced sink is never called afterwards.
std::atomic<unsigned> g_generation{0};
std::atomic<int> g_emitting[2] = {0, 0};
std::mutex g_installing;

constexpr int kStackText = 1024;

void WriteToStandardStream(DiagnosticStream stream, const char* text) noexcept {
  std::FILE* file = stream == DiagnosticStream::kStandardOutput ? stdout : stderr;
  std::fputs(text, file);
  std::fflush(file);
}

}  // namespace

DiagnosticSink* SetDiagnosticSink(DiagnosticSink* sink) noexcept {
  std::lock_guard<std::mutex> lock(g_installing);
  DiagnosticSink* previous = g_sink.exchange(sink);
  const unsigned old = g_generation.fetch_add(1);
  while (g_emitting[old & 1].load() != 0) std::this_thread::yield();
  return previous;
}

void Diagnostic(const char* text, DiagnosticStream stream) noexcept {
  // Counted in the generation that is current once counted: the sink read below is
  // then either the current one or one whose replacement waits for this emission.
  unsigned generation = g_generation.load();
  for (;;) {
    g_emitting[generation & 1].fetch_add(1);
    const unsigned now = g_generation.load();
    if (now == generation) break;
    g_emitting[generation & 1].fetch_sub(1);
    generation = now;
  }
  if (DiagnosticSink* sink = g_sink.load())
    sink->Write(stream, text);
  else
    WriteToStandardStream(stream, text);
  g_emitting[generation & 1].fetch_sub(1);
}

void DiagnosticF(DiagnosticStream stream, const char* format, ...) noexcept {
  char text[kStackText];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (length < kStackText) {
    va_end(again);
    Diagnostic(text, stream);
    return;
  }
  // Only long texts (a message box's, say) come here, never the model's own lines.
  std::unique_ptr<char[]> longText(new (std::nothrow) char[static_cast<std::size_t>(length) + 1]);
  if (longText) std::vsnprintf(longText.get(), static_cast<std::size_t>(length) + 1, format, again);
  va_end(again);
  Diagnostic(longText ? longText.get() : text, stream);
}

}  // namespace seams
