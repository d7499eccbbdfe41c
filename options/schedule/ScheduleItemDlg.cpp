#include "options/schedule/ScheduleItemDlg.h"

#include "options/schedule/ScheduleDialogText.h"

#include <commctrl.h>

#include "platform/afx/linux_headers_begin.h"
#include <utility>
#include "platform/afx/linux_headers_end.h"

namespace {

SYSTEMTIME ToWin32(const scheduler::SystemTime& t) {
  SYSTEMTIME s{};
  s.wYear = t.wYear;
  s.wMonth = t.wMonth;
  s.wDayOfWeek = t.wDayOfWeek;
  s.wDay = t.wDay;
  s.wHour = t.wHour;
  s.wMinute = t.wMinute;
  s.wSecond = t.wSecond;
  return s;
}

SYSTEMTIME PickerTime(HWND dialog, int id) {
  SYSTEMTIME s{};
  ::SendDlgItemMessageA(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&s));
  return s;
}

void SetPickerTime(HWND dialog, int id, const SYSTEMTIME& s) {
  ::SendDlgItemMessageA(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&s));
}

// A time of the day on the date.
SYSTEMTIME OnDate(SYSTEMTIME date, int seconds) {
  date.wHour = static_cast<WORD>(seconds / 3600);
  date.wMinute = static_cast<WORD>(seconds % 3600 / 60);
  date.wSecond = static_cast<WORD>(seconds % 60);
  date.wMilliseconds = 0;
  return date;
}

int SecondsOf(const SYSTEMTIME& s) { return s.wHour * 3600 + s.wMinute * 60 + s.wSecond; }

bool DateBefore(const SYSTEMTIME& date, const scheduler::SystemTime& today) {
  if (date.wYear != today.wYear) return date.wYear < today.wYear;
  if (date.wMonth != today.wMonth) return date.wMonth < today.wMonth;
  return date.wDay < today.wDay;
}

}  // namespace

CScheduleItemDlg::CScheduleItemDlg(CWnd* parent)
    : CDialog(IDD, parent),
      m_item(1, kScheduleFixedDay, scheduler::ToFileTime(scheduler::MakeSystemTime(2003, 11, 26, 0, 12, 0)),
             scheduler::ToFileTime(scheduler::MakeSystemTime(2003, 11, 26, 12, 43, 32))),
      m_today(scheduler::CurrentLocalTime()) {}

CScheduleItemDlg::CScheduleItemDlg(const CScheduleItem& item, const scheduler::SystemTime& today,
                                   CWnd* parent)
    : CDialog(IDD, parent), m_item(item), m_today(today) {}

BOOL CScheduleItemDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::CheckDlgButton(m_hWnd, IDC_SI_ENABLE, m_item.enabled ? BST_CHECKED : BST_UNCHECKED);
  if (m_item.IsFixedDay()) {
    const SYSTEMTIME start = ToWin32(scheduler::ToSystemTime(m_item.start));
    const SYSTEMTIME stop = ToWin32(scheduler::ToSystemTime(m_item.stop));
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SI_DATE), TRUE);
    SetPickerTime(m_hWnd, IDC_SI_DATE, start);
    SetPickerTime(m_hWnd, IDC_SI_START, OnDate(start, SecondsOf(start)));
    SetPickerTime(m_hWnd, IDC_SI_STOP, OnDate(start, SecondsOf(stop)));
  } else {
    const SYSTEMTIME date = ToWin32(m_today);
    SetPickerTime(m_hWnd, IDC_SI_START, OnDate(date, static_cast<int>(m_item.start % 86400)));
    SetPickerTime(m_hWnd, IDC_SI_STOP, OnDate(date, static_cast<int>(m_item.stop % 86400)));
  }
  return TRUE;
}

void CScheduleItemDlg::OnOK() {
  CScheduleItem values = m_item;
  values.enabled = ::IsDlgButtonChecked(m_hWnd, IDC_SI_ENABLE) == BST_CHECKED ? 1 : 0;
  const SYSTEMTIME start = PickerTime(m_hWnd, IDC_SI_START);
  const SYSTEMTIME stop = PickerTime(m_hWnd, IDC_SI_STOP);
  if (values.IsFixedDay()) {
    const SYSTEMTIME date = PickerTime(m_hWnd, IDC_SI_DATE);
    if (DateBefore(date, m_today)) {
      AfxMessageBox(schedule_dialog_text::kDateBeforeToday, MB_OK);
      GotoDlgCtrl(::GetDlgItem(m_hWnd, IDC_SI_DATE));
      return;
    }
    const auto at = [&](const SYSTEMTIME& time) {
      return scheduler::ToFileTime(scheduler::MakeSystemTime(date.wYear, date.wMonth, date.wDay, time.wHour,
                                                             time.wMinute, time.wSecond));
    };
    values.start = at(start);
    values.stop = at(stop);
  } else {
    values.start = static_cast<std::uint64_t>(SecondsOf(start));
    values.stop = static_cast<std::uint64_t>(SecondsOf(stop));
  }
  if (values.start > values.stop) std::swap(values.start, values.stop);
  if (values.start >= values.stop) {
    AfxMessageBox(schedule_dialog_text::kStartNotBeforeStop, MB_OK);
    GotoDlgCtrl(::GetDlgItem(m_hWnd, IDC_SI_START));
    return;
  }
  m_item = values;
  CDialog::OnOK();
}
