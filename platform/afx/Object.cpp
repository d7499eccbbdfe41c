#include "platform/afx/Object.h"

#include "platform/afx/Archive.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include "platform/afx/linux_headers_end.h"

CRuntimeClass CObject::classCObject = {"CObject", 0xFFFF, nullptr, nullptr, {"CObject", 0xFFFF, nullptr}};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return TRUE;
  return FALSE;
}

CRuntimeClassRegistrar::CRuntimeClassRegistrar(CRuntimeClass* cls) {
  if (cls->m_pfnCreateObject) settings::RegisterArchiveClass(&cls->m_archiveClass);
}

const settings::ArchiveClass* CObject::GetArchiveClass() const {
  const CRuntimeClass* cls = GetRuntimeClass();
  return cls->m_pfnCreateObject ? &cls->m_archiveClass : nullptr;
}

void CObject::Serialize(settings::Archive& ar) {
  CArchive view(&ar);
  Serialize(view);
}
