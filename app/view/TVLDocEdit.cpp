// The document's Edit, channel and Effects commands with their enable rules.
#include "app/view/ShellServices.h"
#include "app/view/TVLDoc.h"
#include "app/view/ViewInfo.h"
#include "app/view/ViewText.h"
#include "app/view/WaveFrame.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include <string>
#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectRegistry.h"
#include "audiofiles/export/ExportByExtension.h"
#include "core/instances/InstanceManager.h"
#include "core/model/TrackFactory.h"
#include "core/model/Track.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/afx/linux_headers_end.h"

namespace {
ViewInfo& Info() { return *GetViewInfo(); }

// The selected tracks that edits work on.
bool Editable(const Track* t) { return t->GetSelected() && !t->GetExcluded(); }

class WaitCursor {
public:
  WaitCursor() : m_old(::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT))) {}
  ~WaitCursor() { ::SetCursor(m_old); }

private:
  HCURSOR m_old;
};
}  // namespace

// --- undo -----------------------------------------------------------------------------

void CTVLDoc::OnEditUndo() {
  if (!m_project.GetUndoManager()->UndoAvailable()) {
    AfxMessageBox(view_text::kNothingToUndo);
    return;
  }
  m_project.Undo(GetViewInfo());
}

void CTVLDoc::OnEditRedo() {
  if (!m_project.GetUndoManager()->RedoAvailable()) {
    AfxMessageBox(view_text::kNothingToRedo);
    return;
  }
  m_project.Redo(GetViewInfo());
}

void CTVLDoc::OnUpdateUndo(CCmdUI* ui) { ui->Enable(HasCommandState(kStateIdle | kStateUndo)); }
void CTVLDoc::OnUpdateRedo(CCmdUI* ui) { ui->Enable(HasCommandState(kStateIdle | kStateRedo)); }
void CTVLDoc::OnUpdateSelectionCommand(CCmdUI* ui) {
  ui->Enable(HasCommandState(kStateIdle | kStateSelection));
}

// --- clipboard --------------------------------------------------------------------------

bool CTVLDoc::CopyToClipboard() {
  CInstanceManager* instances = GetInstanceManager();
  if (!instances) return false;
  // Taken under the running copies' lock: no two copies write the file at once.
  if (!instances->TakeClipboardOwner()) {
    AfxMessageBox(view_text::kClipboardBusy);
    return false;
  }
  WriteSelectionToFile(&m_project, 1, Info().t0, Info().t1, instances->GetSharedClipboardPath());
  instances->SetClipboardOwner(1);
  instances->BumpClipboardSerial();
  return true;
}

void CTVLDoc::OnEditCopy() {
  WaitCursor wait;
  CopyToClipboard();
}

void CTVLDoc::OnEditCut() {
  WaitCursor wait;
  SetModifiedFlag(TRUE);
  if (!CopyToClipboard()) return;
  TrackListIterator it(m_project.GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    if (!Editable(t)) continue;
    Track* piece = nullptr;
    t->Cut(Info().t0, Info().t1, &piece);
    delete piece;
  }
  Info().t1 = Info().t0;
  m_project.PushState(view_text::kCutHistory, view_text::kCut, false, GetViewInfo());
  RefreshFrame();
}

void CTVLDoc::OnEditPaste() {
  WaitCursor wait;
  CInstanceManager* instances = GetInstanceManager();
  if (!instances) return;
  if (instances->IsClipboardChanged()) {
    ClearClipboard();
    if (instances->GetClipboardOwner() != 1) return;
    if (!instances->TakeClipboardOwner()) return;
    double rate = m_project.GetRate();
    bool read = m_project.PasteFromClipboardFile(instances->GetSharedClipboardPath(), &rate);
    instances->SetClipboardOwner(1);
    if (!read) return;
    if (m_project.GetTracks()->IsEmpty()) {
      m_project.SetRate(rate);
    } else if (rate != m_project.GetRate()) {
      // Brought to the project's rate through this copy's own clipboard file.
      std::string own = instances->GetClipboardFileName();
      WriteClipboardTracksToFile(&m_project, own);
      ClearClipboard();
      m_project.PasteFromClipboardFile(own, nullptr);
    }
    instances->SyncClipboardSerial();
  }
  SetModifiedFlag(TRUE);
  m_project.Paste(GetViewInfo());
}

void CTVLDoc::OnUpdatePaste(CCmdUI* ui) {
  CInstanceManager* instances = GetInstanceManager();
  ui->Enable(HasCommandState(kStateIdle) && instances && instances->GetClipboardOwner() == 1);
}

// --- delete, trim, silence -------------------------------------------------------------

void CTVLDoc::OnEditDelete() {
  SetModifiedFlag(TRUE);
  WaitCursor wait;
  m_project.DeleteSelection(GetViewInfo());
}

void CTVLDoc::OnEditTrim() {
  if (!(Info().t0 < Info().t1)) return;
  TrackListIterator it(m_project.GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    if (!Editable(t)) continue;
    t->Clear(Info().t1, t->GetEndTime());
    t->Clear(t->GetOffset(), Info().t0);
    t->SetOffset(0.0);
  }
  Info().t0 = Info().t1 = 0.0;
  SetModifiedFlag(TRUE);
  m_project.PushState(view_text::kTrimHistory, view_text::kTrim, false, GetViewInfo());
  RefreshFrame();
}

