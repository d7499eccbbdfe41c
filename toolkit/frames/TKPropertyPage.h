#pragma once
// The toolkit's property page: a page that lives with the library popup menus and
// tells a toolkit sheet when it becomes the current page.
#include "toolkit/frames/DialogHelper.h"

class CTKPropSheetCategory;

class CTKPropertyPage : public CPropertyPage {
public:
  CTKPropertyPage() : m_Impl(this) {}
  explicit CTKPropertyPage(UINT templateId, UINT captionId = 0)
      : CPropertyPage(templateId, captionId), m_Impl(this) {}
  explicit CTKPropertyPage(const DLGTEMPLATE* dialogTemplate, const char* caption = nullptr)
      : CPropertyPage(dialogTemplate, caption), m_Impl(this) {}

  BOOL OnSetActive() override;
  void SetOpenMenu(CTKPopupMenuBase* popup) { m_Impl.SetOpenMenu(popup); }
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  DialogHelper m_Impl;
  CTKPropSheetCategory* m_pCategory = nullptr;
  int m_nIcon = -1;
  int m_nSelIconNum = -1;
  HTREEITEM m_hTreeNode = nullptr;

protected:
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  BOOL OnNcActivate(BOOL active);
  void OnDestroy();

  DECLARE_MESSAGE_MAP()
};
