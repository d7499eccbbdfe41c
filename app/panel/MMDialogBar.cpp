#include "app/panel/MMDialogBar.h"

#include "app/controls/VolumeControl.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>
#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/SoundDeviceOptions.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "core/engine/AudioIO.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/afx/linux_headers_end.h"

#include <commdlg.h>

#include "app/panel/PanelText.h"
#include "app/view/ShellServices.h"
#include "app/view/TVLDoc.h"
#include "app/view/ViewInfo.h"
#include "app/view/WaveFrame.h"
#include "audiofiles/dialogs/LocateSelectDlg.h"
#include "options/sheet/OptionsCommands.h"
#include "options/sheet/OptionsHost.h"
#include "options/wizard/RecordWizardDlg.h"
#include "platform/seams/win32/Win32Paths.h"
#include "platform/seams/win32/Win32Seams.h"
#include "resources/PanelResource.h"

namespace {

const SoundDeviceOptions* DeviceOptions() { return settings::ApplicationSoundDeviceOptions(); }
FileOutputOptions* OutputOptions() {
  return const_cast<FileOutputOptions*>(GetStreamWriterSettings().output);
}

CWaveFrame* ActiveWaveFrame() {
  CTVLDoc* doc = GetActiveTVLDoc();
  return doc ? doc->GetWaveFrame() : nullptr;
}

// Where each control sits for the panel's smallest width.
struct Place {
  UINT id;
  int x, y, cx, cy;
};
constexpr Place kLayout[] = {
    {IDC_PANEL_PLAY, 0, 0, 48, 48},
    {IDC_PANEL_RECORD, 48, 0, 48, 48},
    {IDC_PANEL_PAUSE, 96, 0, 48, 48},
    {IDC_PANEL_STOP, 144, 0, 48, 48},
    {IDC_PANEL_SEPARATOR1, 192, 0, 6, 48},
    {IDC_PANEL_INPUT_SOURCE, 206, 2, 120, 20},
    {IDC_PANEL_LOOP, 206, 24, 24, 22},
    {IDC_PANEL_REWIND, 230, 24, 24, 22},
    {IDC_PANEL_FFWD, 254, 24, 24, 22},
    {IDC_PANEL_OPTIONS, 278, 24, 24, 22},
    {IDC_PANEL_WIZARD, 302, 24, 24, 22},
    {IDC_PANEL_SEPARATOR2, 330, 0, 6, 48},
    {IDC_PANEL_SPEAKER, 342, 2, 24, 22},
    {IDC_PANEL_MICROPHONE, 342, 24, 24, 22},
    {IDC_PANEL_OUTPUT_VOLUME, 366, 0, 100, 24},
    {IDC_PANEL_INPUT_VOLUME, 366, 24, 100, 24},
    {IDC_PANEL_SEPARATOR3, 466, 0, 6, 48},
    {IDC_PANEL_TIME, 476, 13, 113, 24},
};

}  // namespace

IMPLEMENT_DYNCREATE(CMMDialogBar, CTVLFixingDialogBar)

BEGIN_MESSAGE_MAP(CMMDialogBar, CTVLFixingDialogBar)
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_MESSAGE(CPopupComboButton::kChosen, OnSourceChosen)
  ON_MESSAGE(CPopupComboButton::kShown, OnSourceShown)
  ON_MESSAGE(CBitmapSlider::kSliderMoving, OnSliderMoving)
  ON_MESSAGE(CBitmapSlider::kSliderMoved, OnSliderMoved)
  ON_MESSAGE(WM_PARENTNOTIFY, OnParentNotify)
END_MESSAGE_MAP()

CMMDialogBar::CMMDialogBar() = default;

CMMDialogBar::~CMMDialogBar() {
  if (gAudioIO && m_hWnd) gAudioIO->SetControlPanel(0, 0);
  if (m_bControlsMade) SetControlPanelStop(nullptr, nullptr);
}

BOOL CMMDialogBar::Create(CWnd* parent, UINT id) {
  return Create("", parent, FALSE, MAKEINTRESOURCEA(IDD_RECORD_PANEL), WS_CHILD | WS_VISIBLE | CBRS_TOP, id);
}

