#pragma once
// OLE on the user-interface thread: drag and drop and the clipboard's data objects
// need it. The program (and a test) calls AfxOleInit once on that thread.
#include <windows.h>
#include <ole2.h>

// Initialises OLE for the calling thread; FALSE when it failed.
BOOL AfxOleInit();
// Whether AfxOleInit succeeded on this thread (windows register as drop targets only then).
BOOL AfxOleIsInitialized();
