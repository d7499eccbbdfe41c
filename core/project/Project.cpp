#include "core/project/Project.h"

#include <vector>

#include "app/settings/SoundDeviceOptions.h"
#include "audiofiles/import/Importer.h"
#include "core/model/DirManager.h"
#include "core/model/FileName.h"
#include "core/model/SystemUtils.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "core/project/ProjectText.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/Progress.h"

namespace {

TrackList* g_clipboard = nullptr;
double g_clipboardLength = 0.0;
Project* g_clipboardProject = nullptr;

// The file's name without folder and extension.
std::string BaseName(const std::string& path) { return CFileName(path).GetName(); }

bool Selectable(const Track* t) { return t->GetSelected() && !t->GetExcluded(); }

}  // namespace

void CreateClipboardTrackList() {
  if (!g_clipboard) g_clipboard = new TrackList;
}

void ClearClipboard() {
  if (g_clipboard) g_clipboard->Clear(true);
  g_clipboardLength = 0.0;
  g_clipboardProject = nullptr;
}

void DestroyClipboardTrackList() {
  ClearClipboard();
  delete g_clipboard;
  g_clipboard = nullptr;
}

TrackList* GetClipboardTracks() { return g_clipboard; }
double GetClipboardLength() { return g_clipboardLength; }
void SetClipboardLength(double seconds) { g_clipboardLength = seconds; }

Project::Project() {
  mSampleFormat = SampleFormatFloat;
  mDirManager = new DirManager;
  mTracks = new TrackList;
  mTrackFactory = new TrackFactory(mDirManager);
  mImporter = new Importer;
  // The devices' default rate only when there are no device settings: finding it
  // opens the devices, and a new document is made at every start.
  if (const SoundDeviceOptions* options = settings::ApplicationSoundDeviceOptions()) {
    mRate = options->SampleRate;
    mSampleFormat = static_cast<SampleFormat>(options->SampleFormat);
  } else {
    mRate = GetDefaultSampleRate();
  }
}

Project::~Project() {
  mClosing = true;
  StopOwnStreamAndWait();
  mProgress.reset();
  delete mImporter;
  delete mTrackFactory;
  mTracks->Clear(true);
  delete mTracks;
  mUndoManager.ClearStates();
  if (g_clipboardProject == this) g_clipboardProject = nullptr;
  // Blocks of the clipboard or of undo states may still hold the manager; the last
  // reference deletes it.
  mDirManager->Deref();
}

bool Project::OpenFile(const std::string& fileName, std::string* errorText) {
  std::string error = project_text::kImportError;
  Track** tracks = nullptr;
  mProcessing = 0;
  int count = mImporter->Import(fileName, mTrackFactory, &tracks, error, &Project::ImportProgress, this);
  mProgress.reset();
  if (count <= 0) {
    if (errorText) *errorText = error;
    return false;
  }
  Import(fileName, tracks, count);
  return true;
}

void Project::Import(const std::string& fileName, Track** tracks, int count) {
  SelectNone();
  bool wasEmpty = mTracks->IsEmpty();
  double newRate = 0.0;
  std::string name = BaseName(fileName);
  for (int i = 0; i < count; ++i) {
    if (newRate == 0.0 && tracks[i]->GetKind() == Track::Wave)
      newRate = static_cast<WaveTrack*>(tracks[i])->GetRate();
    tracks[i]->SetSelected(true);
    tracks[i]->SetName(name);
  }
  // Every channel of the file arrives together; when they replace the project's
  // audio, a stream playing that audio must stop first.
  if (mTracks->GetWaveCount() + count > 2) StopOwnStreamAndWait();
  mTracks->AddGroup(tracks, count);
  delete[] tracks;
  if (wasEmpty && newRate > 0.0) {
    mRate = newRate;
    std::vector<int> rates = GetSupportedSampleRates();
    mRateUnsupported = 1;
    for (int r : rates)
      if (r == static_cast<int>(newRate)) mRateUnsupported = 0;
  }
}

bool Project::PasteFromClipboardFile(const std::string& fileName, double* rate) {
  CreateClipboardTrackList();
  mProcessing = 1;
  std::string error = project_text::kPasteError;
  Track** tracks = nullptr;
  int count = mImporter->Import(fileName, mTrackFactory, &tracks, error, &Project::ImportProgress, this);
  mProgress.reset();
  mProcessing = 0;
  if (count <= 0) return false;
  TrackListIterator it(g_clipboard);
  for (Track* t = it.First(); t; t = it.Next()) t->SetSelected(false);
  bool rateSet = false;
  std::string name = BaseName(fileName);
  for (int i = 0; i < count; ++i) {
    tracks[i]->SetSelected(true);
    tracks[i]->SetName(name);
    if (!rateSet && tracks[i]->GetKind() == Track::Wave) {
      if (rate) *rate = static_cast<WaveTrack*>(tracks[i])->GetRate();
      rateSet = true;
    }
  }
  g_clipboard->AddGroup(tracks, count);
  delete[] tracks;
  g_clipboardLength = g_clipboard->GetEndTime() - g_clipboard->GetStartTime();
  return true;
}

void Project::SelectNone() {
  TrackListIterator it(mTracks);
  for (Track* t = it.First(); t; t = it.Next()) t->SetSelected(false);
}

void Project::Clear() {
  StopOwnStreamAndWait();
  mTracks->Clear(true);
}

