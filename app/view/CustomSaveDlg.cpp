#include "app/view/CustomSaveDlg.h"

#include "app/view/DocManagerEx.h"
#include "app/view/TVLView.h"
#include "options/sheet/MP3FileFormatPage.h"
#include "options/sheet/OGGFileFormatPage.h"
#include "options/sheet/WaveFileFormatPage.h"
#include "resources/SaveDialogResource.h"

#include "platform/afx/linux_headers_begin.h"
#include <cmath>
#include "audiofiles/export/ExportEncodeOptions.h"
#include "core/project/Project.h"
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr int kFileNameEdit = 1152;   // edt1
constexpr int kFileNameCombo = 1148;  // cmb13 of the explorer-style dialog
constexpr int kFileTypeCombo = 1136;  // cmb1
constexpr int kFileList = 1120;       // lst1
}  // namespace

CCustomSaveDlg::CCustomSaveDlg(const char* proposedName, const char* title, DWORD flags, HWND owner) {
  lstrcpynA(m_szFileName, proposedName ? proposedName : "", sizeof m_szFileName);
  std::vector<CDocManagerEx::Filter> filters = CDocManagerEx::SaveFilters();
  m_strFilter = CDocManagerEx::FilterText(filters);
  const std::string extension = CDocManagerEx::ExtensionOf(m_szFileName);
  m_strDefExt = extension.empty() ? "" : extension.substr(1);
  m_strTitle = title ? title : "";
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.hwndOwner = owner;
  m_ofn.hInstance = AfxGetInstanceHandle();
  m_ofn.lpstrFilter = m_strFilter.c_str();
  m_ofn.nFilterIndex = static_cast<DWORD>(CDocManagerEx::SaveFilterIndexFor(m_szFileName));
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof m_szFileName;
  m_ofn.lpstrTitle = m_strTitle.empty() ? nullptr : m_strTitle.c_str();
  m_ofn.lpstrDefExt = m_strDefExt.empty() ? nullptr : m_strDefExt.c_str();
  m_ofn.Flags = flags | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT | OFN_EXPLORER |
                OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
  m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_CUSTOM_SAVE);
  m_ofn.lpfnHook = HookProc;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
}

CCustomSaveDlg::~CCustomSaveDlg() {
  if (m_wndHook.m_hWnd) m_wndHook.Detach();
}

INT_PTR CCustomSaveDlg::DoModal() {
  const BOOL ok = ::GetSaveFileNameA(&m_ofn);
  if (m_wndHook.m_hWnd) m_wndHook.Detach();
  if (!ok) return IDCANCEL;
  // The choices made in the panels are what this save (and later exports) encode with.
  FileEncodeOptions* forSaves = GetExportEncodeOptionsCopy();
  *forSaves = m_encode;
  SetExportEncodeOptions(forSaves);
  return IDOK;
}

UINT_PTR CALLBACK CCustomSaveDlg::HookProc(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
    auto* self = reinterpret_cast<CCustomSaveDlg*>(ofn->lCustData);
    ::SetWindowLongPtrA(hook, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->OnInitDialog(hook);
    return TRUE;
  }
  auto* self = reinterpret_cast<CCustomSaveDlg*>(::GetWindowLongPtrA(hook, GWLP_USERDATA));
  if (!self) return 0;
  if (message == WM_NOTIFY) {
    auto* notify = reinterpret_cast<OFNOTIFYA*>(lParam);
    if (notify->hdr.code == CDN_TYPECHANGE) self->OnTypeChange();
    if (notify->hdr.code == CDN_INITDONE) CDocManagerEx::PlaceFileDialog(::GetParent(hook));
  } else if (message == WM_DESTROY) {
    if (self->m_wndHook.m_hWnd == hook) self->m_wndHook.Detach();
  }
  return 0;
}

void CCustomSaveDlg::OnInitDialog(HWND hook) {
  m_wndHook.Attach(hook);
  // The document's rate is what every type is offered at first.
  FileEncodeOptions* forSaves = GetExportEncodeOptionsCopy();
  if (CTVLView* view = GetActiveTVLView()) {
    if (Project* project = view->GetProject()) {
      const auto rate = static_cast<std::int32_t>(std::lround(project->GetRate()));
      forSaves->WavSampleRate = rate;
      forSaves->MP3SampleRate = rate;
      forSaves->OGGSampleRate = rate;
    }
  }
  m_encode = *forSaves;

  m_pOggPage = std::make_unique<COGGFileFormatPage>(&m_encode);
  m_pMp3Page = std::make_unique<CMP3FileFormatPage>(&m_encode);
  // The container follows the chosen file type, so the panel's own list is locked.
  m_pWavPage = std::make_unique<CWaveFileFormatPage>(&m_encode, this);
  m_pOggPage->Create(&m_wndHook);
  m_pMp3Page->Create(&m_wndHook);
  m_pWavPage->Create(&m_wndHook);

  if (HWND placeholder = ::GetDlgItem(hook, IDC_SAVE_PANELS)) {
    ::GetWindowRect(placeholder, &m_rcPanels);
    // As wide as the dialog's file list, where that is wider.
    RECT list;
    HWND fileList = ::GetDlgItem(::GetParent(hook), kFileList);
    if (fileList && ::GetWindowRect(fileList, &list) &&
        list.right - list.left > m_rcPanels.right - m_rcPanels.left)
      m_rcPanels.right = m_rcPanels.left + (list.right - list.left);
    m_bPanelsRect = TRUE;
    m_pageGroup.SetFrame(m_rcPanels);
  }
  m_pageGroup.AddPage(m_pOggPage.get());
  m_pageGroup.AddPage(m_pMp3Page.get());
  m_pageGroup.AddPage(m_pWavPage.get());
  ShowPageOfType(m_ofn.nFilterIndex > 0 ? static_cast<int>(m_ofn.nFilterIndex) - 1 : 0);
}

void CCustomSaveDlg::ShowPageOfType(int typeIndex) {
  if (typeIndex < 0) typeIndex = 0;
  const int page = PageOfType(typeIndex);
  m_pageGroup.ShowPage(page);
  if (page == 2) m_pWavPage->SelectFileFormat(typeIndex - 2);
}

void CCustomSaveDlg::OnTypeChange() {
  HWND dialog = ::GetParent(m_wndHook.m_hWnd);
  int index = static_cast<int>(::SendDlgItemMessageA(dialog, kFileTypeCombo, CB_GETCURSEL, 0, 0));
  const int count = static_cast<int>(::SendDlgItemMessageA(dialog, kFileTypeCombo, CB_GETCOUNT, 0, 0));
  if (index < 0) index = 0;
  if (count > 0) index %= count;
  ShowPageOfType(index);
  // The typed name takes the type's extension.
  HWND edit = ::GetDlgItem(dialog, kFileNameCombo);
  const int editId = edit ? kFileNameCombo : kFileNameEdit;
  if (!edit) edit = ::GetDlgItem(dialog, kFileNameEdit);
  if (!edit) return;
  char text[260] = {};
  ::GetWindowTextA(edit, text, sizeof text);
  if (!text[0]) return;
  const std::string name = CDocManagerEx::WithExtension(text, CDocManagerEx::ExtensionForTypeIndex(index));
  ::SendMessageA(dialog, CDM_SETCONTROLTEXT, editId, reinterpret_cast<LPARAM>(name.c_str()));
}
