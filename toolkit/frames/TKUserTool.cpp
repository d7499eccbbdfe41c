#include "toolkit/frames/TKUserTool.h"

#include "toolkit/frames/TKFramesText.h"

#include <shellapi.h>

namespace {
constexpr UINT kDefaultToolIcon = 16931;
}  // namespace

IMPLEMENT_SERIAL(CTKUserTool, CObject, 1)

void CTKUserTool::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_strLabel << m_strCommand << m_strArguments << m_strInitialDirectory
       << static_cast<DWORD>(m_uiCmdId);
  } else {
    CString command;
    DWORD id;
    ar >> m_strLabel >> command >> m_strArguments >> m_strInitialDirectory >> id;
    m_uiCmdId = id;
    SetCommand(command);
  }
}

CTKUserTool::~CTKUserTool() { DeleteIcon(); }

void CTKUserTool::SetCommand(const char* command) {
  if (m_strCommand == command) return;
  m_strCommand = command;
  DeleteIcon();
  m_hIcon = LoadToolIcon();
}

HICON CTKUserTool::DefaultIcon() {
  static HICON s_icon = [] {
    const int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
    auto icon = static_cast<HICON>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDefaultToolIcon), IMAGE_ICON, cx, cy, LR_SHARED));
    // A program without the toolkit's own tool icon shows the system's program icon.
    if (!icon)
      icon = static_cast<HICON>(::LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, cx, cy, LR_SHARED));
    return icon;
  }();
  return s_icon;
}

HICON CTKUserTool::LoadToolIcon() {
  if (m_strCommand.IsEmpty()) return LoadDefaultIcon();
  CString path = m_strCommand;
  // A bare program name is found the way the system would start it.
  if (path.Find('\\') < 0 && path.Find('/') < 0 && path.Find(':') < 0) {
    char found[260] = "";
    if (!::SearchPathA(nullptr, path, nullptr, sizeof found, found, nullptr)) return LoadDefaultIcon();
    path = found;
  }
  SHFILEINFOA info{};
  if (::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE) &&
      info.hIcon)
    return info.hIcon;
  return LoadDefaultIcon();
}

void CTKUserTool::DeleteIcon() {
  if (m_hIcon && m_hIcon != DefaultIcon()) ::DestroyIcon(m_hIcon);
  m_hIcon = nullptr;
}

void CTKUserTool::DrawToolIcon(CDC* dc, const CRect& rect) {
  if (!m_hIcon || !dc) return;
  const int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
  const int x = rect.left + std::max(0, (rect.Width() - cx) / 2);
  const int y = rect.top + std::max(0, (rect.Height() - cy) / 2);
  ::DrawIconEx(dc->GetSafeHdc(), x, y, m_hIcon, cx, cy, 0, nullptr, DI_NORMAL);
}

BOOL CTKUserTool::CopyIconToClipboard() {
  const int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
  BOOL copied = FALSE;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
  if (memory && bitmap) {
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all{0, 0, cx, cy};
    ::FillRect(memory, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    if (m_hIcon) ::DrawIconEx(memory, 0, 0, m_hIcon, cx, cy, 0, nullptr, DI_NORMAL);
    ::SelectObject(memory, old);
    CWnd* main = AfxGetMainWnd();
    if (::OpenClipboard(main ? main->m_hWnd : nullptr)) {
      ::EmptyClipboard();
      copied = ::SetClipboardData(CF_BITMAP, bitmap) != nullptr;
      ::CloseClipboard();
    }
  }
  if (!copied) {
    if (bitmap) ::DeleteObject(bitmap);
    char text[128];
    AfxMessageBox(tk_frames_text::TextOf(16010, text, sizeof text), MB_ICONSTOP);
  }
  if (memory) ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return copied;
}

BOOL CTKUserTool::Invoke() {
  if (m_strCommand.IsEmpty()) return FALSE;
  CWnd* main = AfxGetMainWnd();
  HINSTANCE result = ::ShellExecuteA(main ? main->m_hWnd : nullptr, nullptr, m_strCommand, m_strArguments,
                                     m_strInitialDirectory, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) >= 32;
}
