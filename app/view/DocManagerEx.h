#pragma once
// The program's file prompts for the single document: opening lists the readable
// sound formats, saving lists the writable ones with the filter of the proposed
// name's extension chosen, and a change of file type puts that type's extension on
// the typed name.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CDocManagerEx : public CDocManager {
public:
  BOOL DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog,
                        CDocTemplate* docTemplate) override;

  struct Filter {
    std::string name;
    std::string pattern;
    std::string extension;  // with its dot; empty for the all-formats filter
  };
  static std::vector<Filter> OpenFilters();
  static std::vector<Filter> SaveFilters();
  // The filters as the common dialog takes them: name, NUL, pattern, NUL, ..., NUL.
  static std::string FilterText(const std::vector<Filter>& filters);
  // The 1-based save filter for a name's extension (compared without case); 0 when
  // none matches.
  static int SaveFilterIndexFor(const std::string& fileName);
  // The extension of a file name with its dot, from the last dot of the name's last
  // part (a dot in a folder name does not count); empty when it has none.
  static std::string ExtensionOf(const std::string& fileName);
  // The name with its extension replaced by (or, without one, given) extension
  // (without dot); its folders stay as they are.
  static std::string WithExtension(const std::string& fileName, const std::string& extension);
  // The extension (without dot) a save filter puts on the name, by its 0-based
  // index as the type-change notification counts it.
  static std::string ExtensionForTypeIndex(int index);
  // Once the Open or Save dialog is laid out: it stands centred over the window that
  // opened it, and its file type list drops down with every type in sight.
  static void PlaceFileDialog(HWND dialog);
};

// Appends name, NUL, pattern, NUL to the filter, and pattern to the list of all
// patterns (separated by ";").
void AppendFilter(std::string& filter, std::string& allPatterns, const std::string& name,
                  const std::string& pattern);
