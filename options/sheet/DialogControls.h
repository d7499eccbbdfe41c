#pragma once
// Small helpers over the controls of a dialog: combo boxes filled from value tables,
// check boxes, enabling, printf into a control's text, and a dialog's place.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include <span>
#include <string>
#include <vector>
#include "app/settings/FileEncodeOptions.h"
#include "platform/afx/linux_headers_end.h"

namespace dialogcontrols {

// Empties the combo, adds the names and selects the row whose value is `value`;
// the selected index, -1 when no row has it (nothing is selected then).
int FillCombo(HWND dialog, int id, std::span<const settings::ValueName> table, std::int32_t value);
void FillCombo(HWND dialog, int id, const std::vector<std::string>& names);
int ComboSelection(HWND dialog, int id);
void SelectCombo(HWND dialog, int id, int index);

bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);
void EnableItem(HWND dialog, int id, bool enable);
// The item's text from a printf format with one argument.
void SetItemDouble(HWND dialog, int id, const char* format, double value);
std::string ItemText(HWND dialog, int id);

// Moves a top-level window (a dialog) so that it stands centred over the top-level
// window of `over` (the main window when null), kept inside the work area of the monitor it lands on.
void CenterOver(HWND window, HWND over = nullptr);

}  // namespace dialogcontrols
