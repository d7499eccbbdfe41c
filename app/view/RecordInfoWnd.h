#pragma once
// The strip that the waveform view shows instead of the tracks while a recording
// goes straight into files: elapsed time, file size, encoder, input and output
// formats and the file name of the running writer.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include "platform/afx/linux_headers_end.h"

class CRecordInfoWnd : public CWnd {
public:
  CRecordInfoWnd();
  ~CRecordInfoWnd() override;
  BOOL Create(CWnd* parent, UINT id, const RECT& rect);

  // The lines the strip shows (also what it paints).
  std::string TimeLine() const;
  std::string FormatLine() const;
  std::string FileLine() const;

  // The strip's width: at least the smallest one, and wide enough that its first two
  // lines are not cut at the largest values they show (long takes, high rates).
  int FittingWidth(int smallest) const;
  // The room the lines have inside the frame, on each side.
  static constexpr int kTextInset = 2 + 8;

  // The status line of the scheduler, installed by the program; none by default.
  static void SetStatusTextSource(std::function<std::string()> source);

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }

private:
  HFONT m_hFont = nullptr;
  DECLARE_MESSAGE_MAP()
};
