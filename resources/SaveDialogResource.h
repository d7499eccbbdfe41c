#pragma once
// Resource ids of the save dialog's own part: the template added below the common
// save dialog's controls and the placeholder that marks where the encoding panels go.
#define IDD_CUSTOM_SAVE 202
#define IDC_SAVE_PANELS 1091
