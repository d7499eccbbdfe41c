#include "toolkit/bars/DialogTemplateWriter.h"

namespace {
void PutDword(std::vector<WORD>& words, DWORD value) {
  words.push_back(LOWORD(value));
  words.push_back(HIWORD(value));
}
}  // namespace

DialogTemplateWriter::DialogTemplateWriter(const char* caption, short width, short height, DWORD style) {
  PutDword(m_words, style | DS_SETFONT);
  PutDword(m_words, 0);  // extended style
  m_words.push_back(0);  // control count, counted as controls come
  m_words.push_back(0);
  m_words.push_back(0);
  m_words.push_back(static_cast<WORD>(width));
  m_words.push_back(static_cast<WORD>(height));
  m_words.push_back(0);  // no menu
  m_words.push_back(0);  // the standard dialog class
  Text(caption);
  m_words.push_back(8);
  Text("MS Shell Dlg");
}

void DialogTemplateWriter::Text(const char* text) {
  for (const char* c = text ? text : ""; *c; ++c) m_words.push_back(static_cast<unsigned char>(*c));
  m_words.push_back(0);
}

void DialogTemplateWriter::Align() {
  if (m_words.size() % 2) m_words.push_back(0);
}

void DialogTemplateWriter::Item(int id, DWORD style, short x, short y, short width, short height) {
  Align();
  PutDword(m_words, style | WS_CHILD);
  PutDword(m_words, 0);
  m_words.push_back(static_cast<WORD>(x));
  m_words.push_back(static_cast<WORD>(y));
  m_words.push_back(static_cast<WORD>(width));
  m_words.push_back(static_cast<WORD>(height));
  m_words.push_back(static_cast<WORD>(id));
  ++m_words[4];
}

DialogTemplateWriter& DialogTemplateWriter::Control(WORD classAtom, int id, const char* text, DWORD style,
                                                    short x, short y, short width, short height) {
  Item(id, style, x, y, width, height);
  m_words.push_back(0xFFFF);
  m_words.push_back(classAtom);
  Text(text);
  m_words.push_back(0);  // no creation data
  return *this;
}

DialogTemplateWriter& DialogTemplateWriter::Control(const char* className, int id, const char* text,
                                                    DWORD style, short x, short y, short width,
                                                    short height) {
  Item(id, style, x, y, width, height);
  Text(className);
  Text(text);
  m_words.push_back(0);
  return *this;
}
