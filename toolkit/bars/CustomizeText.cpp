#include "toolkit/bars/CustomizeText.h"

namespace customize_text {
const char* const kCustomize = "Customize";
const char* const kClose = "Close";
const char* const kAllCommands = "All Commands";
const char* const kNewMenu = "New Menu";
const char* const kCommands = "Commands";
const char* const kToolbars = "Toolbars";
const char* const kKeyboard = "Keyboard";
const char* const kTools = "Tools";
const char* const kUntitled = "<Untitled>";
const char* const kCategoriesLabel = "Cate&gories:";
const char* const kCommandsLabel = "Comman&ds:";
const char* const kDescriptionLabel = "Description:";
const char* const kToolbarsLabel = "Tool&bars:";
const char* const kShowTextLabels = "&Show text labels";
const char* const kRename = "Rena&me...";
const char* const kNew = "&New...";
const char* const kDelete = "&Delete";
const char* const kReset = "&Reset";
const char* const kResetAll = "Reset &All";
const char* const kToolbarName = "Toolbar Name";
const char* const kToolbarNameLabel = "&Toolbar name:";
const char* const kOk = "OK";
const char* const kCancel = "Cancel";
const char* const kResetToolbarPrompt =
    "All your changes will be lost! Do you really want to reset the toolbar '%s'?";
const char* const kResetAllPrompt =
    "All your changes will be lost! Do you really want to reset all toolbars and menus?";
const char* const kDeleteToolbarPrompt = "Do you really want to delete the toolbar '%s'?";
const char* const kSetAcceleratorFor = "Set Accelerator &for:";
const char* const kCurrentKeys = "Current Ke&ys:";
const char* const kPressNewShortcut = "Press &New Shortcut Key:";
const char* const kAssignedTo = "Assigned to:";
const char* const kAssign = "&Assign";
const char* const kRemove = "&Remove";
const char* const kDefault = "Default";
const char* const kUnassigned = "[Unassigned]";
const char* const kUnknownCommand = "????";
const char* const kResetKeyboardPrompt =
    "All your changes will be lost! Do you really want to reset the keyboard assignments?";
const char* const kMenuContents = "&Menu contents:";
const char* const kCommand = "&Command:";
const char* const kBrowse = "&...";
const char* const kArguments = "&Arguments:";
const char* const kInitialDirectory = "&Initial directory:";
const char* const kTooManyTools = "You may define up to %d tools.";
const char* const kToolsFilter =
    "Executable (*.exe)|*.exe|Command (*.com)|*.com|Information (*.pdf)|*.pdf|Batch (*.bat)|*.bat|All Files "
    "(*.*)|*.*||";
const char* const kOptions = "Options";
const char* const kShowTooltips = "Show Screen&Tips on toolbars";
const char* const kShowShortcutKeys = "Show shortcut &keys in ScreenTips";
const char* const kRecentlyUsedMenus = "Me&nus show recently used commands first";
const char* const kShowFullMenusAfterDelay = "Show f&ull menus after a short delay";
const char* const kLargeIcons = "&Large Icons";
const char* const kLook2000 = "Look &2000";
const char* const kResetUsageData = "&Reset my usage data";
const char* const kVisualizations = "&Visualizations...";
const char* const kPersonalized = "Personalized Menus and Toolbars";
const char* const kOther = "Other";
const char* const kResetUsagePrompt =
    "This will delete the record of commands you've used in this application and restore the default set of "
    "visible commands to the menus and toolbar";
const char* const kMouse = "Mouse";
const char* const kViewsLabel = "&Views:";
const char* const kNoDoubleClick = "&No double-click event";
const char* const kAssociateDoubleClick = "&Associate double-click event with:";
const char* const kEditButtonImage = "Edit Button Image";
const char* const kPictureLabel = "Picture";
const char* const kColorsLabel = "Colors";
const char* const kPreviewLabel = "Preview";
const char* const kCantCopyImage = "Can't copy bitmap image into the clipboard!";
const char* const kCantPasteImage = "Can't paste bitmap image from the clipboard!";
const char* const kButtonAppearance = "Button Appearance";
const char* const kImageOnly = "&Image only";
const char* const kTextOnly = "&Text only";
const char* const kImageAndText = "Image &and text";
const char* const kButtonText = "&Button text:";
const char* const kUseDefaultImage = "Use &Default Image: ";
const char* const kSelectUserImage = "Select &User-defined Image: ";
const char* const kImages = "Images";
const char* const kEdit = "&Edit...";
const char* const kSelectImage = "You should select an image!";
const char* const kEnterText = "You should enter a text!";
const char* const kCantCreateImage = "Can't create a new image!";
const char* const kMenu = "Menu";
const char* const kApplicationFrameMenus = "Application Frame Menus";
const char* const kShowMenusFor = "&Show Menus for:";
const char* const kContextMenus = "Context Menus";
const char* const kSelectContextMenu = "Select &context menu:";
const char* const kResetContextMenu = "R&eset";
const char* const kMenuAnimations = "&Menu animations:";
const char* const kMenuShadows = "Menu s&hadows";
const char* const kMenuHint =
    "Hint: select the context menu, change the page to \"Commands\" and drag the toolbar buttons into the "
    "menu "
    "window.";
const char* const kCantCustomizeMenus = "Can't customize menues!";
const char* const kDefaultMenu = "Default Menu";
const char* const kDefaultMenuDescription = "Default application menu. Appears when no documents are open.";
const char* const kNoContextMenu = "-------------------------";
const char* const kCantCreateContextMenu = "Can't create context menu!";
const char* const kResetMenuPrompt =
    "All your changes will be lost! Do you really want to reset the menu '%s'?";
const char* const kAnimations[4] = {"(None)", "Unfold", "Slide", "Fade"};
}  // namespace customize_text
