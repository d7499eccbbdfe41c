#pragma once
// The receiving side of OLE data: a view over another object's IDataObject (a drop's
// data), asking whether a format is there and reading it as global memory or as a file.
#include "platform/afx/MemFile.h"
#include "platform/afx/OleInit.h"

class COleDataObject {
public:
  COleDataObject() = default;
  ~COleDataObject() { Release(); }
  COleDataObject(const COleDataObject&) = delete;
  COleDataObject& operator=(const COleDataObject&) = delete;

  // Takes the interface (released at the end when autoRelease).
  void Attach(IDataObject* data, BOOL autoRelease = TRUE);
  IDataObject* Detach();
  void Release();
  IDataObject* GetIDataObject() const { return m_pDataObject; }

  BOOL IsDataAvailable(CLIPFORMAT format) const;
  // A copy of the data in global memory (the caller frees it); null when absent.
  HGLOBAL GetGlobalData(CLIPFORMAT format) const;
  // The data as a memory file the caller deletes; null when absent.
  CFile* GetFileData(CLIPFORMAT format) const;

private:
  IDataObject* m_pDataObject = nullptr;
  BOOL m_bAutoRelease = TRUE;
};
