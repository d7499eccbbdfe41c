#pragma once
// A property sheet of the system's common controls holding CPropertyPage objects:
// modal (DoModal) or modeless (Create). The sheet's window is routed through this
// object's message map from the moment the system has made it; OnInitDialog runs
// once its first page is up.
#include "platform/afx/PropertyPage.h"
#include "platform/afx/Array.h"

class CPropertySheet : public CWnd {
public:
  CPropertySheet() = default;
  explicit CPropertySheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CPropertySheet() override;

  virtual void AddPage(CPropertyPage* page);
  void RemovePage(int index);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const;
  int GetPageIndex(CPropertyPage* page) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int index);
  BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
  CWnd* GetTabControl() const;
  void SetTitle(const char* caption) {
    m_caption = caption;
    if (m_hWnd) SetWindowText(caption);
  }

  // IDOK, IDCANCEL, or -1 when the sheet could not be made.
  virtual INT_PTR DoModal();
  // A modeless sheet; it shows itself unless the style leaves WS_VISIBLE out.
  BOOL Create(CWnd* parent = nullptr, DWORD style = (DWORD)-1, DWORD exStyle = 0);
  // Presses OK, Cancel, Apply... as the user would (PSBTN_* values).
  void PressButton(int button) { SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(button)); }

  // Once the sheet and its first page exist, before the user sees them.
  virtual BOOL OnInitDialog() { return TRUE; }

  PROPSHEETHEADERA m_psh{};

protected:
  CString m_caption;
  CWnd* m_pParentWnd = nullptr;
  std::vector<CPropertyPage*> m_pages;

  // The message the sheet posts itself once the system has set it up.
  LRESULT OnSheetReady(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  void BuildHeader(DWORD extraFlags);
  HWND OwnerWindow() const;
  std::vector<PROPSHEETPAGEA> m_records;
  friend int CALLBACK AfxPropSheetCallback(HWND, UINT, LPARAM);
};

int CALLBACK AfxPropSheetCallback(HWND hwnd, UINT message, LPARAM lParam);
