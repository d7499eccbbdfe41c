#include "toolkit/bars/ShortcutKeyText.h"

CString CShortcutKeyText::KeyName(UINT virtualKey) {
  HKL layout = ::GetKeyboardLayout(0);
  LONG code = static_cast<LONG>(::MapVirtualKeyExA(virtualKey, 0 /* MAPVK_VK_TO_VSC */, layout)) << 16;
  code += 1;
  // Page Up to Help sit in the extended block: named as such, not as keypad keys.
  if (virtualKey >= 33 && virtualKey <= 47) code |= 1 << 24;
  char name[50] = "";
  ::GetKeyNameTextA(code, name, sizeof name);
  ::CharLowerA(name);
  for (char* c = name; *c; ++c)
    if (::IsCharLowerA(*c)) {
      char letter[2] = {*c, 0};
      ::CharUpperA(letter);
      *c = letter[0];
      break;
    }
  return name;
}

CString CShortcutKeyText::Format() const {
  CString text;
  if (!m_lpAccel) return text;
  if (m_lpAccel->fVirt & FCONTROL) text += KeyName(VK_CONTROL) + "+";
  if (m_lpAccel->fVirt & FSHIFT) text += KeyName(VK_SHIFT) + "+";
  if (m_lpAccel->fVirt & FALT) text += KeyName(VK_MENU) + "+";
  if (m_lpAccel->fVirt & FVIRTKEY)
    text += KeyName(m_lpAccel->key);
  else if (m_lpAccel->key != 27 && m_lpAccel->key != 0)
    text += static_cast<char>(m_lpAccel->key);
  return text;
}
