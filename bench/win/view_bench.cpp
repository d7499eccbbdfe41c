// Figures of the waveform view under wine. Repaints: a one-hour stereo project drawn
// by the track painter into a 1200-pixel-wide memory image at zoom-to-fit and at one
// pixel per 256 samples, and one scroll step, each against the 16 ms of a 60 Hz
// frame; first (cold) paints compute the column summaries, repeated ones reuse them
// as a repaint of the view does. Opening: the project saved as WAV and MP3, each
// opened into the document of a 1200-pixel view until the view has painted, against
// the importer alone. Arguments: the project's seconds (3600), and "open" to time
// the opening too.
#include <windows.h>

#include "app/view/DCStateGuard.h"
#include "app/view/TVLDoc.h"
#include "app/view/TVLView.h"
#include "app/view/WaveFrame.h"
#include "resources/resource.h"
#include "app/view/TrackArtist.h"
#include "app/view/ViewInfo.h"

#include "platform/afx/linux_headers_begin.h"
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "audiofiles/export/ExportByExtension.h"
#include "core/model/DirManager.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "core/project/Project.h"
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr double kRate = 44100.0;
constexpr int kWidth = 1200;
constexpr int kTrackHeight = 200;
constexpr double kFrameMs = 1000.0 / 60.0;

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Mean milliseconds of count paints of the tracks with the view state.
double Paint(TrackArtist& artist, TrackList* tracks, HDC dc, const ViewInfo& info, int count) {
  RECT area{0, 0, kWidth, 2 * kTrackHeight};
  double start = Now();
  for (int i = 0; i < count; ++i) {
    CDCStateGuard guard(dc);
    artist.DrawTracks(tracks, guard, dc, area, area, info, false, false, false);
  }
  ::GdiFlush();
  return (Now() - start) / count;
}

void Report(const char* what, double ms) {
  std::printf("%-44s %8.2f ms   ratio to one 60 Hz frame %.2f\n", what, ms, ms / kFrameMs);
}

class BenchFrame : public CFrameWnd {
  DECLARE_DYNCREATE(BenchFrame)

public:
  CWaveFrame m_waveFrame;

protected:
  BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* context) override {
    return m_waveFrame.Create(this, context->m_pNewViewClass, context);
  }
};
IMPLEMENT_DYNCREATE(BenchFrame, CFrameWnd)

// Seconds to open the file into the document until its view has painted, and to
// import it alone.
void TimeOpening(const char* what, const std::string& unixPath) {
  double start = Now();
  {
    Project alone;
    if (!alone.OpenFile(unixPath)) std::printf("%s: the importer failed\n", what);
  }
  const double importer = Now() - start;

  CWinApp app("Tarvel");
  app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTVLDoc), RUNTIME_CLASS(BenchFrame),
                                            RUNTIME_CLASS(CTVLView)));
  app.OnFileNew();
  CWnd* frame = app.m_pMainWnd;
  ::SetWindowPos(frame->m_hWnd, HWND_TOP, 0, 0, 1200 + CWaveFrame::kLevelRulerWidth + 8, 600, SWP_SHOWWINDOW);
  char dosPath[MAX_PATH] = {};
  {
    if (WCHAR* dos = wine_get_dos_file_name(unixPath.c_str())) {
      ::WideCharToMultiByte(CP_ACP, 0, dos, -1, dosPath, MAX_PATH, nullptr, nullptr);
      ::HeapFree(::GetProcessHeap(), 0, dos);
    }
  }
  start = Now();
  CDocument* doc = app.OpenDocumentFile(dosPath);
  ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double opened = Now() - start;
  std::printf("%-44s %8.2f s    importer alone %.2f s, ratio %.2f%s\n", what, opened / 1000, importer / 1000,
              opened / importer, doc ? "" : " (open failed)");
  app.m_pMainWnd = nullptr;
  if (doc) doc->OnCloseDocument();
}
}  // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 3600.0;
  Project project;
  std::vector<Track*> added;
  const double build = Now();
  for (int channel = 0; channel < 2; ++channel) {
    WaveTrack* track = project.GetTrackFactory()->NewWaveTrack(SampleFormatInt16, kRate);
    track->SetChannel(channel);
    track->SetLinked(channel == 0);
    track->SetHeight(kTrackHeight);
    added.push_back(track);
  }
  const int chunk = 1 << 16;
  std::vector<float> samples(chunk);
  const long long total = static_cast<long long>(seconds * kRate);
  for (long long done = 0; done < total; done += chunk) {
    int n = static_cast<int>(std::min<long long>(chunk, total - done));
    for (int channel = 0; channel < 2; ++channel) {
      double f = channel == 0 ? 440.0 : 660.0;
      for (int i = 0; i < n; ++i)
        samples[i] = static_cast<float>(0.5 * std::sin(2 * M_PI * f * (done + i) / kRate) *
                                        (0.5 + 0.5 * std::sin(2 * M_PI * (done + i) / (kRate * 90))));
      static_cast<WaveTrack*>(added[channel])
          ->Append(reinterpret_cast<ConstSamplePtr>(samples.data()), SampleFormatFloat, n);
    }
  }
  for (Track* t : added) static_cast<WaveTrack*>(t)->Flush();
  project.GetTracks()->AddGroup(added.data(), static_cast<int>(added.size()));
  std::printf("a %.0f-second stereo project made in %.1f s\n", seconds, (Now() - build) / 1000.0);

  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kWidth, 2 * kTrackHeight);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  TrackArtist artist;
  artist.SetInset(1, 2, 2, 1);

  ViewInfo fit;
  fit.zoom = kWidth / seconds;
  fit.screen = seconds;
  fit.total = seconds;
  Report("full repaint at zoom to fit, first", Paint(artist, project.GetTracks(), dc, fit, 1));
  Report("full repaint at zoom to fit, repeated", Paint(artist, project.GetTracks(), dc, fit, 20));

  ViewInfo close;
  close.zoom = kRate / 256.0;
  close.screen = kWidth / close.zoom;
  close.total = seconds;
  close.h = seconds / 2;
  Report("full repaint at 256 samples per pixel, first", Paint(artist, project.GetTracks(), dc, close, 1));
  Report("full repaint at 256 samples per pixel, again", Paint(artist, project.GetTracks(), dc, close, 20));
  // One scroll step: a twentieth of the page to the right, then the repaint.
  double scroll = 0;
  for (int i = 0; i < 20; ++i) {
    close.h += close.screen / 20;
    scroll += Paint(artist, project.GetTracks(), dc, close, 1);
  }
  Report("scroll step at 256 samples per pixel", scroll / 20);

  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);

  if (argc > 2 && std::string(argv[2]) == "open") {
    const std::string folder = DirManager::GetTempDir();
    for (const char* ext : {"wav", "mp3"}) {
      std::string path = folder + "/view_bench_open." + ext;
      double start = Now();
      if (!ExportByExtension(&project, 0, 0.0, seconds, path)) {
        std::printf("saving %s failed\n", path.c_str());
        continue;
      }
      std::printf("saved as %s in %.1f s\n", ext, (Now() - start) / 1000);
      TimeOpening((std::string("open ") + ext + " until the view has painted").c_str(), path);
      std::remove(path.c_str());
    }
  }
  return 0;
}
