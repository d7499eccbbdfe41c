#pragma once
// Base of every object that receives commands through a message map.
#include "platform/afx/AfxMessageMap.h"

class CCmdTarget {
public:
  CCmdTarget() = default;
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

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