void Project::DeleteSelection(Selection* selection) {
  TrackListIterator it(mTracks);
  for (Track* t = it.First(); t; t = it.Next())
    if (Selectable(t)) t->Clear(selection->t0, selection->t1);
  selection->t1 = selection->t0;
}

void Project::Paste(Selection* selection) {
  g_clipboardProject = this;
  if (!g_clipboard || g_clipboard->IsEmpty()) return;

  // Blocks of another project's manager are copied, not shared: each project
  // deletes its own blocks.
  std::vector<WaveTrack*> locked;
  TrackListIterator clip(g_clipboard);
  for (Track* c = clip.First(); c; c = clip.Next()) {
    if (c->GetKind() == Track::Wave && c->GetDirManager() != mDirManager) {
      auto* w = static_cast<WaveTrack*>(c);
      if (w->Lock()) locked.push_back(w);
    }
  }

  bool anySelected = false;
  TrackListIterator it(mTracks);
  for (Track* t = it.First(); t; t = it.Next())
    if (Selectable(t)) anySelected = true;

  if (!anySelected) {
    std::vector<Track*> added;
    for (Track* c = clip.First(); c; c = clip.Next()) {
      if (c->GetKind() != Track::Wave) continue;
      auto* source = static_cast<WaveTrack*>(c);
      WaveTrack* t = mTrackFactory->NewWaveTrack(source->GetSampleFormat(), source->GetRate());
      t->SetLinked(source->GetLinked());
      t->SetChannel(source->GetChannel());
      t->SetName(source->GetName());
      t->Paste(0.0, source);
      t->SetSelected(true);
      added.push_back(t);
    }
    if (mTracks->GetWaveCount() + static_cast<int>(added.size()) > 2) StopOwnStreamAndWait();
    mTracks->AddGroup(added.data(), static_cast<int>(added.size()));
    selection->t0 = 0.0;
    selection->t1 = g_clipboardLength;
  } else {
    if (selection->t0 != selection->t1) DeleteSelection(selection);
    Track* c = clip.First();
    for (Track* t = it.First(); t && c; t = it.Next()) {
      if (!Selectable(t)) continue;
      t->Paste(selection->t0, c);
      c = clip.Next();
    }
    selection->t1 = selection->t0 + g_clipboardLength;
  }
  for (WaveTrack* w : locked) w->Unlock();
}

void Project::InitialUndoState(Selection* selection) {
  mUndoManager.ClearStates();
  mUndoManager.PushState(mTracks, selection->t0, selection->t1, project_text::kNewProjectState, "", false);
  mUndoManager.StateSaved();
}

void Project::PushState(const std::string& description, const std::string& shortDescription, bool consolidate,
                        Selection* selection) {
  // The history duplicates the tracks itself.
  mUndoManager.PushState(mTracks, selection->t0, selection->t1, description, shortDescription, consolidate);
  mModified = 1;
}

void Project::ModifyState(Selection* selection) {
  mUndoManager.ModifyState(mTracks, selection->t0, selection->t1);
}

void Project::PopState(TrackList* stateTracks, Selection* selection) {
  (void)selection;
  mTracks->Clear(true);
  std::vector<Track*> copies;
  TrackListIterator it(stateTracks);
  for (Track* t = it.First(); t; t = it.Next())
    if (Track* d = t->Duplicate()) copies.push_back(d);
  mTracks->AddGroup(copies.data(), static_cast<int>(copies.size()));
}

void Project::SetStateTo(int n, Selection* selection) {
  TrackList* state = mUndoManager.SetStateTo(n, &selection->t0, &selection->t1);
  if (state) PopState(state, selection);
}

bool Project::Undo(Selection* selection) {
  if (!mUndoManager.UndoAvailable()) return false;
  TrackList* state = mUndoManager.Undo(&selection->t0, &selection->t1);
  PopState(state, selection);
  return true;
}

bool Project::Redo(Selection* selection) {
  if (!mUndoManager.RedoAvailable()) return false;
  TrackList* state = mUndoManager.Redo(&selection->t0, &selection->t1);
  PopState(state, selection);
  return true;
}

void Project::ApplyDeviceOptions() {
  if (const SoundDeviceOptions* options = settings::ApplicationSoundDeviceOptions()) {
    mRate = options->SampleRate;
    mSampleFormat = static_cast<SampleFormat>(options->SampleFormat);
  }
  mModified = 0;
  mClosing = false;
}

int Project::ImportProgress(void* arg, float fraction) {
  auto* project = static_cast<Project*>(arg);
  int percent = static_cast<int>(fraction * 1000);
  if (!project->mProgress) {
    if (StopwatchElapsed() <= 500) return 0;
    project->mProgress = seams::CreateProgressWindow();
    project->mProgress->Show(project->mProcessing ? project_text::kProcessingCaption
                                                  : project_text::kImportCaption);
    project->mProgress->SetRange(0, 1000, 1);
    if (project->mProcessing) {
      project->mProgress->SetText(project_text::kProcessingText);
    } else {
      std::string format =
          project->mRawImport ? project_text::kRawFormat : project->mImporter->GetFileDescription();
      project->mProgress->SetText(project_text::ImportingText(format));
    }
  }
  project->mProgress->SetPos(percent + 1);
  project->mProgress->PumpMessages(false);
  if (percent >= 1000) {
    project->mProgress.reset();
    return 0;
  }
  if (project->mProgress->Cancelled()) {
    project->mProgress.reset();
    return 1;
  }
  return 0;
}
