#include "options/log/LogFileDlg.h"

#include "player/PlayerEngine.h"
#include "player/PlayerMessages.h"

BEGIN_MESSAGE_MAP(CLogFileDlg, CTKDialog)
  ON_NOTIFY(NM_DBLCLK, IDC_LOG_LIST, OnListDblClk)
  ON_BN_CLICKED(IDC_LOG_PLAY, OnPlay)
  ON_BN_CLICKED(IDC_LOG_PAUSE, OnPause)
  ON_BN_CLICKED(IDC_LOG_STOP, OnStop)
  ON_BN_CLICKED(IDC_LOG_EDIT, OnEdit)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CLogFileDlg::CLogFileDlg(const std::string& folder, std::function<void(const std::string&)> openDocument,
                         CWnd* parent)
    : CTKDialog(IDD, parent), m_strFolder(folder), m_openDocument(std::move(openDocument)) {}

CLogFileDlg::~CLogFileDlg() = default;

BOOL CLogFileDlg::OnInitDialog() {
  CTKDialog::OnInitDialog();
  m_info.SubclassDlgItem(IDC_LOG_INFO, this);
  m_tree.SubclassDlgItem(IDC_LOG_TREE, this);
  m_list.SubclassDlgItem(IDC_LOG_LIST, this);
  m_tree.LinkList(&m_list);
  std::string folder = m_strFolder;
  // The shell knows a folder by its path without the closing separator.
  while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  // The tree marks the folder without telling its list; the list shows it itself.
  if (!folder.empty()) m_list.ShowFolderPath(folder.c_str());
  g_PlayerEngineWindow = m_hWnd;
  m_info.SetStateListener([this](int state) { OnEngineState(state); });
  m_pEngine = PlayerEngine_Create(m_info.m_hWnd);
  EnableButtons(true, true, false, false);
  return TRUE;
}

void CLogFileDlg::EnableButtons(bool play, bool edit, bool pause, bool stop) {
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LOG_PLAY), play);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LOG_EDIT), edit);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LOG_PAUSE), pause);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_LOG_STOP), stop);
}

std::string CLogFileDlg::FocusedPath(std::string* name) {
  const int row = m_list.GetNextItem(-1, LVNI_FOCUSED);
  const std::string file = m_list.FileNameOf(row);
  if (file.empty()) return "";
  CString folder;
  if (!m_tree.PathOfItem(folder) && !m_list.GetCurrentFolderPath(folder)) return "";
  if (name) *name = file;
  std::string path = static_cast<const char*>(folder);
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + file;
}

void CLogFileDlg::PlaySelected() {
  std::string name;
  const std::string path = FocusedPath(&name);
  if (path.empty()) return;
  m_info.SetFileName(name);
  if (m_pEngine) {
    PlayerEngine_Stop(m_pEngine);
    PlayerEngine_OpenFile(m_pEngine, path.c_str());
    PlayerEngine_Play(m_pEngine);
  }
  EnableButtons(false, false, true, true);
}

void CLogFileDlg::OnListDblClk(NMHDR*, LRESULT* result) {
  *result = 0;
  PlaySelected();
}

void CLogFileDlg::OnPlay() {
  if (m_bPaused) {
    if (m_pEngine) PlayerEngine_Play(m_pEngine);
    EnableButtons(false, false, true, true);
  } else {
    PlaySelected();
  }
  m_bPaused = 0;
}

void CLogFileDlg::OnPause() {
  if (m_pEngine) PlayerEngine_Pause(m_pEngine);
  EnableButtons(true, false, false, true);
  m_bPaused = 1;
}

void CLogFileDlg::OnStop() {
  if (m_pEngine) PlayerEngine_Stop(m_pEngine);
  EnableButtons(true, true, false, false);
  m_bPaused = 0;
}

void CLogFileDlg::OnEngineState(int state) {
  // The engine's states arrive after the commands that caused them (a new file is
  // stopped first, then played); a file that played to its end stops by itself.
  if (state == kStateStopped && !m_bPaused) EnableButtons(true, true, false, false);
  if (state == kStatePlaying) EnableButtons(false, false, true, true);
}

void CLogFileDlg::OnEdit() {
  const std::string path = FocusedPath();
  if (path.empty()) return;
  EndDialog(IDOK);
  if (m_openDocument) m_openDocument(path);
}

void CLogFileDlg::OnDestroy() {
  CTKDialog::OnDestroy();
  if (m_pEngine) {
    PlayerEngine_Destroy(m_pEngine);
    m_pEngine = nullptr;
  }
}