BOOL CMMDialogBar::Create(const char* name, CWnd* parent, BOOL hasCaption, const char* dialogTemplate,
                          DWORD style, UINT id) {
  if (!CTVLFixingDialogBar::Create(name, parent, hasCaption, dialogTemplate, style, id)) return FALSE;
  m_templateSize.cx = std::max<int>(m_templateSize.cx, kMinWidth);
  m_templateSize.cy = std::max<int>(m_templateSize.cy, kMinHeight);
  // Laid out as a sizing bar, the bar's frame comes on top of the panel's smallest size.
  const int frameX = 2 * m_borderSize + m_captionHeight + m_edgeWidth;
  const int frameY = 2 * m_borderSize + m_edgeWidth;
  for (CSize* size : {&m_dockedHorzSize, &m_dockedVertSize, &m_floatSize}) {
    size->cx = std::max<int>(size->cx, kMinWidth + frameX);
    size->cy = std::max<int>(size->cy, kMinHeight + frameY);
  }
  ::GetClientRect(m_hWnd, &m_initialClient);
  if (!CreateControls()) return FALSE;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  LayOut(client.right, client.bottom);
  return TRUE;
}

BOOL CMMDialogBar::CreateControls() {
  struct Transport {
    CMMButton* button;
    UINT id;
    const char* tip;
  } transport[] = {
      {&m_play, IDC_PANEL_PLAY, panel_text::kTipPlay},
      {&m_record, IDC_PANEL_RECORD, panel_text::kTipRecord},
      {&m_pause, IDC_PANEL_PAUSE, panel_text::kTipPause},
      {&m_stop, IDC_PANEL_STOP, panel_text::kTipStop},
  };
  const ColorSchemeOptions& scheme = GetColorScheme();
  skin::SetSkinColor(SchemeColor(scheme.ControlBar));
  // Their images come with the colours (ApplyColorScheme, below).
  for (const Transport& t : transport) {
    if (!t.button->CreateFromControl(t.id, this, t.button == &m_pause)) return FALSE;
    t.button->SetTooltip(t.tip);
  }
  struct Small {
    CMMSmallButton* button;
    UINT id;
    const char* tip;
  } small[] = {
      {&m_options, IDC_PANEL_OPTIONS, panel_text::kTipOptions},
      {&m_wizard, IDC_PANEL_WIZARD, panel_text::kTipWizard},
      {&m_loop, IDC_PANEL_LOOP, panel_text::kTipLoop},
      {&m_rewind, IDC_PANEL_REWIND, panel_text::kTipRewind},
      {&m_ffwd, IDC_PANEL_FFWD, panel_text::kTipFfwd},
      {&m_speaker, IDC_PANEL_SPEAKER, panel_text::kTipSpeaker},
      {&m_microphone, IDC_PANEL_MICROPHONE, panel_text::kTipMicrophone},
  };
  for (const Small& s : small) {
    if (!s.button->SubclassDlgItem(s.id, this)) return FALSE;
    s.button->m_nFlatStyle = CTKButton::BUTTONSTYLE_SEMIFLAT;
    s.button->SetTipText(s.tip);
  }
  if (!m_inputSource.CreateFromControl(this, IDC_PANEL_INPUT_SOURCE, SchemeColor(scheme.LighterShade),
                                       SchemeColor(scheme.LightShade), 0, nullptr, RGB(255, 255, 255),
                                       SchemeColor(scheme.DarkShade)))
    return FALSE;
  CBitmapSlider* sliders[] = {&m_outputSlider, &m_inputSlider};
  const UINT sliderIds[] = {IDC_PANEL_OUTPUT_VOLUME, IDC_PANEL_INPUT_VOLUME};
  for (int i = 0; i < 2; ++i) {
    if (!sliders[i]->SubclassFromControl(sliderIds[i], this)) return FALSE;
    sliders[i]->SetRange(0, 1000);
    sliders[i]->SetPageSize(100);
    sliders[i]->SetMargin(4, 0, 4, 0);
    sliders[i]->SetBitmapThumb(skin::GetSmallSkin(TRUE));
  }
  const UINT separatorIds[] = {IDC_PANEL_SEPARATOR1, IDC_PANEL_SEPARATOR2, IDC_PANEL_SEPARATOR3};
  for (int i = 0; i < 3; ++i)
    if (!m_separators[i].SubclassFromControl(separatorIds[i], this)) return FALSE;
  // The time display takes the placeholder's place.
  HWND placeholder = ::GetDlgItem(m_hWnd, IDC_PANEL_TIME);
  RECT rect{0, 0, 113, 24};
  if (placeholder) {
    ::GetWindowRect(placeholder, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    ::DestroyWindow(placeholder);
  }
  if (!m_time.CreateEx(0, AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW), "", WS_CHILD | WS_VISIBLE | SS_NOTIFY,
                       rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_PANEL_TIME))))
    return FALSE;
  m_time.SetText(panel_text::kTimeZero);
  m_bControlsMade = TRUE;

  SetIdleButtons();
  ConnectEngine();
  ApplyColorScheme();
  SetControlPanelStop(m_hWnd, m_stop.m_hWnd);
  return TRUE;
}

