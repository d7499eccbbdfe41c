#include "toolkit/frames/TKKeyboardManager.h"

#include "platform/afx/DocManager.h"
#include "platform/afx/DocTemplate.h"
#include "platform/afx/Document.h"
#include "platform/afx/MDIChildWnd.h"
#include "platform/afx/View.h"
#include "toolkit/frames/TKRegistry.h"

#include "platform/afx/linux_headers_begin.h"
#include <cctype>
#include <cstdlib>
#include <vector>
#include "platform/afx/linux_headers_end.h"

CTKKeyboardManager* g_pKeyboardManager = nullptr;
CList<UINT, UINT> CTKKeyboardManager::s_nonCustomizableCommands;
BOOL CTKKeyboardManager::s_layoutLetters = FALSE;

static_assert(sizeof(ACCEL) == 6, "stored shortcuts are 6-byte records");

CTKKeyboardManager::~CTKKeyboardManager() { CleanUp(); }

void CTKKeyboardManager::ForgetTable(HACCEL table) {
  // A copy of a replaced table must not outlive it: its handle may come back for
  // another table.
  if (table && (m_frameCache.table == table || m_defaultCache.table == table)) CleanUp();
}

void CTKKeyboardManager::CleanUp() {
  for (Cache* cache : {&m_frameCache, &m_defaultCache}) {
    delete[] cache->records;
    *cache = Cache{};
  }
}

CFrameWnd* CTKKeyboardManager::MainFrame() { return dynamic_cast<CFrameWnd*>(AfxGetMainWnd()); }

BOOL CTKKeyboardManager::SaveTable(const CString& path, int id, HACCEL table) {
  CString key;
  key.Format("%sTKKeyboard-%d", static_cast<const char*>(path), id);
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  if (!reg.CreateKey(key)) return FALSE;
  int count = ::CopyAcceleratorTableA(table, nullptr, 0);
  std::vector<ACCEL> records(count > 0 ? count : 0);
  if (count > 0) ::CopyAcceleratorTableA(table, records.data(), count);
  return reg.WriteBinary("Accelerators", reinterpret_cast<const BYTE*>(records.data()),
                         static_cast<UINT>(records.size() * sizeof(ACCEL)));
}

HACCEL CTKKeyboardManager::LoadTable(const CString& path, int id) {
  CString key;
  key.Format("%sTKKeyboard-%d", static_cast<const char*>(path), id);
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  if (!reg.Open(key)) return nullptr;
  BYTE* data = nullptr;
  UINT size = 0;
  if (!reg.ReadBinary("Accelerators", data, size)) return nullptr;
  int count = static_cast<int>(size / sizeof(ACCEL));  // a partial record at the end is ignored
  ACCEL* records = reinterpret_cast<ACCEL*>(data);
  for (int i = 0; i < count; ++i)
    if (s_nonCustomizableCommands.Find(records[i].cmd)) records[i].cmd = 0;
  HACCEL table = count > 0 ? ::CreateAcceleratorTableA(records, count) : nullptr;
  std::free(data);
  return table;
}

CList<CMultiDocTemplate*, CMultiDocTemplate*>& CTKKeyboardManager::TemplatesWithTables() {
  static CList<CMultiDocTemplate*, CMultiDocTemplate*> templates;
  templates.RemoveAll();
  CWinApp* app = AfxGetApp();
  CDocManager* manager = app ? app->m_pDocManager : nullptr;
  for (int i = 0; manager && i < manager->GetTemplateCount(); ++i)
    if (auto* docTemplate = dynamic_cast<CMultiDocTemplate*>(manager->GetTemplate(i));
        docTemplate && docTemplate->m_hAccelTable)
      templates.AddTail(docTemplate);
  return templates;
}

