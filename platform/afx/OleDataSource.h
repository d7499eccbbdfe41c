#pragma once
// The sending side of OLE data: an IDataObject that offers global memory cached per
// clipboard format, and starts an OLE drag and drop of it.
#include "platform/afx/OleInit.h"
#include "platform/afx/Rect.h"

// The effect of a drag: DROPEFFECT_NONE, _COPY, _MOVE, _LINK bits.
typedef DWORD DROPEFFECT;

class COleDropSource;

class COleDataSource {
public:
  COleDataSource();
  virtual ~COleDataSource();
  COleDataSource(const COleDataSource&) = delete;
  COleDataSource& operator=(const COleDataSource&) = delete;

  // Offers the memory under the format; the source owns and frees it.
  void CacheGlobalData(CLIPFORMAT format, HGLOBAL memory);
  void Empty();
  // The interface to hand to OLE (not add-referenced).
  IDataObject* GetDataObject();
  // Runs OLE's modal drag loop once the drop source agrees that a drag began; the
  // effect the drop target chose, DROPEFFECT_NONE when cancelled or refused.
  DROPEFFECT DoDragDrop(DWORD effects = DROPEFFECT_COPY | DROPEFFECT_MOVE, const RECT* startRect = nullptr,
                        COleDropSource* dropSource = nullptr);

  struct Entry {
    CLIPFORMAT format;
    HGLOBAL memory;
  };

private:
  class DataObject;
  DataObject* m_pDataObject;
};
