// The program's entry point lives in the framework: the application object, a
// global of the program, does the rest.
#include "platform/afx/WinApp.h"

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCmd) {
  return AfxWinMain(instance, previous, commandLine, showCmd);
}