BOOL CTKKeyboardManager::SaveState(const char* path, CFrameWnd* frame) {
  CString regPath = GetRegistryPath("TKKeyboardManager", path);
  auto& templates = TemplatesWithTables();
  for (POSITION pos = templates.GetHeadPosition(); pos;) {
    CMultiDocTemplate* docTemplate = templates.GetNext(pos);
    SaveTable(regPath, static_cast<int>(docTemplate->GetResourceId()), docTemplate->m_hAccelTable);
  }
  if (!frame) frame = MainFrame();
  if (frame && frame->m_hAccelTable) SaveTable(regPath, 0, frame->m_hAccelTable);
  return TRUE;
}

// A table loaded from the registry or the resources is installed as a copy of the
// caller's own, so that replacing it later may destroy it.
BOOL CTKKeyboardManager::InstallLoaded(HACCEL loaded, CMultiDocTemplate* docTemplate, CFrameWnd* frame) {
  if (!loaded) return FALSE;
  int count = ::CopyAcceleratorTableA(loaded, nullptr, 0);
  std::vector<ACCEL> records(count > 0 ? count : 0);
  if (count > 0) ::CopyAcceleratorTableA(loaded, records.data(), count);
  return UpdateAcceleratorTable(docTemplate, records.data(), count, frame);
}

BOOL CTKKeyboardManager::LoadState(const char* path, CFrameWnd* frame) {
  CString regPath = GetRegistryPath("TKKeyboardManager", path);
  auto& templates = TemplatesWithTables();
  for (POSITION pos = templates.GetHeadPosition(); pos;) {
    CMultiDocTemplate* docTemplate = templates.GetNext(pos);
    if (HACCEL table = LoadTable(regPath, static_cast<int>(docTemplate->GetResourceId()))) {
      InstallLoaded(table, docTemplate, frame);
      ::DestroyAcceleratorTable(table);
    }
  }
  if (!frame) frame = MainFrame();
  if (frame && frame->m_hAccelTable) {
    if (HACCEL table = LoadTable(regPath, 0)) {
      InstallLoaded(table, nullptr, frame);
      ::DestroyAcceleratorTable(table);
    }
  }
  return TRUE;
}

BOOL CTKKeyboardManager::UpdateAcceleratorTable(const ACCEL* records, int count, CFrameWnd* frame) {
  return UpdateAcceleratorTable(nullptr, records, count, frame);
}

BOOL CTKKeyboardManager::UpdateAcceleratorTable(CMultiDocTemplate* docTemplate, const ACCEL* records,
                                                int count, CFrameWnd* frame) {
  HACCEL table = ::CreateAcceleratorTableA(const_cast<ACCEL*>(records), count);
  if (!table) return FALSE;
  if (docTemplate) {
    HACCEL old = docTemplate->m_hAccelTable;
    docTemplate->m_hAccelTable = table;
    for (int i = 0; i < docTemplate->GetDocumentCount(); ++i) {
      CDocument* doc = docTemplate->GetDocument(i);
      for (int v = 0; doc && v < doc->GetViewCount(); ++v) {
        auto* child = dynamic_cast<CMDIChildWnd*>(doc->GetView(v)->GetParentFrame());
        if (child && child->m_hAccelShared == old) child->m_hAccelShared = table;
      }
    }
    ForgetTable(old);
    if (old) ::DestroyAcceleratorTable(old);
    return TRUE;
  }
  if (!frame) frame = MainFrame();
  if (!frame) {
    ::DestroyAcceleratorTable(table);
    return FALSE;
  }
  HACCEL old = frame->m_hAccelTable;
  frame->m_hAccelTable = table;
  ForgetTable(old);
  if (old) ::DestroyAcceleratorTable(old);
  return TRUE;
}

BOOL CTKKeyboardManager::RestoreDefaults() {
  auto& templates = TemplatesWithTables();
  for (POSITION pos = templates.GetHeadPosition(); pos;) {
    CMultiDocTemplate* docTemplate = templates.GetNext(pos);
    InstallLoaded(::LoadAcceleratorsA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(docTemplate->GetResourceId())),
                  docTemplate, nullptr);
  }
  CFrameWnd* frame = MainFrame();
  if (!frame || !frame->m_hAccelTable || !frame->GetResourceId()) return FALSE;
  return InstallLoaded(::LoadAcceleratorsA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(frame->GetResourceId())),
                       nullptr, frame);
}

