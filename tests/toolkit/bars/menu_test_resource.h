// Resource ids of the menu tests' own resources (the toolbars share the toolbar tests'
// ids and bitmaps).
#include "toolbar_test_resource.h"

#define IDR_TEST_MENU 3101

#define ID_TEST_FIRST 40021
#define ID_TEST_SECOND 40022
#define ID_TEST_VIEW_BAR 40023
#define ID_TEST_VIEW_STATUS 40024
#define ID_TEST_CUSTOMIZE 40030
