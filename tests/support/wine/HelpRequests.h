#pragma once
// The program's WinHelp requests, recorded instead of starting the help program.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace helptest {

struct Request {
  HWND window;
  std::string file;
  UINT command;
  ULONG_PTR data;
};

// While one lives, every help request of the framework and the toolkit is recorded
// (and the callback, when given, runs as the request is made).
class Recorder {
public:
  explicit Recorder(std::function<void()> onRequest = nullptr) : m_old(AfxSetWinHelpFunction(Record)) {
    Requests().clear();
    Callback() = std::move(onRequest);
  }
  ~Recorder() {
    AfxSetWinHelpFunction(m_old);
    Callback() = nullptr;
  }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  static std::vector<Request>& Requests() {
    static std::vector<Request> requests;
    return requests;
  }

private:
  static std::function<void()>& Callback() {
    static std::function<void()> callback;
    return callback;
  }
  static BOOL WINAPI Record(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
    Requests().push_back(Request{window, file ? file : "", command, data});
    if (Callback()) Callback()();
    return TRUE;
  }

  AfxWinHelpFunction m_old;
};

// The program's help file, as the framework names it.
inline bool IsProgramHelpFile(const std::string& file) {
  return !file.empty() && file == static_cast<const char*>(AfxGetHelpFilePath()) && file.size() > 4 &&
         file.compare(file.size() - 4, 4, ".HLP") == 0;
}

}  // namespace helptest
