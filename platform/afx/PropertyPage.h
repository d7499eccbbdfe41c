#pragma once
// One page of a property sheet: a dialog from a template that the system's property
// sheet creates, shows and hides. The sheet's notifications (becoming active, losing
// it, Apply, Cancel) arrive as the page's virtual operations.
#include "platform/afx/Dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
  CPropertyPage();
  explicit CPropertyPage(UINT templateId, UINT captionId = 0);
  // A template in memory; it must outlive the page.
  explicit CPropertyPage(const DLGTEMPLATE* dialogTemplate, const char* caption = nullptr);
  ~CPropertyPage() override;

  // The record the system's sheet makes the page from.
  PROPSHEETPAGEA m_psp{};

  // The page becomes the sheet's current one; FALSE keeps it from showing.
  virtual BOOL OnSetActive() { return TRUE; }
  // The page is left; FALSE keeps it current (a value was refused).
  virtual BOOL OnKillActive() { return UpdateData(TRUE); }
  // OK or Apply pressed; FALSE keeps the sheet open on this page.
  virtual BOOL OnApply() {
    OnOK();
    return TRUE;
  }
  virtual void OnReset() { OnCancel(); }
  // Marks the page changed (the sheet enables its Apply button).
  void SetModified(BOOL changed = TRUE);
  // The sheet holding the page, when it is one of ours.
  CPropertySheet* GetSheet() const;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  // A page has no OK or Cancel button of its own; the sheet ends.
  void OnOK() override {}
  void OnCancel() override {}

private:
  void Init(UINT captionId);
  CString m_caption;
};

// The dialog procedure of every CPropertyPage: attaches the object at WM_INITDIALOG.
INT_PTR CALLBACK AfxPropPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