void CMMDialogBar::ConnectEngine() {
  ReloadInputSources();
  RefreshFromMixer();
  // The engine and the view (at the end of playback) bring the panel back to idle
  // with the Stop command.
  if (gAudioIO)
    gAudioIO->SetControlPanel(seams::ToWindowHandle(m_hWnd), seams::ToWindowHandle(m_stop.m_hWnd));
}

CMMButton& CMMDialogBar::Button(UINT id) {
  switch (id) {
    case IDC_PANEL_PLAY:
      return m_play;
    case IDC_PANEL_RECORD:
      return m_record;
    case IDC_PANEL_PAUSE:
      return m_pause;
    default:
      return m_stop;
  }
}

void CMMDialogBar::EnableSmall(UINT id, BOOL enable) { ::EnableWindow(::GetDlgItem(m_hWnd, id), enable); }

void CMMDialogBar::SetIdleButtons() {
  m_stop.SetUp();
  m_stop.Disable();
  m_record.Enable();
  m_play.Enable();
  for (UINT id : {IDC_PANEL_REWIND, IDC_PANEL_FFWD, IDC_PANEL_LOOP, IDC_PANEL_OPTIONS, IDC_PANEL_WIZARD})
    EnableSmall(id, TRUE);
  m_inputSource.EnableWindow(m_inputSource.GetCount() > 0);
  m_play.SetUp();
  m_record.SetUp();
  m_pause.SetUp();
}

void CMMDialogBar::SetRecordingButtons() {
  m_play.Disable();
  m_stop.Enable();
  for (UINT id : {IDC_PANEL_REWIND, IDC_PANEL_FFWD, IDC_PANEL_OPTIONS, IDC_PANEL_WIZARD})
    EnableSmall(id, FALSE);
  m_pause.Enable();
  m_record.SetDown();
}

void CMMDialogBar::SetPlayingButtons() {
  m_stop.Enable();
  m_pause.Enable();
  m_record.Disable();
  for (UINT id : {IDC_PANEL_REWIND, IDC_PANEL_FFWD, IDC_PANEL_LOOP, IDC_PANEL_OPTIONS, IDC_PANEL_WIZARD})
    EnableSmall(id, FALSE);
  m_inputSource.EnableWindow(FALSE);
  m_play.SetDown();
}

BOOL CMMDialogBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDC_PANEL_PLAY:
      OnPlay();
      return TRUE;
    case IDC_PANEL_RECORD:
      OnRecord();
      return TRUE;
    case IDC_PANEL_PAUSE:
      OnPause();
      return TRUE;
    case IDC_PANEL_STOP:
      OnStop();
      return TRUE;
    case IDC_PANEL_OPTIONS:
      OnOptions();
      return TRUE;
    case IDC_PANEL_WIZARD:
      OnWizard();
      return TRUE;
    case IDC_PANEL_TIME:
      OnCurrentTime();
      return TRUE;
    case IDC_PANEL_SPEAKER:
      StartVolumeControl("");
      return TRUE;
    case IDC_PANEL_MICROPHONE:
      StartVolumeControl(" /r");
      return TRUE;
    case IDC_PANEL_REWIND:
      Rewind(::GetKeyState(VK_SHIFT) < 0);
      return TRUE;
    case IDC_PANEL_FFWD:
      FastForward(::GetKeyState(VK_SHIFT) < 0);
      return TRUE;
    case IDC_PANEL_LOOP:
      m_bLoop = m_loop.GetCheck() == BST_CHECKED;
      return TRUE;
    case IDC_PANEL_INPUT_SOURCE:
      return TRUE;
    default:
      return CTVLFixingDialogBar::OnCommand(wParam, lParam);
  }
}

