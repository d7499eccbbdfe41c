#include "platform/afx/CmdTarget.h"

#include "platform/afx/CmdUI.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AfxMessageMap* CCmdTarget::GetThisMessageMap() {
  static const AfxMessageMapEntry entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
  static const AfxMessageMap map = {nullptr, entries};
  return &map;
}

const AfxMessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AfxMessageMapEntry* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
  for (const AfxMessageMap* map = GetMessageMap(); map != nullptr;
       map = map->getBaseMap ? map->getBaseMap() : nullptr) {
    for (const AfxMessageMapEntry* entry = map->entries; entry->signature != AfxSig_end; ++entry) {
      // A registered message not registered yet matches nothing.
      UINT entryMessage = entry->registeredMessage ? *entry->registeredMessage : entry->message;
      if (entry->registeredMessage && entryMessage == 0) continue;
      if (entryMessage == message && entry->code == code && id >= entry->id && id <= entry->lastId)
        return entry;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra) {
  const AfxMessageMapEntry* entry = FindMessageEntry(WM_COMMAND, static_cast<UINT>(code), id);
  if (!entry) return FALSE;
  const UINT_PTR expected = code == static_cast<int>(CN_UPDATE_COMMAND_UI) ? AfxSig_cmdui : AfxSig_vv;
  if (entry->signature != expected) {
    char text[160];
    ::wsprintfA(text,
                "message map: the command entry for id %u, code %d has signature %u, which the "
                "dispatcher does not know",
                id, code, static_cast<unsigned>(entry->signature));
    AfxFail(text);
  }
  if (code == static_cast<int>(CN_UPDATE_COMMAND_UI)) {
    auto* ui = static_cast<CCmdUI*>(extra);
    if (!ui) return TRUE;  // only asking whether a handler exists
    auto handler = reinterpret_cast<void (CCmdTarget::*)(CCmdUI*)>(entry->handler);
    (this->*handler)(ui);
    ui->m_bContinueRouting = FALSE;
    return TRUE;
  }
  if (extra) return TRUE;  // only asking whether a handler exists
  (this->*entry->handler)();
  return TRUE;
}
