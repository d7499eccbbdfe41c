#pragma once
// What a document template hands a frame it creates, through the frame's creation:
// the document the new views belong to and the class of the view to make.
#include <windows.h>

struct CRuntimeClass;
class CDocument;
class CDocTemplate;
class CView;
class CFrameWnd;

struct CCreateContext {
  const CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

// Sent to a view (and passed on by frames to their children) once its document and
// frame are in place and before the frame is first shown.
#define WM_INITIALUPDATE 0x0364
