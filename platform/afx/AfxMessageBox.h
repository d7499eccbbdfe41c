#pragma once
// The framework's message box. It goes through the message-box seam, so the program
// shows a real box (the Win32 service installed at start-up) and tests can answer it.
#include <windows.h>

// Prompts the framework itself shows; a string resource of the same id replaces the
// built-in text.
#define AFX_IDP_PARSE_INT 0xF110
#define AFX_IDP_PARSE_REAL 0xF111

// Shows text with the application's name as caption; returns the button pressed.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// The same with the text of a string resource (or a framework prompt above).
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
