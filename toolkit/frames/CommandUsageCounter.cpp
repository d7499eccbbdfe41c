#include "toolkit/frames/CommandUsageCounter.h"

#include "toolkit/frames/TKUserToolsManager.h"

IMPLEMENT_SERIAL(CommandUsageCounter, CObject, 1)

int CommandUsageCounter::s_thresholdPercent = 5;
UINT CommandUsageCounter::s_minimumTotal = 0;
BOOL CommandUsageCounter::s_customizing = FALSE;
CList<UINT, UINT> CommandUsageCounter::s_basicCommands;

namespace {
CommandUsageCounter g_counter;

// Commands that personalised menus never hide: recent files, system commands, the
// window list and the framework's reserved range.
bool NeverCounted(UINT command) {
  if (command == 0 || command == static_cast<UINT>(-1)) return true;
  if (command >= 57616 && command <= 57631) return true;
  if (command >= 61440 && command <= 61935) return true;
  if (command >= 65280) return true;
  if (command >= 57872 && command <= 57887) return true;
  return false;
}
}  // namespace

CommandUsageCounter* g_pCommandUsageCounter = &g_counter;

void CommandUsageCounter::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<DWORD>(m_total);
  } else {
    DWORD total;
    ar >> total;
    m_total = total;
  }
  m_counts.Serialize(ar);
}

UINT CommandUsageCounter::CountUse(UINT command) {
  if (s_customizing || NeverCounted(command) || s_basicCommands.Find(command)) return m_total;
  if (g_pUserToolsManager && command == g_pUserToolsManager->GetToolsEntryCmd()) return m_total;
  ++m_counts[command];
  return ++m_total;
}

UINT CommandUsageCounter::UseCount(UINT command) const {
  UINT count;
  return m_counts.Lookup(command, count) ? count : 0;
}

BOOL CommandUsageCounter::IsFrequent(UINT command) const {
  if (m_total == 0) return FALSE;
  return static_cast<int>(UseCount(command) * 100 / m_total) > s_thresholdPercent;
}

BOOL CommandUsageCounter::HasEnoughData() const { return m_total >= s_minimumTotal; }

void CommandUsageCounter::Clear() {
  m_counts.RemoveAll();
  m_total = 0;
}