void CMMDialogBar::OnRecord() {
  if (!gAudioIO || gAudioIO->IsBusy() || m_bStartingRecord) return;
  if (!GetCurrentProject()) {
    SetRecordingButtons();
    return;
  }
  // The new document may first ask whether to save the old one: the panel shows a
  // recording only once the user has answered and the recording starts, and a second
  // Record meanwhile (the scheduler's) starts nothing.
  m_bStartingRecord = TRUE;
  m_record.SetUp();  // a click leaves the button down
  CWinApp* app = AfxGetApp();
  CDocManager* manager = app ? app->m_pDocManager : nullptr;
  CDocTemplate* first = manager && manager->GetTemplateCount() > 0 ? manager->GetTemplate(0) : nullptr;
  const BOOL opened = first && first->OpenDocumentFile(nullptr);
  m_bStartingRecord = FALSE;
  if (!opened || gAudioIO->IsBusy()) {
    SetIdleButtons();
    return;
  }
  ::ResetViewInfo(GetViewInfo());
  Project* project = GetCurrentProject();
  if (!project) {
    SetIdleButtons();
    return;
  }
  SetRecordingButtons();
  if (IsDirectToFileMode()) {
    // A recording that cannot start leaves no recording buttons behind.
    if (gAudioIO->StartDirectToFileRecording() <= 0) SetIdleButtons();
    return;
  }
  const ViewInfo* info = GetViewInfo();
  const double t0 = info->t0;
  const double t1 = info->t0 == info->t1 ? 1e9 : info->t1;
  const SoundDeviceOptions* device = DeviceOptions();
  const int channels = device && device->ChannelCount == 1 ? 1 : 2;
  const SampleFormat format = device ? static_cast<SampleFormat>(device->SampleFormat) : SampleFormatInt16;
  const double deviceRate = device ? device->SampleRate : project->GetRate();
  std::vector<WaveTrack*> tracks;
  for (int c = 0; c < channels; ++c) {
    WaveTrack* t = project->GetTrackFactory()->NewWaveTrack(format, deviceRate);
    t->SetOffset(t0);
    t->SetRate(project->GetRate());
    if (channels == 1) {
      t->SetChannel(Track::MonoChannel);
    } else {
      t->SetChannel(c == 0 ? Track::LeftChannel : Track::RightChannel);
      t->SetLinked(c == 0);
    }
    tracks.push_back(t);
  }
  const int token = gAudioIO->StartStream(
      std::vector<WaveTrack*>(), tracks, project->GetTracks()->GetTimeTrack(), project->GetRate(), t0, t1, 0);
  CWaveFrame* wave = ActiveWaveFrame();
  if (token > 0) {
    for (WaveTrack* t : tracks) project->GetTracks()->Add(t);
    if (CTVLDoc* doc = GetActiveTVLDoc()) doc->SetModifiedFlag(TRUE);
    if (wave) {
      wave->FitTrackHeights();
      wave->SetZoom(ViewInfo::kNormalZoom);
    }
    project->SetStreamToken(token);
    return;
  }
  for (WaveTrack* t : tracks) delete t;
  if (wave) {
    wave->FitTrackHeights();
    wave->SetZoom(ViewInfo::kNormalZoom);
  }
  AfxMessageBox(panel_text::kRecordOpenError, MB_ICONEXCLAMATION);
  SetIdleButtons();
}

void CMMDialogBar::StopStream() {
  Project* project = GetCurrentProject();
  const bool editing = !IsDirectToFileMode() && project && gAudioIO &&
                       gAudioIO->IsStreamActiveToken(project->GetStreamToken()) &&
                       gAudioIO->GetNumCaptureChannels() > 0;
  SetIdleButtons();
  if (gAudioIO) gAudioIO->StopStream();
  m_play.SetUp();
  m_record.SetUp();
  m_pause.SetUp();
  m_bPaused = FALSE;
  if (gAudioIO) {
    gAudioIO->SetPaused(false);
    gAudioIO->OpenMixer();
  }
  if (editing) SaveFinishedRecording();
}

