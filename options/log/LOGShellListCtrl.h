#pragma once
// The recording log's file list: the shell list of one folder showing only its sound
// files (MP3, OGG, WAV), with grid lines and full-row select; a double click is left to
// the dialog (it plays the file) instead of the shell.
#include "toolkit/frames/TKShellList.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

class CLOGShellListCtrl : public CTKShellList {
public:
  HRESULT ShowFolder(TKShellItemInfo* folder) override;
  // The file name of a row as the file system knows it; empty for none.
  std::string FileNameOf(int row) const;
  // Whether a name ends in one of the sound extensions.
  static bool IsSoundFileName(const std::string& name);
  bool IsRowSelected(int row) const;

  // The control's own colours, the selection's for the selected row: it stays in
  // sight while the player's buttons have the focus.
  COLORREF GetCellTextColor(int row, int column) override;
  COLORREF GetCellBkColor(int row, int column) override;

protected:
  void PreSubclassWindow() override;
  int OnCreate(LPCREATESTRUCT cs);
  // Double click and Return are not the shell's here: they go on to the dialog.
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnCustomDraw(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()
};
