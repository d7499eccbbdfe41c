#pragma once
// A button that looks like a link: underlined text in the link colour on the
// parent's background, a hand cursor, and a click that opens its target (a prefix
// such as "mailto:" followed by its URL, or by its caption when it has no URL).
#include "toolkit/frames/TKButton.h"

class CTKURLLinkButton : public CTKButton {
public:
  CTKURLLinkButton();

  void SetURL(const char* url) { m_strURL = url ? url : ""; }
  void SetLinkPrefix(const char* prefix) { m_strPrefix = prefix ? prefix : ""; }
  const CString& GetURL() const { return m_strURL; }
  // What a click opens.
  CString GetTarget() const;
  // Resizes the window to its text in the underlined font plus 3 pixels each side.
  void SizeToContent();

  // The way targets are opened (the shell's by default); tests put their own here.
  typedef HINSTANCE(WINAPI* OpenFunction)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  static OpenFunction s_openTarget;

  void FillBackground(CDC* dc, const CRect& rect) override;
  void DrawFocusRectangle(CDC* dc, const CRect& rect) override;
  void PaintContent(CDC* dc, const CRect& rect, UINT itemState) override;
  BOOL PreTranslateMessage(MSG* msg) override;

  CString m_strURL;
  CString m_strPrefix;

protected:
  void OpenLink();
  void OnLButtonUp(UINT flags, CPoint point);

  DECLARE_MESSAGE_MAP()
};
