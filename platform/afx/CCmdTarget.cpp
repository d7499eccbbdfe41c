#include "platform/afx/CCmdTarget.h"

#include "platform/afx/CCmdUI.h"

const AfxMessageMap* CCmdTarget::GetThisMessageMap() {
  static const AfxMessageMapEntry entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AfxMessageMap map = {nullptr, entries};
  return &map;
}

const AfxMessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AfxMessageMapEntry* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
  for (const AfxMessageMap* map = GetMessageMap(); map != nullptr;
       map = map->getBaseMap ? map->getBaseMap() : nullptr) {
    for (const AfxMessageMapEntry* entry = map->entries; entry->signature != AfxSig_end; ++entry) {
      if (entry->message == message && entry->code == code && id >= entry->id &&
          id <= entry->lastId)
        return entry;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra) {
  const AfxMessageMapEntry* entry = FindMessageEntry(WM_COMMAND, static_cast<UINT>(code), id);
  if (!entry) return FALSE;
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
