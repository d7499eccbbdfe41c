// The program's one application object.
#include "app/TVLApp.h"

CTVLApp theApp;
