#pragma once
// The framework layer for OLE: initialisation, data sources and data objects, drag
// and drop, and the frames of objects active in place.
#include "platform/afx/OleInit.h"
#include "platform/afx/OleDataObject.h"
#include "platform/afx/OleDataSource.h"
#include "platform/afx/OleDropSource.h"
#include "platform/afx/OleDocIPFrameWnd.h"
#include "platform/afx/OleDropTarget.h"
#include "platform/afx/OleIPFrameWnd.h"
