#pragma once
// Editing real numbers in dialogs: CNumSpinCtrl, an up-down control that steps a
// floating-point value shown in its buddy edit, and DDX_FloatInRange, the data
// exchange of a double with an edit, checked against a range written as text.
#include "platform/afx/afxwin.h"

class CNumSpinCtrl : public CSpinButtonCtrl {
public:
  CNumSpinCtrl();

  // Range and step of the value. The up-down control itself counts whole steps,
  // |maximum - minimum| / delta of them (at most 32767); a delta of 0 only stores.
  void SetRangeAndDelta(double minimum, double maximum, double delta);
  void GetRangeAndDelta(double& minimum, double& maximum, double& delta) const;
  // The value is the buddy's text: SetPos writes it, GetPos reads it (0 without buddy).
  void SetPos(double value);
  double GetPos() const;
  // Digits after the point; -1 prints with "%g".
  void SetDecimalPlaces(int places) { m_nDecimalPlaces = places; }
  int GetDecimalPlaces() const { return m_nDecimalPlaces; }
  // A printf format for one double used instead of the built-in one; null clears it.
  void SetFormatString(const char* format = nullptr) { m_strFormat = format ? format : ""; }
  void SetTrimTrailingZeros(BOOL trim) { m_bTrimTrailingZeros = trim; }
  // The value as the built-in formatting shows it.
  CString FormatValue(double value) const;

protected:
  void SetValueText(double value);
  void SetIntPos(double value);
  void PreSubclassWindow() override;
  void OnDeltaPos(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()

private:
  double m_MinVal = 0.0;
  double m_MaxVal = 100.0;
  double m_Delta = 1.0;
  int m_IntRange = 100;
  int m_nDecimalPlaces = -1;
  CString m_strFormat;
  BOOL m_bTrimTrailingZeros = TRUE;
  char m_DecSymbol = '.';
};

// Data exchange of a double with edit `id`. Loading prints it with 15 significant
// digits; saving reads the whole text, which must be one number (blanks around it
// allowed), else "Please enter a number." and the exchange fails. With a range text
// — a name, then the bounds in brackets, "[" "]" inclusive, "(" ")" exclusive, "-inf"
// or "-~" and "inf" or "~" for an open end, e.g. "Delay Time [0.0, 60.0]" — a value
// outside it is refused with a message naming the range. Controls the user cannot
// reach (hidden or disabled) are not complained about.
void DDX_FloatInRange(CDataExchange* dx, int id, double& value, const char* range = nullptr);

// TRUE when value lies in the range the text describes, or the text describes none;
// otherwise FALSE with the message for the user.
BOOL CheckFloatRange(double value, const char* range, CString& message);
