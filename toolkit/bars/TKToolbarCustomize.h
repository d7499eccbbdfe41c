#pragma once
// The modeless "Customize" sheet: while it exists every toolbar and menu of the frame
// is in customize mode and the frame's other child windows are disabled. It owns the
// catalogue of commands its pages offer: named categories of button prototypes, and
// "All Commands", which holds every command once.
#include "platform/afx/Map.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/frames/TKPropertySheet.h"

class CTKCustomizePage;
class CTKToolbarsPage;
class CTKKeyboardPage;
class CTKToolsPage;
class CTKOptionsPage;
class CTKMousePage;
class CTKMenuPage;
class CTKUserTool;
class CTKToolBar;

// Bits of the sheet's flags word.
enum : UINT {
  TKCUSTOMIZE_MENU_SHADOWS = 0x1,
  TKCUSTOMIZE_TEXT_LABELS = 0x2,
  TKCUSTOMIZE_LOOK2000 = 0x4,
  TKCUSTOMIZE_MENU_ANIMATIONS = 0x8,
  TKCUSTOMIZE_NOHELP = 0x10,
  TKCUSTOMIZE_CONTEXT_HELP = 0x20,
  TKCUSTOMIZE_NOTOOLS = 0x40,
  TKCUSTOMIZE_NO_LARGE_ICONS = 0x80,
  TKCUSTOMIZE_KEEP_AMPERSANDS = 0x100,
};

// Dialog and control ids of the sheet's pages.
enum : UINT {
  IDD_TKCUSTOMIZE_COMMANDS = 16104,
  IDD_TKCUSTOMIZE_TOOLBARS = 16105,
  IDD_TKCUSTOMIZE_TOOLBAR_NAME = 16130,
  IDD_TKCUSTOMIZE_KEYBOARD = 16136,
  IDD_TKCUSTOMIZE_TOOLS = 16928,
  IDC_TKCUSTOMIZE_DESCRIPTION_KEYS = 16514,
  IDC_TKCUSTOMIZE_TOOLBAR_NAME = 16516,
  IDC_TKCUSTOMIZE_TARGET_ICON = 16526,
  IDC_TKCUSTOMIZE_ASSIGNED_TEXT = 16527,
  IDC_TKCUSTOMIZE_ASSIGNED_LABEL = 16528,
  IDC_TKCUSTOMIZE_CATEGORIES = 16601,
  IDC_TKCUSTOMIZE_COMMANDS = 16602,
  IDC_TKCUSTOMIZE_DESCRIPTION = 16603,
  IDC_TKCUSTOMIZE_TOOLBAR_LIST = 16611,
  IDC_TKCUSTOMIZE_TEXT_LABELS = 16612,
  IDC_TKCUSTOMIZE_RESET = 16613,
  IDC_TKCUSTOMIZE_RESET_ALL = 16614,
  IDC_TKCUSTOMIZE_NEW = 16615,
  IDC_TKCUSTOMIZE_RENAME = 16616,
  IDC_TKCUSTOMIZE_DELETE = 16617,
  IDC_TKCUSTOMIZE_KEY_COMMANDS = 16641,
  IDC_TKCUSTOMIZE_KEY_TARGET = 16642,
  IDC_TKCUSTOMIZE_CURRENT_KEYS = 16643,
  IDC_TKCUSTOMIZE_KEY_EDIT = 16644,
  IDC_TKCUSTOMIZE_ASSIGN = 16645,
  IDC_TKCUSTOMIZE_REMOVE = 16646,
  IDC_TKCUSTOMIZE_KEY_RESET_ALL = 16647,
  IDC_TKCUSTOMIZE_TOOLS_LIST = 16921,
  IDC_TKCUSTOMIZE_TOOL_COMMAND = 16922,
  IDC_TKCUSTOMIZE_TOOL_BROWSE = 16923,
  IDC_TKCUSTOMIZE_TOOL_ARGUMENTS = 16924,
  IDC_TKCUSTOMIZE_TOOL_DIRECTORY = 16925,
  IDC_TKCUSTOMIZE_TOOL_ARGUMENTS_MENU = 16989,
  IDC_TKCUSTOMIZE_TOOL_DIRECTORY_MENU = 16997,
};

