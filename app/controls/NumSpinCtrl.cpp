#include "app/controls/NumSpinCtrl.h"

#include "app/controls/ControlsText.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include "platform/afx/linux_headers_end.h"

CNumSpinCtrl::CNumSpinCtrl() {
  const lconv* locale = std::localeconv();
  if (locale && locale->decimal_point && locale->decimal_point[0]) m_DecSymbol = locale->decimal_point[0];
}

void CNumSpinCtrl::SetRangeAndDelta(double minimum, double maximum, double delta) {
  m_MinVal = minimum;
  m_MaxVal = maximum;
  m_Delta = delta;
  if (delta == 0.0) return;
  double steps = std::fabs(maximum - minimum) / delta;
  m_IntRange = steps > 32767.0 ? 32767 : static_cast<int>(steps);
  if (!m_hWnd) return;
  SetRange32(0, m_IntRange);
  SetIntPos(GetPos());
}

void CNumSpinCtrl::GetRangeAndDelta(double& minimum, double& maximum, double& delta) const {
  minimum = m_MinVal;
  maximum = m_MaxVal;
  delta = m_Delta;
}

void CNumSpinCtrl::SetPos(double value) {
  SetValueText(value);
  SetIntPos(value);
}

double CNumSpinCtrl::GetPos() const {
  HWND buddy = m_hWnd ? reinterpret_cast<HWND>(::SendMessageA(m_hWnd, UDM_GETBUDDY, 0, 0)) : nullptr;
  if (!buddy) return 0.0;
  char text[64] = {};
  ::GetWindowTextA(buddy, text, sizeof text);
  return std::atof(text);
}

namespace {
// Drops trailing zeros, then a trailing decimal point, when the text has a point.
void TrimZeros(std::string& text, char point) {
  if (text.find(point) == std::string::npos) return;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == point) text.pop_back();
}
}  // namespace

CString CNumSpinCtrl::FormatValue(double value) const {
  char text[128];
  std::snprintf(text, sizeof text, "%g", value);
  if (m_nDecimalPlaces >= 0) {
    // Numbers that "%g" writes with an exponent keep it, with that many decimals.
    char format[16];
    std::snprintf(format, sizeof format, std::strchr(text, 'e') ? "%%.%de" : "%%.%df", m_nDecimalPlaces);
    std::snprintf(text, sizeof text, format, value);
  }
  std::string result = text;
  if (m_bTrimTrailingZeros) {
    std::string::size_type e = result.find('e');
    if (e != std::string::npos) {
      std::string mantissa = result.substr(0, e);
      TrimZeros(mantissa, m_DecSymbol);
      result = mantissa + result.substr(e);
    } else {
      TrimZeros(result, m_DecSymbol);
    }
  }
  return CString(result);
}

void CNumSpinCtrl::SetValueText(double value) {
  HWND buddy = m_hWnd ? reinterpret_cast<HWND>(::SendMessageA(m_hWnd, UDM_GETBUDDY, 0, 0)) : nullptr;
  if (!buddy) return;
  CString text;
  if (m_strFormat.IsEmpty())
    text = FormatValue(value);
  else
    text.Format(m_strFormat, value);
  ::SetWindowTextA(buddy, text);
}

void CNumSpinCtrl::SetIntPos(double value) {
  if (!m_hWnd || m_MaxVal == m_MinVal) return;
  int position;
  if (value < m_MinVal)
    position = 0;
  else if (value >= m_MaxVal)
    position = m_IntRange;
  else
    position = static_cast<int>((value - m_MinVal) / (m_MaxVal - m_MinVal) * m_IntRange + 0.5);
  SetPos32(position);
}

void CNumSpinCtrl::PreSubclassWindow() {
  // The control may have been made before its range was set: give it the range now.
  SetRangeAndDelta(m_MinVal, m_MaxVal, m_Delta);
}

void CNumSpinCtrl::OnDeltaPos(NMHDR* header, LRESULT* result) {
  const auto* updown = reinterpret_cast<NMUPDOWN*>(header);
  const double value = GetPos() + updown->iDelta * m_Delta;
  const bool wrap = (GetStyle() & UDS_WRAP) != 0;
  const bool up = updown->iDelta >= 0;
  const double bound = up ? m_MaxVal : m_MinVal;
  // Sums of steps like 0.1 miss the bound by a rounding error; that is still the bound.
  const double tolerance = std::max(1e-9 * std::max(std::fabs(bound), std::fabs(value)), 1e-9);
  double shown = value;
  if (up && value > m_MaxVal + tolerance)
    shown = wrap ? m_MinVal : m_MaxVal;
  else if (!up && value < m_MinVal - tolerance)
    shown = wrap ? m_MaxVal : m_MinVal;
  SetValueText(shown);
  *result = 0;
}

