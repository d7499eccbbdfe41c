#pragma once
// How often each command is used, so that personalised menus can show only the
// frequently used items. Stored by its owner through an archive: the total as 32 bits,
// then the map of counts.
#include "platform/afx/afxwin.h"

class CommandUsageCounter : public CObject {
  DECLARE_SERIAL(CommandUsageCounter)

public:
  CommandUsageCounter() = default;

  void Serialize(CArchive& ar) override;

  // The new total; commands that are never personalised are not counted (and 0 returned
  // for the total unchanged).
  UINT CountUse(UINT command);
  UINT UseCount(UINT command) const;
  BOOL IsFrequent(UINT command) const;
  BOOL HasEnoughData() const;
  void Clear();
  UINT Total() const { return m_total; }

  // Toolkit-wide settings.
  static int s_thresholdPercent;  // 5
  static UINT s_minimumTotal;     // 0
  // Set while toolbars are being customised: nothing is counted then.
  static BOOL s_customizing;
  // Commands always shown (never counted), and the user tools' list entry.
  static CList<UINT, UINT> s_basicCommands;

private:
  CMap<UINT, UINT, UINT, UINT> m_counts;
  UINT m_total = 0;
};

extern CommandUsageCounter* g_pCommandUsageCounter;
