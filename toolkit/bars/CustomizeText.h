#pragma once
// The texts of the customization sheet and its pages.
namespace customize_text {
extern const char* const kCustomize;
extern const char* const kClose;
extern const char* const kAllCommands;
extern const char* const kNewMenu;
extern const char* const kCommands;
extern const char* const kToolbars;
extern const char* const kKeyboard;
extern const char* const kTools;
extern const char* const kUntitled;
extern const char* const kCategoriesLabel;
extern const char* const kCommandsLabel;
extern const char* const kDescriptionLabel;
extern const char* const kToolbarsLabel;
extern const char* const kShowTextLabels;
extern const char* const kRename;
extern const char* const kNew;
extern const char* const kDelete;
extern const char* const kReset;
extern const char* const kResetAll;
extern const char* const kToolbarName;
extern const char* const kToolbarNameLabel;
extern const char* const kOk;
extern const char* const kCancel;
// "%s" is the toolbar's name.
extern const char* const kResetToolbarPrompt;
extern const char* const kResetAllPrompt;
extern const char* const kDeleteToolbarPrompt;
extern const char* const kSetAcceleratorFor;
extern const char* const kCurrentKeys;
extern const char* const kPressNewShortcut;
extern const char* const kAssignedTo;
extern const char* const kAssign;
extern const char* const kRemove;
extern const char* const kDefault;
extern const char* const kUnassigned;
extern const char* const kUnknownCommand;
extern const char* const kResetKeyboardPrompt;
extern const char* const kMenuContents;
extern const char* const kCommand;
extern const char* const kBrowse;
extern const char* const kArguments;
extern const char* const kInitialDirectory;
// "%d" is the number of tool commands.
extern const char* const kTooManyTools;
extern const char* const kToolsFilter;
extern const char* const kOptions;
extern const char* const kShowTooltips;
extern const char* const kShowShortcutKeys;
extern const char* const kRecentlyUsedMenus;
extern const char* const kShowFullMenusAfterDelay;
extern const char* const kLargeIcons;
extern const char* const kLook2000;
extern const char* const kResetUsageData;
extern const char* const kVisualizations;
extern const char* const kPersonalized;
extern const char* const kOther;
extern const char* const kResetUsagePrompt;
extern const char* const kMouse;
extern const char* const kViewsLabel;
extern const char* const kNoDoubleClick;
extern const char* const kAssociateDoubleClick;
extern const char* const kEditButtonImage;
extern const char* const kPictureLabel;
extern const char* const kColorsLabel;
extern const char* const kPreviewLabel;
extern const char* const kCantCopyImage;
extern const char* const kCantPasteImage;
// The image tools' names, in the order of their commands (Fill, Pencil, Select
// Color, Line, Rectangle, Ellipse, Copy, Paste, Clear).
extern const char* const kImageTools[9];
extern const char* const kButtonAppearance;
extern const char* const kImageOnly;
extern const char* const kTextOnly;
extern const char* const kImageAndText;
extern const char* const kButtonText;
extern const char* const kUseDefaultImage;
extern const char* const kSelectUserImage;
extern const char* const kImages;
extern const char* const kEdit;
extern const char* const kSelectImage;
extern const char* const kEnterText;
extern const char* const kCantCreateImage;
}  // namespace customize_text
