#pragma once
// The recording log's information panel: the playing file's name, its length and the
// current second, kept up to date by the player engine's notifications.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include "platform/afx/linux_headers_end.h"

class CLogInfoStatic : public CWnd {
public:
  CLogInfoStatic() = default;
  ~CLogInfoStatic() override;

  void SetFileName(const std::string& name);
  // Told of each state the engine reports (playing, paused, stopped, no file), so the
  // dialog's buttons follow a file that played to its end.
  void SetStateListener(std::function<void(int state)> listener) { m_onState = std::move(listener); }
  int GetCurrentSecond() const { return m_nCurrent; }
  int GetTotalSeconds() const { return m_nTotal; }
  const std::string& GetFileName() const { return m_strFileName; }

protected:
  void PreSubclassWindow() override;
  void OnPaint();
  LRESULT OnEngineState(WPARAM wParam, LPARAM lParam);
  LRESULT OnFileInfo(WPARAM wParam, LPARAM lParam);
  LRESULT OnPosition(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  int m_nCurrent = 0;
  int m_nTotal = 0;
  HFONT m_hFont = nullptr;
  std::string m_strFileName;
  std::function<void(int state)> m_onState;
};