class CTKToolbarCustomize : public CTKPropertySheet {
  DECLARE_DYNAMIC(CTKToolbarCustomize)

public:
  CTKToolbarCustomize(CFrameWnd* frame, BOOL autoSetup = FALSE,
                      UINT flags = TKCUSTOMIZE_MENU_SHADOWS | TKCUSTOMIZE_TEXT_LABELS | TKCUSTOMIZE_LOOK2000 |
                                   TKCUSTOMIZE_MENU_ANIMATIONS | TKCUSTOMIZE_NOHELP,
                      const CList<const CRuntimeClass*, const CRuntimeClass*>* extraPages = nullptr);
  ~CTKToolbarCustomize() override;

  // The modeless sheet over the frame; on success customize mode goes on.
  virtual BOOL Create();

  void AddButton(const char* category, const CTKToolbarButton& button, int index = -1);
  void AddButton(UINT category, const CTKToolbarButton& button, int index = -1);
  BOOL AddMenuCommands(HMENU menu, const char* category = nullptr);
  void SetupFromMenus();
  void AddUserTools(const char* category);

  // Each category name (in order) with its list as item data, "All Commands" last;
  // categories without a real command only when asked.
  void FillCategoriesComboBox(HWND combo, BOOL includeEmpty = TRUE) const;
  void FillCategoriesListBox(HWND list, BOOL includeEmpty = TRUE) const;
  void FillAllCommandsList(HWND list) const;
  CString GetCommandName(UINT command) const;
  const CObList* GetCategoryButtons(const char* category) const;
  const CString& GetAllCommandsName() const { return m_strAllCommands; }
  const CStringList& GetCategoryNames() const { return m_lstCategories; }

  virtual BOOL EditButtonImage(CWnd* parent, HBITMAP bitmap, int bitsPerPixel);
  virtual BOOL CheckToolsValidity(const CObList& tools);
  // A new shortcut is offered before it is assigned; TRUE takes it.
  virtual BOOL OnAssignKey(ACCEL* accel) { return TRUE; }

  // New, Rename and Delete of the user's own toolbars are offered.
  void EnableUserDefinedToolbars(BOOL enable = TRUE);
  // A toolbar was shown or hidden while the sheet is open (its own caption's X, the
  // frame's commands): the Toolbars page ticks it accordingly.
  void ShowToolBar(CTKToolBar* bar, BOOL show);

  CFrameWnd* GetFrame() const { return m_pParentFrame; }
  UINT GetFlags() const { return m_uiFlags; }
  CTKCustomizePage* GetCommandsPage() const { return m_pCustomizePage; }
  CTKToolbarsPage* GetToolbarsPage() const { return m_pToolbarsPage; }
  CTKKeyboardPage* GetKeyboardPage() const { return m_pKeyboardPage; }
  CTKToolsPage* GetToolsPage() const { return m_pToolsPage; }
  CTKOptionsPage* GetOptionsPage() const { return m_pOptionsPage; }
  CTKMousePage* GetMousePage() const { return m_pMousePage; }
  CTKMenuPage* GetMenuPage() const { return m_pMenuPage; }

  // The sheet now open, null when none.
  static CTKToolbarCustomize* GetOpenSheet() { return s_pOpenSheet; }

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
  void PostNcDestroy() override;
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnClose();
  // F1 (or the caption's "?" on a control): the frame is asked for help on the active
  // page, as the Help button does.
  LRESULT OnHelp(WPARAM wParam, LPARAM info);
  void AskFrameForHelp();
  // Customize mode on or off for the frame's bars and children.
  void EnableCustomizeMode(BOOL on);
  // Close: refused (the Tools page comes up) while the tools are not valid.
  void CloseSheet();
  BOOL IsCommandOffered(UINT command) const;
  CString ButtonText(const CTKToolbarButton& button) const;

  DECLARE_MESSAGE_MAP()

  CMap<CString, const char*, CObList*, CObList*> m_ButtonsByCategory;
  CTKCustomizePage* m_pCustomizePage = nullptr;
  CTKToolbarsPage* m_pToolbarsPage = nullptr;
  CTKKeyboardPage* m_pKeyboardPage = nullptr;
  CTKToolsPage* m_pToolsPage = nullptr;
  CTKOptionsPage* m_pOptionsPage = nullptr;
  CTKMousePage* m_pMousePage = nullptr;
  CTKMenuPage* m_pMenuPage = nullptr;
  CStringList m_lstCategories;
  CObList m_listCustomPages;
  CString m_strAllCommands;
  CFrameWnd* m_pParentFrame;
  BOOL m_bAutoSetFromMenus;
  UINT m_uiFlags;
  BOOL m_bSaveMenuAmps;

  static CTKToolbarCustomize* s_pOpenSheet;
};