void CMMDialogBar::SaveFinishedRecording() {
  if (CWaveFrame* wave = ActiveWaveFrame()) wave->ZoomToFit();
  FileOutputOptions* output = OutputOptions();
  CTVLDoc* doc = GetActiveTVLDoc();
  if (!output || !doc || !output->bSaveFile) return;
  CString path;
  if (!output->bAutoName) {
    CWinApp* app = AfxGetApp();
    CDocManager* manager = app ? app->m_pDocManager : nullptr;
    if (!manager ||
        !manager->DoPromptFileName(path, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE,
                                   manager->GetTemplateCount() > 0 ? manager->GetTemplate(0) : nullptr))
      return;
  } else {
    std::string native;
    if (!output->MakeAutoFileName(&native, false)) return;  // the recording stays in the document
    path = seams::WindowsPathOf(native).c_str();
  }
  if (!path.IsEmpty()) doc->DoSave(path, TRUE);
}

BOOL CMMDialogBar::QueryStopRecordingToClose() {
  if (!gAudioIO || !gAudioIO->IsStreamActive() || gAudioIO->GetNumCaptureChannels() <= 0) return TRUE;
  if (AfxMessageBox(panel_text::kStopRecordingToClose, MB_YESNO | MB_ICONQUESTION) != IDYES) return FALSE;
  OnStop();
  return TRUE;
}

void CMMDialogBar::OnStop() {
  StopStream();
  if (gAudioIO) {
    if (HWND meter = seams::ToHwnd(gAudioIO->GetMeterWindow())) ::PostMessageA(meter, 0x5E0, 0, 0);
  }
}

void CMMDialogBar::OnPause() {
  if (m_bPaused) {
    m_pause.SetUp();
    m_bPaused = FALSE;
  } else {
    m_pause.SetDown();
    m_bPaused = TRUE;
  }
  if (gAudioIO) gAudioIO->SetPaused(m_bPaused != 0);
}

void CMMDialogBar::OnPlay() {
  Project* project = GetCurrentProject();
  if (!project) return;
  project->SetPlayMode(m_bLoop ? 2 : 0);
  const ViewInfo* info = GetViewInfo();
  PlayRange(info->t0, info->t1, m_bLoop);
}

void CMMDialogBar::PlayRange(double t0, double t1, BOOL loop) {
  Project* project = GetCurrentProject();
  if (!gAudioIO || gAudioIO->IsBusy() || !project) return;
  SetPlayingButtons();
  TrackList* tracks = project->GetTracks();
  const double start = tracks->GetStartTime(), end = tracks->GetEndTime();
  if (t0 == t1) {
    if (loop) {
      t0 = start;
      t1 = end;
    } else {
      t0 = std::min(std::max(t0, std::max(start, 0.0)), end);
      t1 = end;
    }
  } else {
    t0 = std::max(t0, start);
    t1 = std::min(t1, end);
  }
  if (t1 <= t0) {
    SetIdleButtons();
    return;
  }
  const int token = gAudioIO->StartStream(tracks->GetWaveTrackArray(false), std::vector<WaveTrack*>(),
                                          tracks->GetTimeTrack(), project->GetRate(), t0, t1, loop ? 1 : 0);
  if (token > 0) {
    project->SetStreamToken(token);
    return;
  }
  ::MessageBoxA(m_hWnd, panel_text::kPlayOpenError, panel_text::kErrorCaption, MB_OK | MB_ICONEXCLAMATION);
  SetIdleButtons();
}

void CMMDialogBar::Rewind(BOOL shift) {
  Project* project = GetCurrentProject();
  if (project && gAudioIO && gAudioIO->IsStreamActiveToken(project->GetStreamToken())) OnStop();
  ViewInfo* info = GetViewInfo();
  info->t0 = 0;
  if (!(shift && info->t1 >= 0)) info->t1 = 0;
  if (CWaveFrame* wave = ActiveWaveFrame()) wave->ScrollToTime(0);
}

