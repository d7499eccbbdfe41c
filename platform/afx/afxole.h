#pragma once
// The framework layer for OLE: initialisation, data sources and data objects, and
// drag and drop.
#include "platform/afx/OleInit.h"
#include "platform/afx/OleDataObject.h"
#include "platform/afx/OleDataSource.h"
#include "platform/afx/OleDropSource.h"
#include "platform/afx/OleDropTarget.h"
