#include "app/view/RecordInfoWnd.h"

#include "app/view/ShellServices.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include "app/settings/SoundDeviceOptions.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "core/engine/AudioIO.h"
#include "platform/afx/linux_headers_end.h"

namespace {
std::function<std::string()> g_statusText;
const char kNoFileName[] = "c:\\abc.mp3";

StreamFileWriter* Writer() { return gAudioIO ? gAudioIO->GetOutputWriter() : nullptr; }
}  // namespace

BEGIN_MESSAGE_MAP(CRecordInfoWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CRecordInfoWnd::CRecordInfoWnd() {
  LOGFONTA lf{};
  lf.lfHeight = 18;
  lf.lfWeight = 500;
  lstrcpyA(lf.lfFaceName, "MS Sans Serif");
  m_hFont = ::CreateFontIndirectA(&lf);
}

CRecordInfoWnd::~CRecordInfoWnd() { ::DeleteObject(m_hFont); }

void CRecordInfoWnd::SetStatusTextSource(std::function<std::string()> source) {
  g_statusText = std::move(source);
}

BOOL CRecordInfoWnd::Create(CWnd* parent, UINT id, const RECT& rect) {
  const char* cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW));
  return CWnd::Create(cls, "", WS_CHILD, rect, parent, id);
}

std::string CRecordInfoWnd::TimeLine() const {
  StreamFileWriter* writer = Writer();
  double seconds = 0;
  long long bytes = 0;
  char type[16] = "MP3";
  int outRate = 0;
  if (writer) {
    writer->GetRateAndType(&outRate, type);
    if (gAudioIO->IsStreamActive()) {
      seconds = writer->GetFileSeconds();
      bytes = writer->GetFileBytes();
    }
  }
  int total = static_cast<int>(seconds);
  char text[160];
  std::snprintf(text, sizeof text, "Time: %02d:%02d:%02d    |    File Size: %d KiloBytes    |    Encode: %s",
                total / 3600, (total / 60) % 60, total % 60, static_cast<int>(bytes / 1024), type);
  return text;
}

std::string CRecordInfoWnd::FormatLine() const {
  int inRate = 44100, inChannels = 2;
  if (const SoundDeviceOptions* options = settings::ApplicationSoundDeviceOptions()) {
    inRate = options->SampleRate;
    inChannels = options->ChannelCount;
  }
  int outRate = inRate;
  bool outStereo = inChannels == 2;
  char type[16] = "";
  if (StreamFileWriter* writer = Writer()) {
    writer->GetRateAndType(&outRate, type);
    outStereo = writer->IsStereo();
  }
  char text[160];
  std::snprintf(text, sizeof text, "Input: %d Hz  %s    |    Output: %d Hz  %s", inRate,
                inChannels == 2 ? "Stereo" : "Mono", outRate, outStereo ? "Stereo" : "Mono");
  return text;
}

std::string CRecordInfoWnd::FileLine() const {
  std::string name;
  StreamFileWriter* writer = Writer();
  // While a recording runs, the file being written; else the one the next recording
  // starts with.
  if (writer && gAudioIO->IsStreamActive() && writer->IsOpened())
    name = writer->GetCurrentName();
  else if (!writer || !writer->MakeFileName(&name))
    name.clear();
  if (name.empty()) name = kNoFileName;
  return "File Name: " + name;
}

int CRecordInfoWnd::FittingWidth(int smallest) const {
  char time[160], format[160];
  std::snprintf(time, sizeof time, "Time: %02d:%02d:%02d    |    File Size: %d KiloBytes    |    Encode: %s",
                88, 88, 88, 8888888, "MP3");
  std::snprintf(format, sizeof format, "Input: %d Hz  %s    |    Output: %d Hz  %s", 888888, "Stereo", 888888,
                "Stereo");
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = ::SelectObject(dc, m_hFont);
  int widest = 0;
  for (const char* line : {time, format}) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, line, static_cast<int>(std::strlen(line)), &size);
    widest = std::max<int>(widest, size.cx);
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  return std::max(smallest, widest + 2 * kTextInset + 4);
}

void CRecordInfoWnd::OnPaint() {
  CPaintDC paint(this);
  RECT client;
  GetClientRect(&client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;
  HDC mem = ::CreateCompatibleDC(paint.m_hDC);
  HBITMAP bitmap = CreateOffscreenBitmap(width, height);
  HGDIOBJ oldBitmap = ::SelectObject(mem, bitmap);
  const ColorSchemeOptions& scheme = GetColorScheme();
  RECT all{0, 0, width, height};
  HBRUSH bar = ::CreateSolidBrush(SchemeColor(scheme.ControlBar));
  ::FillRect(mem, &all, bar);
  ::DeleteObject(bar);
  RECT r{2, 2, width - 2, height - 2};
  HBRUSH back = ::CreateSolidBrush(SchemeColor(scheme.WaveformBackground));
  ::FillRect(mem, &r, back);
  ::DeleteObject(back);
  for (int i = 0; i < 2; ++i) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, SchemeColor(i == 0 ? scheme.LighterShade : scheme.LightShade));
    HGDIOBJ oldPen = ::SelectObject(mem, pen);
    POINT previous;
    ::MoveToEx(mem, r.left + i, r.top + i, &previous);
    ::LineTo(mem, r.right - 1 - i, r.top + i);
    ::LineTo(mem, r.right - 1 - i, r.bottom - 1 - i);
    ::LineTo(mem, r.left + i, r.bottom - 1 - i);
    ::LineTo(mem, r.left + i, r.top + i);
    ::MoveToEx(mem, previous.x, previous.y, nullptr);
    ::SelectObject(mem, oldPen);
    ::DeleteObject(pen);
  }
  ::SetTextColor(mem, SchemeColor(scheme.WaveformForeground));
  ::SetBkMode(mem, TRANSPARENT);
  HGDIOBJ oldFont = ::SelectObject(mem, m_hFont);
  std::string lines[4] = {TimeLine(), FormatLine(), FileLine(),
                          g_statusText ? g_statusText() : std::string()};
  const int band = (r.bottom - r.top - 8) / 4;
  for (int i = 0; i < 4; ++i) {
    RECT line{client.left + kTextInset, r.top + 4 + i * band, client.right - kTextInset,
              r.top + 4 + (i + 1) * band};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | (i == 2 ? DT_PATH_ELLIPSIS : 0);
    ::DrawTextA(mem, lines[i].c_str(), -1, &line, format);
  }
  ::SelectObject(mem, oldFont);
  ::BitBlt(paint.m_hDC, 0, 0, width, height, mem, 0, 0, SRCCOPY);
  ::SelectObject(mem, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(mem);
}