const CTKKeyboardManager::Cache* CTKKeyboardManager::CachedTable(CFrameWnd* frame, BOOL defaultTable) {
  if (!frame) return nullptr;
  HACCEL table = defaultTable ? frame->GetDefaultAccelerator() : frame->m_hAccelTable;
  if (!table) return nullptr;
  Cache& cache = defaultTable ? m_defaultCache : m_frameCache;
  if (cache.table != table) {
    delete[] cache.records;
    cache.count = ::CopyAcceleratorTableA(table, nullptr, 0);
    cache.records = new ACCEL[cache.count > 0 ? cache.count : 1];
    ::CopyAcceleratorTableA(table, cache.records, cache.count);
    cache.table = table;
  }
  return &cache;
}

BOOL CTKKeyboardManager::FindAcceleratorText(UINT command, CString& text, CFrameWnd* frame,
                                             BOOL defaultTable) {
  text.Empty();
  const Cache* cache = CachedTable(frame, defaultTable);
  if (!cache) return FALSE;
  for (int i = 0; i < cache->count; ++i) {
    if (cache->records[i].cmd == command) {
      text = ShortcutText(cache->records[i]);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CTKKeyboardManager::IsKeyUsed(WORD key, BYTE flags, CFrameWnd* frame, BOOL defaultTable) {
  const Cache* cache = CachedTable(frame, defaultTable);
  if (!cache) return FALSE;
  for (int i = 0; i < cache->count; ++i)
    if (cache->records[i].key == key && cache->records[i].fVirt == flags) return TRUE;
  return FALSE;
}

UINT CTKKeyboardManager::KeyToUpperChar(UINT key) {
  bool altDown = (::GetKeyState(VK_MENU) & 0x8000) != 0;
  if ((key >= VK_NUMPAD0 && key <= VK_NUMPAD9 && !altDown) || (key >= 'A' && key <= 'Z' && s_layoutLetters)) {
    BYTE state[256];
    ::GetKeyboardState(state);
    WORD chars = 0;
    HKL layout = ::GetKeyboardLayout(0);
    if (::ToAsciiEx(key, ::MapVirtualKeyExA(key, 0, layout), state, &chars, 0, layout) == 1) {
      char text[2] = {static_cast<char>(chars & 0xFF), 0};
      ::CharUpperA(text);
      return static_cast<BYTE>(text[0]);
    }
    return key;
  }
  return altDown ? key : static_cast<UINT>(std::toupper(static_cast<int>(key)));
}

CString CTKKeyboardManager::ShortcutText(const ACCEL& accel) {
  CString text;
  if (accel.fVirt & FCONTROL) text += "Ctrl+";
  if (accel.fVirt & FSHIFT) text += "Shift+";
  if (accel.fVirt & FALT) text += "Alt+";
  if (!(accel.fVirt & FVIRTKEY)) {
    text += static_cast<char>(accel.key);
    return text;
  }
  UINT key = accel.key;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    text += static_cast<char>(key);
  } else if (key >= VK_F1 && key <= VK_F24) {
    CString f;
    f.Format("F%u", key - VK_F1 + 1);
    text += f;
  } else {
    LONG scan = static_cast<LONG>(::MapVirtualKeyA(key, 0)) << 16;
    // Keys of the extended block are named as such, not as their numpad twins.
    if ((key >= VK_PRIOR && key <= VK_HELP) || key == VK_DIVIDE) scan |= 1 << 24;
    char name[64] = "";
    if (::GetKeyNameTextA(scan, name, sizeof name) > 0) {
      text += name;
    } else {
      CString code;
      code.Format("#%u", key);
      text += code;
    }
  }
  return text;
}
