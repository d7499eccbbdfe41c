#pragma once
// Style bits of toolbar buttons and status bar panes that the looks read (a toolbar
// button's nStyle, a status pane's style).

// Toolbar button states.
#ifndef TBBS_CHECKED
#define TBBS_CHECKED 0x10000
#define TBBS_PRESSED 0x20000
#define TBBS_DISABLED 0x40000
#define TBBS_INDETERMINATE 0x100000
#endif

// Status pane borders and states.
#ifndef SBPS_NOBORDERS
#define SBPS_NOBORDERS 0x100
#define SBPS_POPOUT 0x200
#endif
#ifndef SBPS_DISABLED
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000
#endif
#define SBPS_NORMAL 0
