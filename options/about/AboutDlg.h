#pragma once
// The About box: the program's icon, name and version, links to its home page and its
// support mailbox, and credits to the MP3 and Ogg Vorbis libraries with their home
// pages. Each link opens its address through the shell.
#include "platform/afx/afxwin.h"
#include "resources/resource.h"
#include "toolkit/frames/TKURLLinkButton.h"

class CAboutDlg : public CDialog {
public:
  enum { IDD = IDD_ABOUTBOX };
  explicit CAboutDlg(CWnd* parent = nullptr);

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

private:
  CTKURLLinkButton m_website;
  CTKURLLinkButton m_support;
  CTKURLLinkButton m_mp3Link;
  CTKURLLinkButton m_oggLink;
};

// The application's About command: the box, modal.
INT_PTR RunAboutDialog(CWnd* parent);
