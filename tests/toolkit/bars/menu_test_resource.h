// Resource ids of the menu tests' own resources (the toolbars share the toolbar tests'
// ids and bitmaps).
#include "toolbar_test_resource.h"

#define IDR_TEST_MENU 3101

#define ID_TEST_FIRST 40021
#define ID_TEST_SECOND 40022
#define ID_TEST_VIEW_BAR 40023
#define ID_TEST_VIEW_STATUS 40024
#define ID_TEST_CUSTOMIZE 40030

// The popups that generate items: recent files and user tools.
#define IDR_ITEMS_MENU 3102
#define ID_TEST_EXIT 40031
#define ID_TEST_OPTIONS 40032
#define ID_TEST_TOOLS_ENTRY 40033
#define ID_TEST_ABOUT 40034
#define ID_TEST_TOOL_FIRST 40100

// A menu whose popup can be torn off.
#define IDR_TEAROFF_MENU 3103
#define ID_TEST_TEAROFF_FIRST 40200

// Two kinds of document with menus of their own, and the MDI frame's menu.
#define IDR_TAKE_DOC 3104
#define IDR_MARKER_DOC 3105
#define IDR_MDI_MENU 3106
#define ID_TEST_MARKER_ADD 40240