void CMMDialogBar::FastForward(BOOL shift) {
  Project* project = GetCurrentProject();
  if (!project) return;
  if (gAudioIO && gAudioIO->IsStreamActiveToken(project->GetStreamToken())) OnStop();
  ViewInfo* info = GetViewInfo();
  info->t1 = project->GetTracks()->GetEndTime();
  if (!shift || info->t0 > info->t1) info->t0 = info->t1;
  if (CWaveFrame* wave = ActiveWaveFrame()) wave->ScrollToTime(std::max(0.0, info->t1 - 0.95 * info->screen));
}

void CMMDialogBar::OnTick() {
  double t = 0.0;
  Project* project = GetCurrentProject();
  if (gAudioIO && gAudioIO->IsStreamActive()) {
    // The engine believes a reading more than 0.1 s away from the one before only when
    // the next reading confirms it. Nothing else reads the time of a recording straight
    // into files, and readings 150 ms apart would all be held back: the first reading
    // here is confirmed by the second.
    gAudioIO->GetStreamTime();
    t = gAudioIO->GetStreamTime();
  } else if (project)
    t = GetViewInfo()->t0;
  if (std::fabs(t - m_lastShownTime) <= 0.001) return;
  const double shown = std::max(0.0, t);
  const int minutes = static_cast<int>(shown / 60);
  const int seconds = static_cast<int>(shown - minutes * 60.0);
  const int millis = static_cast<int>((shown - static_cast<int>(shown)) * 1000);
  char text[32];
  std::snprintf(text, sizeof(text), "%03d:%02d.%03d", minutes, seconds, millis);
  m_time.SetText(text);
  m_lastShownTime = t;
}

void CMMDialogBar::RefreshFromMixer() {
  if (!gAudioIO || gAudioIO->IsBusy() || m_bDragging) return;
  int source = 0;
  float input = 0, output = 0;
  gAudioIO->GetMixer(&source, &input, &output);
  const int outputPos = static_cast<int>(output * 1000 + 0.5),
            inputPos = static_cast<int>(input * 1000 + 0.5);
  if (outputPos != m_outputSlider.GetPos()) m_outputSlider.SetPos(outputPos);
  if (inputPos != m_inputSlider.GetPos()) m_inputSlider.SetPos(inputPos);
  m_nOutputPosition = outputPos;
  m_nInputPosition = inputPos;
  const std::vector<std::string> sources = gAudioIO->GetInputSources();
  if (source >= 0 && source < static_cast<int>(sources.size()))
    m_inputSource.SelectLine(sources[source].c_str());
  if (sources.empty()) m_inputSource.EnableWindow(FALSE);
}

LRESULT CMMDialogBar::OnSourceChosen(WPARAM, LPARAM index) {
  if (!gAudioIO) return 0;
  // The application's lookup of the chosen name (the first source when it knows none).
  const CString chosen = m_inputSource.GetLineText(static_cast<int>(index));
  const OptionsHost& host = GetOptionsHost();
  const int source = host.findInputSource ? host.findInputSource(chosen) : 0;
  gAudioIO->SetMixer(source, static_cast<float>(m_inputSlider.GetRatio()),
                     static_cast<float>(m_outputSlider.GetRatio()));
  return 0;
}

LRESULT CMMDialogBar::OnSourceShown(WPARAM, LPARAM) { return 0; }

void CMMDialogBar::SliderChanged(UINT id, int position) {
  if (!gAudioIO) return;
  int source = 0;
  float input = 0, output = 0;
  gAudioIO->GetMixer(&source, &input, &output);
  if (id == IDC_PANEL_OUTPUT_VOLUME) {
    output = static_cast<float>(m_outputSlider.GetRatio());
    m_nOutputPosition = position;
  } else {
    input = static_cast<float>(m_inputSlider.GetRatio());
    m_nInputPosition = position;
  }
  gAudioIO->SetMixer(source, input, output);
}

LRESULT CMMDialogBar::OnSliderMoving(WPARAM id, LPARAM position) {
  m_bDragging = TRUE;
  SliderChanged(static_cast<UINT>(id), static_cast<int>(position));
  return 0;
}

