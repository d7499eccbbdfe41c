#pragma once
// Child dialogs shown one at a time inside a frame rectangle of their parent, like the
// pages of a tab control: added pages are moved into the frame (centred in it or at its
// top-left), and showing one hides the one shown before.
#include "platform/afx/afxwin.h"

class CPageGroup : public CObject {
public:
  CPageGroup() = default;
  ~CPageGroup() override;
  CPageGroup(const CPageGroup&) = delete;
  CPageGroup& operator=(const CPageGroup&) = delete;

  // The frame in screen coordinates, and whether pages are centred in it; both are set
  // before pages are added.
  void SetFrame(const RECT& frame) { m_rcFrame = frame; }
  void SetCentered(bool centre) { m_bCenter = centre; }
  // Destroys and deletes the pages with the group.
  void SetAutoDelete(bool own) { m_bAutoDelete = own; }

  // Appends the page and moves it into the frame; false for a null page.
  bool AddPage(CWnd* page);
  bool SetCurPage(int index);
  // Hides the current page and shows page `index` on top; -1 shows the current page
  // (page 0 when none is current).
  bool ShowPage(int index);

  int GetCurPage() const { return m_nCurrent; }
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CWnd* GetPage(int index) const;

private:
  std::vector<CWnd*> m_pages;
  int m_nCurrent = -1;
  RECT m_rcFrame{0, 0, 0, 0};
  bool m_bCenter = false;
  bool m_bAutoDelete = false;
};