BEGIN_MESSAGE_MAP(CNumSpinCtrl, CSpinButtonCtrl)
  ON_NOTIFY_REFLECT(UDN_DELTAPOS, OnDeltaPos)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------------

namespace {
std::string Trim(const std::string& text) {
  std::string::size_type first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  std::string::size_type last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The further right of two positions that may be missing.
std::string::size_type FurtherRight(std::string::size_type a, std::string::size_type b) {
  if (a == std::string::npos) return b;
  if (b == std::string::npos) return a;
  return std::max(a, b);
}
}  // namespace

BOOL CheckFloatRange(double value, const char* range, CString& message) {
  if (!range) return TRUE;
  const std::string text = range;
  const std::string::size_type npos = std::string::npos;
  const std::string::size_type open = FurtherRight(text.find('('), text.find('['));
  if (open == npos) return TRUE;
  const std::string::size_type comma = text.find(',');
  if (comma == npos || comma < open) return TRUE;
  const std::string::size_type close = FurtherRight(text.find(')'), text.find(']'));
  if (close == npos || close < comma) return TRUE;
  const bool lowInclusive = text[open] == '[';
  const bool highInclusive = text[close] == ']';

  std::string name = text.substr(0, open);
  if (name.empty()) name = controls_text::kUnnamedValue;
  const std::string lowText = Trim(text.substr(open + 1, comma - open - 1));
  const std::string highText = Trim(text.substr(comma + 1, close - comma - 1));
  const bool hasLow = !(lowText == "-~" || strcasecmp(lowText.c_str(), "-inf") == 0);
  const bool hasHigh = !(highText == "~" || strcasecmp(highText.c_str(), "inf") == 0);
  const double low = hasLow ? std::strtod(lowText.c_str(), nullptr) : 0.0;
  const double high = hasHigh ? std::strtod(highText.c_str(), nullptr) : 0.0;

  if (hasLow && hasHigh) {
    if ((low < value && value < high) || (lowInclusive && value == low) || (highInclusive && value == high))
      return TRUE;
    message = CString(controls_text::OutsideRange(name, text.substr(open, close - open + 1)));
    return FALSE;
  }
  if (hasLow) {
    if (value > low || (lowInclusive && value == low)) return TRUE;
    message = CString(controls_text::BelowLowerBound(name, lowInclusive, lowText));
    return FALSE;
  }
  if (hasHigh) {
    if (value < high || (highInclusive && value == high)) return TRUE;
    message = CString(controls_text::AboveUpperBound(name, highInclusive, highText));
    return FALSE;
  }
  return TRUE;
}

namespace {
// The whole text must be one finite number, blanks and tabs around it allowed.
bool ParseNumber(const char* text, double* value) {
  while (*text == ' ' || *text == '\t') ++text;
  char* end = nullptr;
  double parsed = std::strtod(text, &end);
  if (end == text) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end || !std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}
}  // namespace

void DDX_FloatInRange(CDataExchange* dx, int id, double& value, const char* range) {
  HWND edit = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) {
    CString text;
    int length = edit ? ::GetWindowTextLengthA(edit) : 0;
    char* buffer = text.GetBuffer(length + 1);
    buffer[0] = '\0';
    if (edit) ::GetWindowTextA(edit, buffer, length + 1);
    text.ReleaseBuffer();
    double parsed = 0.0;
    if (!ParseNumber(text, &parsed) && AfxControlIsEditable(edit)) {
      AfxMessageBox(AFX_IDP_PARSE_REAL);
      dx->Fail();
    }
    value = parsed;
  } else {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", 15, value);
    if (edit) ::SetWindowTextA(edit, text);
  }
  if (!range) return;
  CString message;
  if (!CheckFloatRange(value, range, message) && dx->m_bSaveAndValidate && AfxControlIsEditable(edit)) {
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    dx->Fail();
  }
}
