// Resource ids of the program.
#pragma once

#define IDR_MAINFRAME 128
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Parameter dialogs of the effects and the Locate and Select dialog.
#define IDD_ECHO 212
#define IDD_INSERT_SILENCE 213
#define IDD_LOCATE_SELECT 214
#define IDD_AMPLIFY 251

#define IDC_ECHO_DELAY 1115
#define IDC_ECHO_DELAY_SPIN 1116
#define IDC_ECHO_DECAY 1117
#define IDC_ECHO_DECAY_SPIN 1118
#define IDC_SILENCE_DURATION 1117
#define IDC_SILENCE_DURATION_SPIN 1118
#define IDC_LOCATE 1119
#define IDC_SELECT 1120
#define IDC_FROM 1121
#define IDC_FROM_SPIN 1122
#define IDC_TO 1123
#define IDC_TO_SPIN 1124
#define IDC_AMPLIFY_RATIO 1151
#define IDC_AMPLIFY_PEAK 1152
#define IDC_AMPLIFY_SLIDER 1214

// The options sheet and the other dialogs of the options library.
#include "OptionsResource.h"
