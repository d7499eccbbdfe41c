#pragma once
// Diagnostics: what the model writes for its developers from deep inside (a state that
// should not happen, a library's error code, a failed consistency check, the text of a
// message box nobody shows). They are never shown to the user. All of them pass through
// one installable sink, so tests can read them and the window tier can send them to the
// debugger; with no sink installed each goes to the standard stream it names.
//
// Emitting is safe from any thread. It neither locks nor allocates (a formatted text
// longer than 1 KiB excepted) before it reaches the sink; what the sink does is up to
// the sink, and the default one writes with stdio.
namespace seams {

enum class DiagnosticStream {
  kStandardError,
  kStandardOutput,  // the dumps of a failed consistency check and their like
};

class DiagnosticSink {
public:
  virtual ~DiagnosticSink() = default;
  // One diagnostic, its line ends included, on the thread that emitted it. It must not
  // install a sink itself.
  virtual void Write(DiagnosticStream stream, const char* text) noexcept = 0;
};

// Installs the process-wide sink (null: back to the standard streams) and returns the
// previous one. On return no emission is still using the previous sink, so the caller
// may destroy it.
DiagnosticSink* SetDiagnosticSink(DiagnosticSink* sink) noexcept;

// Emits a text as it is.
void Diagnostic(const char* text, DiagnosticStream stream = DiagnosticStream::kStandardError) noexcept;

// Emits a printf-formatted text.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void DiagnosticF(DiagnosticStream stream, const char* format, ...) noexcept;

}  // namespace seams
