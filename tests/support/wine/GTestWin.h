#pragma once
// GoogleTest for winelib test sources: gtest must not see the Windows platform
// macros that wineg++ predefines.
#include "platform/afx/linux_headers_begin.h"
#include <gtest/gtest.h>
#include "platform/afx/linux_headers_end.h"
#include <windows.h>
