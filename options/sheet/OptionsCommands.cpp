#include "options/sheet/OptionsCommands.h"

#include "options/sheet/OptionsAdvanceRecordSettingPage.h"
#include "options/sheet/OptionsColorSchemePage.h"
#include "options/sheet/OptionsFileFormatPage.h"
#include "options/sheet/OptionsFileOutputDlg.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsSoundDevicePage.h"
#include "options/sheet/TVLOptionsPropSheet.h"

INT_PTR RunOptionsSheet(CWnd* parent) {
  OptionsHost& host = GetOptionsHost();
  CTVLOptionsPropSheet sheet(parent);
  COptionsColorSchemePage colors;
  COptionsFileFormatPage encode;
  COptionsSoundDevicePage devices;
  COptionsFileOutputDlg output;
  COptionsAdvanceRecordSettingPage advance;
  encode.SetFileOutputOptions(host.output);
  output.SetFileFormatPage(&encode);
  sheet.AddPage(&colors);
  sheet.AddPage(&encode);
  sheet.AddPage(&devices);
  sheet.AddPage(&output);
  sheet.AddPage(&advance);
  const INT_PTR result = sheet.DoModal();
  if (result != IDOK) return result;

  if (host.encode) {
    *host.encode = encode.GetOptions();
    host.encode->Save();
  }
  if (host.encodeForSaves) *host.encodeForSaves = encode.GetOptions();
  if (host.devices) {
    *host.devices = devices.GetOptions();
    host.devices->Save();
  }
  if (host.devicesChanged) host.devicesChanged();
  if (host.output) {
    *host.output = output.GetOptions();
    host.output->Save();
  }
  if (host.advance) {
    // The monitor flag is the engine's, not the page's.
    const std::int32_t monitor = host.advance->SilenceMonitorFlag;
    *host.advance = advance.GetOptions();
    host.advance->SilenceMonitorFlag = monitor;
    host.advance->Save();
  }
  return result;
}

INT_PTR RunAdvanceRecordSettingSheet(CWnd* parent) {
  OptionsHost& host = GetOptionsHost();
  CTVLOptionsPropSheet sheet(parent);
  COptionsAdvanceRecordSettingPage advance;
  sheet.AddPage(&advance);
  const INT_PTR result = sheet.DoModal();
  if (result == IDOK && host.advance) {
    const std::int32_t monitor = host.advance->SilenceMonitorFlag;
    *host.advance = advance.GetOptions();
    host.advance->SilenceMonitorFlag = monitor;
    host.advance->Save();
  }
  return result;
}

INT_PTR RunColorSchemeSheet(CWnd* parent) {
  CTVLOptionsPropSheet sheet(parent);
  COptionsColorSchemePage colors;
  sheet.AddPage(&colors);
  return sheet.DoModal();
}
