#pragma once
// Base of every object that receives commands through a message map. It is an
// object with a runtime class, so windows, documents and views can be made from
// their class records (a document template makes all three that way).
#include "platform/afx/AfxMessageMap.h"
#include "platform/afx/Object.h"

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

public:
  CCmdTarget() = default;
  ~CCmdTarget() override = default;

  // Routes a command (code CN_COMMAND) or its user-interface update
  // (CN_UPDATE_COMMAND_UI, extra = the CCmdUI) to this object's handler.
  // TRUE when a handler took it.
  virtual BOOL OnCmdMsg(UINT id, int code, void* extra);

  static const AfxMessageMap* GetThisMessageMap();
  virtual const AfxMessageMap* GetMessageMap() const;

protected:
  // The first entry of this object's maps (most derived first) for the message,
  // code and id; null when none.
  const AfxMessageMapEntry* FindMessageEntry(UINT message, UINT code, UINT id) const;
};
