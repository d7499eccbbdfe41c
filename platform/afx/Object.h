#pragma once
// The root of serialisable framework objects, with runtime classes: a class's name,
// schema and factory, so archives can store an object with its class and make it again
// when loading. Archived objects travel in the portable tier's archive bytes
// (app/settings/ArchiveBytes.h), so a runtime class is also an archive class there.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <memory>
#include "app/settings/ArchiveBytes.h"
#include "platform/afx/linux_headers_end.h"

class CObject;
class CArchive;

struct CRuntimeClass {
  const char* m_lpszClassName;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();  // null when not dynamically creatable
  const CRuntimeClass* m_pBaseClass;
  settings::ArchiveClass m_archiveClass;

  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

// Registers a runtime class with the archives when the program starts.
struct CRuntimeClassRegistrar {
  explicit CRuntimeClassRegistrar(CRuntimeClass* cls);
};

class CObject : public settings::ArchiveObject {
public:
  CObject() = default;
  ~CObject() override = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;

  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual void Serialize(CArchive& ar) {}
  BOOL IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

  static CRuntimeClass classCObject;

private:
  // The portable archive reaches the object through these.
  const settings::ArchiveClass* GetArchiveClass() const override;
  void Serialize(settings::Archive& ar) override;
};

#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)       \
public:                             \
  static CRuntimeClass class##name; \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(name) \
  DECLARE_DYNAMIC(name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(name) DECLARE_DYNCREATE(name)

#define AFX_IMPLEMENT_CLASS_(name, base, schema, create)                        \
  static std::unique_ptr<settings::ArchiveObject> afx_archive_create_##name() { \
    CObject* (*make)() = create;                                                \
    return std::unique_ptr<settings::ArchiveObject>(make ? make() : nullptr);   \
  }                                                                             \
  CRuntimeClass name::class##name = {                                           \
      #name,                                                                    \
      schema,                                                                   \
      create,                                                                   \
      RUNTIME_CLASS(base),                                                      \
      {#name, static_cast<std::uint16_t>(schema), afx_archive_create_##name}};  \
  static CRuntimeClassRegistrar afx_registrar_##name(&name::class##name);       \
  const CRuntimeClass* name::GetRuntimeClass() const { return &name::class##name; }

#define IMPLEMENT_DYNAMIC(name, base) AFX_IMPLEMENT_CLASS_(name, base, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(name, base)              \
  CObject* name::CreateObject() { return new name; } \
  AFX_IMPLEMENT_CLASS_(name, base, 0xFFFF, &name::CreateObject)

#define IMPLEMENT_SERIAL(name, base, schema)         \
  CObject* name::CreateObject() { return new name; } \
  AFX_IMPLEMENT_CLASS_(name, base, schema, &name::CreateObject)
