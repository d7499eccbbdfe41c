#pragma once
// The document kinds a customization page lists beside the frame's own entry: every
// multi-document template that has what the page edits, once per resource id, under
// its file-new name, with the template as the entry's data.
#include "platform/afx/DocManager.h"
#include "platform/afx/DocTemplate.h"
#include "platform/afx/WinApp.h"

namespace doc_template_combo {

// has: whether the page can edit something of this template (its menu, its keys).
template <typename Has>
void AddTemplates(HWND combo, Has has) {
  CWinApp* app = AfxGetApp();
  CDocManager* manager = app ? app->m_pDocManager : nullptr;
  for (int i = 0; manager && i < manager->GetTemplateCount(); ++i) {
    auto* docTemplate = dynamic_cast<CMultiDocTemplate*>(manager->GetTemplate(i));
    if (!docTemplate || !has(*docTemplate)) continue;
    bool listed = false;
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int j = 0; j < count && !listed; ++j) {
      auto* other = reinterpret_cast<CDocTemplate*>(::SendMessageA(combo, CB_GETITEMDATA, j, 0));
      listed = other && other->GetResourceId() == docTemplate->GetResourceId();
    }
    if (listed) continue;
    CString name;
    docTemplate->GetDocString(name, CDocTemplate::fileNewName);
    const LRESULT index =
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(name)));
    ::SendMessageA(combo, CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(docTemplate));
  }
}

// The template of the combo's chosen entry, null for the frame's own entry.
inline CMultiDocTemplate* Chosen(HWND combo) {
  const LRESULT index = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index < 0) return nullptr;
  const LRESULT data = ::SendMessageA(combo, CB_GETITEMDATA, index, 0);
  return data == CB_ERR ? nullptr : reinterpret_cast<CMultiDocTemplate*>(data);
}

// The template's own icon from its resource id, else null.
inline HICON IconOf(const CDocTemplate& docTemplate) {
  return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(docTemplate.GetResourceId()));
}

}  // namespace doc_template_combo
