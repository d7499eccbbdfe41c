#pragma once
// The recording log: a folder tree, the sound files of the chosen folder, the playing
// file's information, and buttons to play, pause, stop and open a file in the editor.
// It opens at the output folder and plays through the player engine.
#include "options/log/LOGShellListCtrl.h"
#include "options/log/LogInfoStatic.h"
#include "resources/resource.h"
#include "toolkit/frames/TKDialog.h"
#include "toolkit/frames/TKShellTree.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include "platform/afx/linux_headers_end.h"

struct PlayerEngine;

class CLogFileDlg : public CTKDialog {
public:
  enum { IDD = IDD_LOG_FILE };
  // folder: where the list opens (the output folder). openDocument: opens a file as
  // the application's document (Edit); may be empty.
  CLogFileDlg(const std::string& folder, std::function<void(const std::string&)> openDocument,
              CWnd* parent = nullptr);
  ~CLogFileDlg() override;

  void PlaySelected();
  const CLogInfoStatic& GetInfoPanel() const { return m_info; }
  PlayerEngine* GetEngine() const { return m_pEngine; }

protected:
  BOOL OnInitDialog() override;
  void OnListDblClk(NMHDR* notify, LRESULT* result);
  void OnPlay();
  void OnPause();
  void OnStop();
  void OnEdit();
  // A state the player engine reported.
  void OnEngineState(int state);
  void OnDestroy();

  DECLARE_MESSAGE_MAP()

private:
  // Play, Edit, Pause and Stop on or off.
  void EnableButtons(bool play, bool edit, bool pause, bool stop);
  // The focused file's full path; empty when no file has the focus.
  std::string FocusedPath(std::string* name = nullptr);

  std::string m_strFolder;
  std::function<void(const std::string&)> m_openDocument;
  CLogInfoStatic m_info;
  CTKShellTree m_tree;
  CLOGShellListCtrl m_list;
  PlayerEngine* m_pEngine = nullptr;
  int m_bPaused = 0;
};
