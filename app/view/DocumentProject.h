#pragma once
// The project held inside the document: every change of its tracks goes through the
// document, which records the undo states with their fixed texts and refreshes the
// wave frame. Its selection is the program's one view state (ViewInfo).
#include "platform/afx/linux_headers_begin.h"
#include "core/project/Project.h"
#include "platform/afx/linux_headers_end.h"

class CTVLDoc;

class DocumentProject : public Project {
public:
  explicit DocumentProject(CTVLDoc* doc) : m_pDoc(doc) {}

  // The project's import, then the undo state "Import"; the wave frame zooms to fit.
  void Import(const std::string& fileName, Track** tracks, int count) override;
  // A new project: the undo states go, the tracks go, the view state starts over,
  // and the one state "New File..." is the saved one.
  void Clear() override;
  void Paste(Selection* selection) override;
  void DeleteSelection(Selection* selection) override;
  // These pass the view state's selection whatever they are given.
  void InitialUndoState(Selection* selection) override;
  void PushState(const std::string& description, const std::string& shortDescription, bool consolidate,
                 Selection* selection) override;
  void ModifyState(Selection* selection) override;
  void PopState(TrackList* stateTracks, Selection* selection) override;
  void SetStateTo(int n, Selection* selection) override;

private:
  CTVLDoc* m_pDoc;
};
