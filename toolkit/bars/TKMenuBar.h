#pragma once
// The frame's menu drawn as a toolbar: one menu button per top-level item of the
// frame's menu, keyboard access (Alt or F10, arrows, Enter, Escape, access keys),
// switching between open menus by mouse and keys, one saved button list per menu,
// and the class-wide options of the personalised menus.
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarMenuButton.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

// A bar's button list as the menu button store keeps it, one per menu handle.
class ToolbarButtonsArchive : public CObject {
public:
  explicit ToolbarButtonsArchive(CTKToolBar& bar) : m_bar(bar) {}
  void Serialize(CArchive& ar) override { m_bar.Serialize(ar); }
  BOOL SaveTo(HMENU menu);
  BOOL LoadFrom(HMENU menu);

private:
  CTKToolBar& m_bar;
};

class CTKMenuBar : public CTKToolBar {
public:
  CTKMenuBar();
  ~CTKMenuBar() override;

  Kind LookKind() const override { return kMenuBar; }
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = kMenuBarId) override;
  BOOL CreateEx(CWnd* parent, DWORD controlStyle = 0x800,
                DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect borders = CRect(1, 1, 1, 1),
                UINT id = kMenuBarId) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  // A menu title has no tooltip: it would stand over the menu it opens.
  int OnToolHitTest(CPoint point, TOOLINFOA* info) override;
  CSize CalcLayout(DWORD mode, int length = -1) override;
  int GetRowHeight() const override;
  BOOL LoadState(const char* profile = nullptr, int index = -1, UINT id = (UINT)-1) override;
  BOOL SaveState(const char* profile = nullptr, int index = -1, UINT id = (UINT)-1) override;
  BOOL CanBeRestored() const override { return TRUE; }
  BOOL CanBeClosed() const override { return FALSE; }
  // Every document kind's menu and the frame's own menu as their resources have them.
  BOOL RestoreOriginalState() override;
  // Only the frame's own menu from its resource, shown on the bar; FALSE without one.
  BOOL RestoreDefaultMenu();
  BOOL FillButtonText(CTKToolbarButton* button) override;
  BOOL SetHotMenuIndex(int index) override;
  BOOL ProcessMnemonic(UINT key) override;
  BOOL PrevMenu() override;
  BOOL NextMenu() override;

  // Fills the bar from a menu; the current menu again without force keeps the list.
  virtual BOOL CreateFromMenu(HMENU menu, BOOL defaultMenu = FALSE, BOOL force = FALSE);
  // Called just before the frame's menu first fills the bar.
  virtual void OnDefaultMenuLoaded(HMENU) {}
  void SetDefaultMenuResId(UINT id) { m_uiDefMenuResId = id; }
  HMENU GetMenu() const { return m_hMenu; }
  HMENU GetDefaultMenu() const { return m_hDefaultMenu; }
  // Takes off a maximised MDI child's system-menu and caption buttons, which belong to
  // no menu's list; TRUE when there were any.
  BOOL TakeOffCaptionButtons();
  // The MDI frame puts a maximised child's caption buttons back.
  void PutBackCaptionButtons();
  // The index of the title whose popup is open, -1 when none.
  int GetDroppedDownIndex() const;

  static void SetShowAllCommands(BOOL on = TRUE) { s_bShowAllCommands = on; }
  static BOOL IsShowAllCommands() { return s_bShowAllCommands; }
  static void SetRecentlyUsedMenus(BOOL on = TRUE) { s_bRecentlyUsedMenus = on; }
  static void SetShowAllMenusAfterDelay(BOOL on = TRUE) { s_bShowAllMenusAfterDelay = on; }
  static void SetMenuShadows(BOOL on = TRUE) { s_bMenuShadows = on; }

  static constexpr UINT kMenuBarId = 0xE81A;

  CFrameWnd* m_pParentFrame = nullptr;
  HMENU m_hMenu = nullptr;
  HMENU m_hDefaultMenu = nullptr;
  UINT m_uiDefMenuResId = 0;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnSetFocus(CWnd* oldWnd);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseLeave();
  void OnTimer(UINT_PTR id);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnSettingChange(UINT flags, LPCSTR section);
  DECLARE_MESSAGE_MAP()

  // Opens the title's popup with its first item highlighted.
  BOOL DropDown(int index, BOOL firstItem);
  CString MenuStateKey(const char* profile) const;
  // The shared menus of the application's multi-document templates, with the
  // resource ids their lists are kept under.
  struct TemplateMenu {
    HMENU menu;
    UINT resourceId;
  };
  static std::vector<TemplateMenu> TemplateMenus();
  // The template menus and then the default menu (id 0), the lists kept in the registry.
  std::vector<TemplateMenu> StoredMenus() const;
  // The resource a stored menu comes from: the template's, or for the default menu the
  // bar's default menu resource.
  UINT ResourceIdOf(const TemplateMenu& menu) const {
    return menu.menu == m_hDefaultMenu ? m_uiDefMenuResId : menu.resourceId;
  }
  // Before a menu's list is loaded or saved: the bar's original items are the menu
  // resource's top-level items, when the workspace compares them to notice an updated
  // resource. TRUE when the resource loaded.
  BOOL SetOriginalItemsFrom(UINT resourceId);
  // Loads the menu resource again and shows it (its list kept in the store); the old
  // menu, when given, goes with its kept list. Null when the resource does not load.
  HMENU ReloadMenu(HMENU old, UINT resourceId, BOOL defaultMenu);
  // Some title other than a maximised window's buttons shows an image.
  BOOL HasImages() const;
  BOOL SaveListOf(HMENU menu) { return ToolbarButtonsArchive(*this).SaveTo(menu); }
  BOOL LoadListOf(HMENU menu) { return ToolbarButtonsArchive(*this).LoadFrom(menu); }

  BOOL m_bKeyboardSwitch = FALSE;
  static BOOL s_bShowAllCommands;
};