void CTVLDoc::OnEditSilence() {
  TrackListIterator it(m_project.GetTracks());
  for (Track* t = it.First(); t; t = it.Next())
    if (Editable(t)) t->Silence(Info().t0, Info().t1);
  SetModifiedFlag(TRUE);
  m_project.PushState(view_text::SilencedHistory(Info().t1 - Info().t0, Info().t0), view_text::kSilence,
                      false, GetViewInfo());
  RefreshFrame(false);
}

// --- channels ---------------------------------------------------------------------------

bool CTVLDoc::FindChannelTracks(Track** left, Track** right) {
  *left = *right = nullptr;
  TrackListIterator it(m_project.GetTracks());
  for (Track* t = it.First(); t; t = it.Next()) {
    if (!t->GetSelected() || t->GetKind() != Track::Wave) continue;
    if (t->GetChannel() == Track::MonoChannel) {
      t->SetExcluded(false);
      if (!*left) *left = t;
    } else if (t->GetChannel() == Track::LeftChannel && !*left) {
      *left = t;
    } else if (t->GetChannel() == Track::RightChannel && !*right) {
      *right = t;
    }
  }
  return *left || *right;
}

void CTVLDoc::SetChannels(bool left, bool right) {
  Track *l, *r;
  if (!FindChannelTracks(&l, &r)) return;
  if (l) l->SetExcluded(!left);
  if (r) r->SetExcluded(!right);
  RefreshFrame(false);
}

void CTVLDoc::OnChannelLeft() { SetChannels(true, false); }
void CTVLDoc::OnChannelRight() { SetChannels(false, true); }
void CTVLDoc::OnChannelBoth() { SetChannels(true, true); }

void CTVLDoc::UpdateChannel(CCmdUI* ui, int which) {
  Track *l, *r;
  if (!FindChannelTracks(&l, &r)) {
    ui->Enable(FALSE);
    ui->SetCheck(which == 2 ? 1 : 0);
    return;
  }
  bool leftIn = !l || !l->GetExcluded();
  bool rightIn = !r || !r->GetExcluded();
  ui->Enable(TRUE);
  bool checked = which == 0 ? (leftIn && !rightIn) : which == 1 ? (rightIn && !leftIn) : (leftIn && rightIn);
  ui->SetCheck(checked ? 1 : 0);
}

void CTVLDoc::OnUpdateChannelLeft(CCmdUI* ui) { UpdateChannel(ui, 0); }
void CTVLDoc::OnUpdateChannelRight(CCmdUI* ui) { UpdateChannel(ui, 1); }
void CTVLDoc::OnUpdateChannelBoth(CCmdUI* ui) { UpdateChannel(ui, 2); }

// --- effects ----------------------------------------------------------------------------

void CTVLDoc::RunEffect(int flags, const char* name) {
  Effect* effect = FindEffect(flags, name);
  if (!effect) return;
  TrackList* tracks = m_project.GetTracks();
  int selected = 0;
  TrackListIterator it(tracks);
  for (Track* t = it.First(); t; t = it.Next())
    if (Editable(t) && t->GetKind() == Track::Wave) ++selected;
  if (selected == 0) {
    if (effect->GetEffectFlags() & Effect::EffectFlagGenerator) {
      WaveTrack* track =
          m_project.GetTrackFactory()->NewWaveTrack(m_project.GetSampleFormat(), m_project.GetRate());
      track->SetSelected(true);
      tracks->Add(track);
    } else {
      AfxMessageBox(view_text::kSelectTrackFirst);
      return;
    }
  }
  const double endBefore = tracks->GetEndTime();
  CWnd* main = AfxGetMainWnd();
  auto parent = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(main ? main->m_hWnd : nullptr));
  if (!effect->Apply(parent, flags, tracks, m_project.GetTrackFactory(), &Info().t0, &Info().t1)) return;
  SetModifiedFlag(TRUE);
  m_project.PushState(effect->GetEffectDescription(), GetEffectShortName(effect->GetEffectName()), false,
                      GetViewInfo());
  if (tracks->GetEndTime() > endBefore)
    if (CWaveFrame* frame = GetWaveFrame()) frame->ZoomToFit();
  RefreshFrame();
}

void CTVLDoc::OnFadeIn() { RunEffect(Effect::ProcessEffectFlags, "Fade In"); }
void CTVLDoc::OnFadeOut() { RunEffect(Effect::ProcessEffectFlags, "Fade Out"); }
void CTVLDoc::OnInvert() { RunEffect(Effect::ProcessEffectFlags, "Invert"); }
void CTVLDoc::OnReverse() { RunEffect(Effect::ProcessEffectFlags, "Reverse"); }
void CTVLDoc::OnNormalize() { RunEffect(Effect::ProcessEffectFlags, "Normalize..."); }
void CTVLDoc::OnEcho() { RunEffect(Effect::ProcessEffectFlags, "Echo..."); }
void CTVLDoc::OnAmplify() { RunEffect(Effect::ProcessEffectFlags, "Amplify..."); }
void CTVLDoc::OnInsertSilence() { RunEffect(Effect::GeneratorEffectFlags, "Silence"); }
void CTVLDoc::OnUpdateInsertSilence(CCmdUI* ui) { ui->Enable(HasCommandState(kStateIdle | kStateHasTracks)); }
