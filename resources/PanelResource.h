#pragma once
// Ids of the recording control panel's template, its controls and the skin bitmaps.

#define IDD_RECORD_PANEL 10000

#define IDC_PANEL_PLAY 1058
#define IDC_PANEL_RECORD 1059
#define IDC_PANEL_PAUSE 1060
#define IDC_PANEL_STOP 1061
#define IDC_PANEL_OPTIONS 1062
#define IDC_PANEL_WIZARD 1063
#define IDC_PANEL_SEPARATOR1 1064
#define IDC_PANEL_SPEAKER 1065
#define IDC_PANEL_MICROPHONE 1066
#define IDC_PANEL_OUTPUT_VOLUME 1067
#define IDC_PANEL_INPUT_VOLUME 1068
#define IDC_PANEL_SEPARATOR2 1069
#define IDC_PANEL_TIME 1070
#define IDC_PANEL_INPUT_SOURCE 1071
#define IDC_PANEL_SEPARATOR3 1072
#define IDC_PANEL_LOOP 1076
#define IDC_PANEL_REWIND 1077
#define IDC_PANEL_FFWD 1078

// Skin: button backgrounds (kind 0 and 2, kind 1) and the small skins.
#define IDB_SKIN_FACE 157
#define IDB_SKIN_FACE_DOWN 156
#define IDB_SKIN_SMALL_WIDE 190
#define IDB_SKIN_SMALL_TALL 191
// Transport glyphs: normal, disabled, hover and mask of each button.
#define IDB_PLAY 160
#define IDB_PLAY_MASK 161
#define IDB_PLAY_DISABLED 162
#define IDB_RECORD_DISABLED 163
#define IDB_RECORD_MASK 164
#define IDB_RECORD 165
#define IDB_STOP_DISABLED 166
#define IDB_PAUSE_MASK 167
#define IDB_PAUSE_DISABLED 168
#define IDB_STOP 169
#define IDB_STOP_MASK 170
#define IDB_PAUSE 171
#define IDB_PAUSE_HOVER 198
#define IDB_STOP_HOVER 199
#define IDB_PLAY_HOVER 200
#define IDB_RECORD_HOVER 201
