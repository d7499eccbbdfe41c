#include "app/view/ViewInfo.h"

void ResetViewInfo(ViewInfo* info) { *info = ViewInfo(); }