LRESULT CMMDialogBar::OnSliderMoved(WPARAM id, LPARAM position) {
  m_bDragging = FALSE;
  SliderChanged(static_cast<UINT>(id), static_cast<int>(position));
  return 0;
}

CString CMMDialogBar::GetMessageString(UINT id) const {
  const CBitmapSlider* slider = id == IDC_PANEL_OUTPUT_VOLUME  ? &m_outputSlider
                                : id == IDC_PANEL_INPUT_VOLUME ? &m_inputSlider
                                                               : nullptr;
  if (!slider) return CString();
  std::string text =
      id == IDC_PANEL_OUTPUT_VOLUME ? panel_text::kOutputVolumePrompt : panel_text::kInputVolumePrompt;
  char value[32];
  std::snprintf(value, sizeof(value), "%.2f", slider->GetRatio());
  const size_t at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, value);
  return CString(text.c_str());
}

BOOL CMMDialogBar::IsLoopPlay() const { return m_bLoop; }

void CMMDialogBar::ToggleLoopPlay() {
  m_bLoop = !m_bLoop;
  m_loop.SetCheck(m_bLoop ? BST_CHECKED : BST_UNCHECKED);
  m_loop.Invalidate(FALSE);
}

void CMMDialogBar::StartVolumeControl(const char* arguments) {
  if (StartSystemVolumeControl(arguments && *arguments)) return;
  AfxMessageBox(panel_text::kNoVolumeControl, MB_ICONINFORMATION);
}

