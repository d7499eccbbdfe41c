#include "options/about/AboutDlg.h"

namespace {

// The support link shows the mailbox; a click writes to it.
constexpr char kMailPrefix[] = "mailto:";

}  // namespace

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD, parent) {}

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_ABOUT_WEBSITE, m_website);
  DDX_Control(dx, IDC_ABOUT_SUPPORT, m_support);
  DDX_Control(dx, IDC_ABOUT_MP3_LINK, m_mp3Link);
  DDX_Control(dx, IDC_ABOUT_OGG_LINK, m_oggLink);
}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_support.SetLinkPrefix(kMailPrefix);
  return TRUE;
}

INT_PTR RunAboutDialog(CWnd* parent) {
  CAboutDlg dialog(parent);
  return dialog.DoModal();
}
