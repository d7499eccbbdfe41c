#pragma once
// A dialog template built in memory, for the toolkit's own dialogs: the toolkit
// carries no resource module, so its dialogs describe their controls here and run
// from the built template (in dialog units, with the dialog font).
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class DialogTemplateWriter {
public:
  DialogTemplateWriter(const char* caption, short width, short height, DWORD style);

  // A control of a predefined class by atom (0x80 button, 0x81 edit, 0x82 static).
  DialogTemplateWriter& Control(WORD classAtom, int id, const char* text, DWORD style, short x, short y,
                                short width, short height);
  // A control of a class given by name (common controls).
  DialogTemplateWriter& Control(const char* className, int id, const char* text, DWORD style, short x,
                                short y, short width, short height);

  // The template; valid while the writer lives and gets no more controls.
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
  void Text(const char* text);
  void Align();
  void Item(int id, DWORD style, short x, short y, short width, short height);
  std::vector<WORD> m_words;
};
