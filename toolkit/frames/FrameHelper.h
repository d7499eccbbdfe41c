#pragma once
// The implementation object embedded in every toolkit frame. For now it carries only
// what the workspace needs of it: the frame it belongs to. The frame implementation
// adds the rest (bars, tear-off bars, dock layout).
#include "platform/afx/afxwin.h"

class FrameHelper {
public:
  explicit FrameHelper(CFrameWnd* frame = nullptr) : m_pFrame(frame) {}
  virtual ~FrameHelper() = default;

  CFrameWnd* GetOwnerFrame() const { return m_pFrame; }

  CFrameWnd* m_pFrame;
};