void CMMDialogBar::ApplyColorScheme() {
  const ColorSchemeOptions& scheme = GetColorScheme();
  const COLORREF bar = SchemeColor(scheme.ControlBar);
  m_inputSource.SetColors(SchemeColor(scheme.LighterShade), SchemeColor(scheme.LightShade), 0,
                          SchemeColor(scheme.DarkShade));
  m_time.SetBkColor(RGB(0, 0, 0));
  m_time.SetFgColor(RGB(0, 255, 0));
  for (CBitmapSlider* s : {&m_outputSlider, &m_inputSlider})
    s->SetGrooveColors(bar, SchemeColor(scheme.LightShade), SchemeColor(scheme.DarkerShade));
  skin::SetSkinColor(bar);
  m_play.SetImages(IDB_PLAY, IDB_PLAY_DISABLED, IDB_PLAY_HOVER, IDB_PLAY_MASK);
  m_record.SetImages(IDB_RECORD, IDB_RECORD_DISABLED, IDB_RECORD_HOVER, IDB_RECORD_MASK);
  m_pause.SetImages(IDB_PAUSE, IDB_PAUSE_DISABLED, IDB_PAUSE_HOVER, IDB_PAUSE_MASK);
  m_stop.SetImages(IDB_STOP, IDB_STOP_DISABLED, IDB_STOP_HOVER, IDB_STOP_MASK);
  for (CBitmapSlider* s : {&m_outputSlider, &m_inputSlider}) s->SetBitmapThumb(skin::GetSmallSkin(TRUE));
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

BOOL CMMDialogBar::OnEraseBkgnd(CDC* dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  HRGN region = ::CreateRectRgnIndirect(&client);
  // The transport buttons, the selector and the time display paint all of themselves.
  for (UINT id : {IDC_PANEL_PLAY, IDC_PANEL_RECORD, IDC_PANEL_PAUSE, IDC_PANEL_STOP, IDC_PANEL_INPUT_SOURCE,
                  IDC_PANEL_TIME}) {
    HWND child = ::GetDlgItem(m_hWnd, id);
    if (!child || !::IsWindowVisible(child)) continue;
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    HRGN hole = ::CreateRectRgnIndirect(&r);
    ::CombineRgn(region, region, hole, RGN_DIFF);
    ::DeleteObject(hole);
  }
  HBRUSH bar = ::CreateSolidBrush(SchemeColor(GetColorScheme().ControlBar));
  ::FillRgn(*dc, region, bar);
  ::DeleteObject(bar);
  ::DeleteObject(region);
  return TRUE;
}

void CMMDialogBar::OnSize(UINT type, int cx, int cy) {
  Default();
  LayOut(cx, cy);
}

void CMMDialogBar::LayOut(int cx, int cy) {
  if (!m_bControlsMade) return;
  // Wider than the smallest panel: the time display and its separator keep to the
  // right edge and the volume sliders take the room between.
  const bool wide = cx > 593;
  for (const Place& p : kLayout) {
    int x = p.x, width = p.cx;
    if (wide) {
      if (p.id == IDC_PANEL_TIME) x = cx - 117;
      if (p.id == IDC_PANEL_SEPARATOR3) x = cx - 127;
      if (p.id == IDC_PANEL_OUTPUT_VOLUME || p.id == IDC_PANEL_INPUT_VOLUME) width = cx - 127 - p.x;
    }
    HWND child = ::GetDlgItem(m_hWnd, static_cast<int>(p.id));
    if (child)
      ::SetWindowPos(child, nullptr, x, p.y, width, p.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
  }
  // The controls moved without redrawing: the panel and every control paint afresh,
  // or a widened slider keeps the old pixels of what stood there before.
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CMMDialogBar::ReloadInputSources() {
  // The input sources, or a disabled selector without them.
  std::vector<std::string> sources;
  if (gAudioIO) sources = gAudioIO->GetInputSources();
  m_inputSource.RemoveAll();
  for (const std::string& s : sources) m_inputSource.AddLine(s.c_str());
  if (sources.empty()) m_inputSource.SetWindowText(panel_text::kNoInputDevice);
  m_inputSource.EnableWindow(!sources.empty());
}

INT_PTR CMMDialogBar::OnOptions() {
  const INT_PTR result = RunOptionsSheet(this);
  if (result == IDOK) {
    // The sheet saved the records and had the mixer reopened for the chosen devices.
    ReloadInputSources();
    RefreshFromMixer();
  }
  return result;
}

INT_PTR CMMDialogBar::OnWizard() { return RunRecordWizard(this); }

void CMMDialogBar::OnCurrentTime() {
  Project* project = GetCurrentProject();
  if (!project || !HasCommandState(kStateIdle | kStateHasTracks)) return;
  ViewInfo* info = GetViewInfo();
  double times[2] = {info->t0, info->t1};
  CLocateSelectDlg dialog(
      times, [project] { return project->GetTracks()->GetEndTime(); }, this);
  if (dialog.DoModal() != IDOK) return;
  info->t0 = times[0];
  info->t1 = times[1];
  if (CWaveFrame* wave = ActiveWaveFrame()) wave->RedrawAll(FALSE);
  project->ModifyState(info);
}

LRESULT CMMDialogBar::OnParentNotify(WPARAM event, LPARAM point) {
  if (LOWORD(event) == WM_LBUTTONDOWN && m_time.m_hWnd) {
    POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    RECT rect;
    ::GetWindowRect(m_time.m_hWnd, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    // Posted: the dialog opens once the press is over.
    if (::PtInRect(&rect, at))
      ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PANEL_TIME, STN_CLICKED),
                     reinterpret_cast<LPARAM>(m_time.m_hWnd));
  }
  return Default();
}

void CMMDialogBar::UpdateTransport(CCmdUI* ui, CMMButton& button) {
  ui->SetCheck(button.IsDown() ? 1 : 0);
  ui->Enable(button.IsEnabled());
}

void CMMDialogBar::OnUpdatePlay(CCmdUI* ui) { UpdateTransport(ui, m_play); }
void CMMDialogBar::OnUpdateRecord(CCmdUI* ui) { UpdateTransport(ui, m_record); }
void CMMDialogBar::OnUpdatePause(CCmdUI* ui) { UpdateTransport(ui, m_pause); }
void CMMDialogBar::OnUpdateStop(CCmdUI* ui) { UpdateTransport(ui, m_stop); }
void CMMDialogBar::OnUpdateOptions(CCmdUI* ui) { ui->Enable(::IsWindowEnabled(m_options.m_hWnd)); }
void CMMDialogBar::OnUpdateWizard(CCmdUI* ui) { ui->Enable(::IsWindowEnabled(m_wizard.m_hWnd)); }

void CMMDialogBar::OnUpdateLoopPlay(CCmdUI* ui) {
  ui->Enable(::IsWindowEnabled(m_loop.m_hWnd));
  ui->SetCheck(m_loop.GetCheck() == BST_CHECKED ? 1 : 0);
}
