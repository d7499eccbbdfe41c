// Resource ids of the program.
#pragma once

#define IDR_MAINFRAME 128
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif
