// Resource ids of the program.
#pragma once

#define IDR_MAINFRAME 128
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif
#ifndef AFX_IDS_IDLEMESSAGE
#define AFX_IDS_IDLEMESSAGE 0xE001
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

// Commands of the document and the waveform view (the framework's own ids where the
// framework has one).
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_SELECT_ALL 57642
#define ID_EDIT_UNDO 57643
#define ID_EDIT_REDO 57644
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_ZOOM_IN 32830
#define ID_ZOOM_OUT 32831
#define ID_EDIT_DELETE 32832
#define ID_ZOOM_NORMAL 32833
#define ID_ZOOM_SELECTION 32834
#define ID_ZOOM_FIT 32835
#define ID_SELECT_START_TO_CURSOR 32838
#define ID_SELECT_CURSOR_TO_END 32839
#define ID_CURSOR_TO_TRACK_START 32840
#define ID_CURSOR_TO_TRACK_END 32841
#define ID_CURSOR_TO_SELECT_START 32842
#define ID_CURSOR_TO_SELECT_END 32843
#define ID_EFFECT_FADE_IN 32844
#define ID_EFFECT_FADE_OUT 32845
#define ID_VIEW_REFRESH 32846
#define ID_EFFECT_INVERT 32847
#define ID_EFFECT_REVERSE 32848
#define ID_EFFECT_NORMALIZE 32849
#define ID_FILE_SAVE_SELECTION 32861
#define ID_EDIT_TRIM 32862
#define ID_EDIT_SILENCE 32863
#define ID_CHANNEL_LEFT 32866
#define ID_CHANNEL_RIGHT 32867
#define ID_CHANNEL_BOTH 32868
#define ID_EFFECT_INSERT_SILENCE 32869
#define ID_EFFECT_ECHO 32870
#define ID_EDIT_LOCATE_SELECT 32871
#define ID_EFFECT_AMPLIFY 32917
// The view's context menu.
#define IDR_VIEW_CONTEXT 238
#define ID_VIEW_OPTIONS 32857
#define ID_VIEW_RECORD_WIZARD 32858
#define ID_SCHEDULE_SETTING 32888
// The options sheet and the other dialogs of the options library.
#include "OptionsResource.h"
// The main frame's menus, toolbars, panes and commands.
#include "MainFrameResource.h"
