#include "toolkit/bars/TKToolbarImageList.h"

#include "toolkit/bars/BarsText.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <vector>
#include "platform/afx/linux_headers_end.h"

#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"

HDC CTKToolbarImageList::s_hdcWell = nullptr;
HDC CTKToolbarImageList::s_hdcScratch = nullptr;
BOOL CTKToolbarImageList::s_rightToLeft = FALSE;

namespace {

typedef BOOL(WINAPI* AlphaBlendFn)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
HMODULE g_msimg32 = nullptr;
AlphaBlendFn g_alphaBlend = nullptr;

// The standard colours of button bitmaps and the system colours they stand for.
struct ColorPair {
  COLORREF standard;
  int sysColor;
};
const ColorPair kStandardColors[] = {
    {RGB(0x00, 0x00, 0x00), COLOR_BTNTEXT}, {RGB(0x80, 0x80, 0x80), COLOR_BTNSHADOW},
    {RGB(0xC0, 0xC0, 0xC0), COLOR_BTNFACE}, {RGB(0xFF, 0xFF, 0xFF), COLOR_BTNHIGHLIGHT},
    {RGB(0xDF, 0xDF, 0xDF), COLOR_3DLIGHT}, {RGB(0x40, 0x40, 0x40), COLOR_3DDKSHADOW},
};

void LoadAlphaBlend() {
  if (g_msimg32) return;
  g_msimg32 = ::LoadLibraryA("msimg32.dll");
  if (g_msimg32) g_alphaBlend = reinterpret_cast<AlphaBlendFn>(::GetProcAddress(g_msimg32, "AlphaBlend"));
}

BITMAP InfoOf(HBITMAP bitmap) {
  BITMAP bm{};
  ::GetObjectA(bitmap, sizeof bm, &bm);
  return bm;
}

// A 32-bit top-down DIB section of the size; bits returned through the pointer.
HBITMAP NewDib32(int cx, int cy, void** bits) { return CreateOffscreenBitmap(cx, cy, bits); }

}  // namespace

CTKToolbarImageList::CTKToolbarImageList() {
  EnsureSharedDCs();
  m_resourceOffsets.InitHashTable(17);
}

CTKToolbarImageList::~CTKToolbarImageList() {
  EndDraw();
  Clear();
}

void CTKToolbarImageList::EnsureSharedDCs() {
  if (!s_hdcWell) {
    s_hdcWell = ::CreateCompatibleDC(nullptr);
    s_hdcScratch = ::CreateCompatibleDC(nullptr);
    if (!s_hdcWell || !s_hdcScratch) throw std::bad_alloc();
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ::GetVersionExA(&version);
    if ((version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5) ||
        (version.dwPlatformId != VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 4 &&
         version.dwMinorVersion > 0))
      LoadAlphaBlend();
  }
}

void CTKToolbarImageList::CleanUpShared() {
  if (s_hdcWell) ::DeleteDC(s_hdcWell);
  if (s_hdcScratch) ::DeleteDC(s_hdcScratch);
  s_hdcWell = s_hdcScratch = nullptr;
  if (g_msimg32) ::FreeLibrary(g_msimg32);
  g_msimg32 = nullptr;
  g_alphaBlend = nullptr;
}

int CTKToolbarImageList::DepthOf(HBITMAP bitmap) {
  BITMAP bm = InfoOf(bitmap);
  return bm.bmPlanes * bm.bmBitsPixel;
}

COLORREF CTKToolbarImageList::TransparentOrFace() const {
  return m_clrTransparent == (COLORREF)-1 ? GlobalData::Get().buttonFace : m_clrTransparent;
}

COLORREF CTKToolbarImageList::SetTransparentColor(COLORREF color) {
  COLORREF old = m_clrTransparent;
  if (color != old) {
    m_clrTransparent = color;
    DropFaded();
  }
  return old;
}

void CTKToolbarImageList::UpdateCount() {
  if (!m_hbmImageWell || m_sizeImage.cx <= 0) {
    m_nCount = 0;
    return;
  }
  m_nCount = InfoOf(m_hbmImageWell).bmWidth / m_sizeImage.cx;
}

void CTKToolbarImageList::DropFaded() {
  if (m_hbmFaded) ::DeleteObject(m_hbmFaded);
  m_hbmFaded = nullptr;
}

int CTKToolbarImageList::GetResourceOffset(UINT resourceId) const {
  int offset = -1;
  return m_resourceOffsets.Lookup(resourceId, offset) ? offset : -1;
}

void CTKToolbarImageList::Premultiply(HBITMAP bitmap) {
  DIBSECTION ds{};
  if (::GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 32 || !ds.dsBm.bmBits)
    return;
  BYTE* p = static_cast<BYTE*>(ds.dsBm.bmBits);
  const size_t n = static_cast<size_t>(ds.dsBm.bmWidth) * abs(ds.dsBm.bmHeight);
  for (size_t i = 0; i < n; ++i, p += 4) {
    p[0] = static_cast<BYTE>(p[0] * p[3] / 255);
    p[1] = static_cast<BYTE>(p[1] * p[3] / 255);
    p[2] = static_cast<BYTE>(p[2] * p[3] / 255);
  }
}

HBITMAP CTKToolbarImageList::CopyAsDib32(HBITMAP bitmap) {
  BITMAP bm = InfoOf(bitmap);
  HBITMAP dib = NewDib32(bm.bmWidth, bm.bmHeight, nullptr);
  if (!dib) return nullptr;
  HGDIOBJ oldSrc = ::SelectObject(s_hdcWell, bitmap);
  HGDIOBJ oldDst = ::SelectObject(s_hdcScratch, dib);
  ::BitBlt(s_hdcScratch, 0, 0, bm.bmWidth, bm.bmHeight, s_hdcWell, 0, 0, SRCCOPY);
  ::SelectObject(s_hdcScratch, oldDst);
  ::SelectObject(s_hdcWell, oldSrc);
  return dib;
}

BOOL CTKToolbarImageList::Load(UINT resourceId, HINSTANCE module, BOOL add) {
  if (m_bShared) return FALSE;
  if (add && GetResourceOffset(resourceId) >= 0) return TRUE;
  if (!module) module = ::GetModuleHandleA(nullptr);
  UINT flags = LR_CREATEDIBSECTION;
  if (m_bMapTo3DColors && !GlobalData::Get().isBlackHighContrast) flags |= LR_LOADMAP3DCOLORS;
  HBITMAP loaded =
      static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, flags));
  if (!loaded) return FALSE;
  BITMAP bm{};
  if (!::GetObjectA(loaded, sizeof bm, &bm)) {
    ::DeleteObject(loaded);
    return FALSE;
  }
  const int depth = bm.bmPlanes * bm.bmBitsPixel;
  if (depth < 32) {
    if ((depth > 8 && m_bMapTo3DColors) || GlobalData::Get().isBlackHighContrast) {
      HBITMAP mapped = MapBitmapColors(loaded, (COLORREF)-1, (COLORREF)-1);
      if (mapped) {
        ::DeleteObject(loaded);
        loaded = mapped;
      }
    }
  } else {
    Premultiply(loaded);
  }
  m_nBitsPerPixel = std::max(m_nBitsPerPixel, depth);
  if (add) {
    m_resourceOffsets.SetAt(resourceId, m_nCount);
    AddImage(loaded);
    m_resourceIds.AddTail(resourceId);
    m_resourceModules.AddTail(module);
    ::DeleteObject(loaded);
  } else {
    if (m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = loaded;
    m_resourceIds.RemoveAll();
    m_resourceModules.RemoveAll();
    m_resourceOffsets.RemoveAll();
    m_bModified = TRUE;
  }
  UpdateCount();
  DropFaded();
  return TRUE;
}

BOOL CTKToolbarImageList::LoadFromFile(const char* path) {
  if (m_bShared || !path || !*path) return FALSE;
  CString full(path);
  if (!strpbrk(path, "\\/:")) {
    char module[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    char* slash = strrchr(module, '\\');
    if (slash) slash[1] = '\0';
    full = CString(module) + path;
  }
  UINT flags = LR_LOADFROMFILE | LR_CREATEDIBSECTION;
  if (m_bMapTo3DColors) flags |= LR_LOADMAP3DCOLORS;
  HBITMAP loaded = static_cast<HBITMAP>(::LoadImageA(nullptr, full, IMAGE_BITMAP, 0, 0, flags));
  if (!loaded) return FALSE;
  BITMAP bm{};
  if (!::GetObjectA(loaded, sizeof bm, &bm)) {
    ::DeleteObject(loaded);
    return FALSE;
  }
  const DWORD attributes = ::GetFileAttributesA(full);
  m_bReadOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  const int depth = bm.bmPlanes * bm.bmBitsPixel;
  if (depth > 8 && depth < 32) {
    HBITMAP mapped = MapBitmapColors(loaded, (COLORREF)-1, (COLORREF)-1);
    if (mapped) {
      ::DeleteObject(loaded);
      loaded = mapped;
    }
  } else if (depth == 32) {
    Premultiply(loaded);
  }
  if (m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = loaded;
  m_nBitsPerPixel = depth;
  m_bFromFile = TRUE;
  m_path = full;
  m_bModified = FALSE;
  UpdateCount();
  DropFaded();
  return TRUE;
}

int CTKToolbarImageList::AddImage(HBITMAP bitmap, BOOL takeDepth) {
  if (m_bShared || !bitmap) return -1;
  BITMAP add{};
  if (!::GetObjectA(bitmap, sizeof add, &add)) return -1;
  HBITMAP source = bitmap;
  HBITMAP temporary = nullptr;
  if (m_nBitsPerPixel == 32 || (takeDepth && add.bmBitsPixel == 32)) {
    temporary = CopyAsDib32(bitmap);
    if (temporary && s_rightToLeft) {
      HBITMAP mirrored = MirrorBitmap(temporary, m_sizeImage.cx);
      if (mirrored) {
        ::DeleteObject(temporary);
        temporary = mirrored;
      }
    }
    if (temporary) source = temporary;
  }
  const int oldWidth = m_hbmImageWell ? InfoOf(m_hbmImageWell).bmWidth : 0;
  const int height = std::max<int>(m_sizeImage.cy, add.bmHeight);
  HBITMAP strip = nullptr;
  if (m_nBitsPerPixel == 32 || (takeDepth && add.bmBitsPixel == 32)) {
    strip = NewDib32(oldWidth + add.bmWidth, height, nullptr);
  } else {
    HDC screen = ::GetDC(nullptr);
    strip = ::CreateCompatibleBitmap(screen, oldWidth + add.bmWidth, height);
    ::ReleaseDC(nullptr, screen);
  }
  if (!strip) {
    if (temporary) ::DeleteObject(temporary);
    return -1;
  }
  HGDIOBJ oldDst = ::SelectObject(s_hdcScratch, strip);
  if (m_hbmImageWell) {
    HGDIOBJ oldSrc = ::SelectObject(s_hdcWell, m_hbmImageWell);
    ::BitBlt(s_hdcScratch, 0, 0, oldWidth, height, s_hdcWell, 0, 0, SRCCOPY);
    ::SelectObject(s_hdcWell, oldSrc);
  }
  HGDIOBJ oldSrc = ::SelectObject(s_hdcWell, source);
  ::BitBlt(s_hdcScratch, oldWidth, 0, add.bmWidth, add.bmHeight, s_hdcWell, 0, 0, SRCCOPY);
  ::SelectObject(s_hdcWell, oldSrc);
  ::SelectObject(s_hdcScratch, oldDst);
  if (temporary) ::DeleteObject(temporary);
  if (m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = strip;
  if (takeDepth) m_nBitsPerPixel = add.bmPlanes * add.bmBitsPixel;
  m_bModified = TRUE;
  UpdateCount();
  DropFaded();
  return m_nCount - 1;
}

int CTKToolbarImageList::AddIcon(HICON icon, BOOL alpha) {
  if (!icon || m_bShared) return -1;
  HBITMAP image = nullptr;
  if (alpha) {
    image = NewDib32(m_sizeImage.cx, m_sizeImage.cy, nullptr);
  } else {
    HDC screen = ::GetDC(nullptr);
    image = ::CreateCompatibleBitmap(screen, m_sizeImage.cx, m_sizeImage.cy);
    ::ReleaseDC(nullptr, screen);
  }
  if (!image) return -1;
  HGDIOBJ old = ::SelectObject(s_hdcScratch, image);
  RECT all{0, 0, m_sizeImage.cx, m_sizeImage.cy};
  ::FillRect(s_hdcScratch, &all, GlobalData::Get().buttonFaceBrush);
  ::DrawStateA(s_hdcScratch, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 0, 0, m_sizeImage.cx,
               m_sizeImage.cy, DST_ICON);
  ::SelectObject(s_hdcScratch, old);
  if (alpha) {
    m_nBitsPerPixel = 32;
    Premultiply(image);
  }
  int index = AddImage(image);
  ::DeleteObject(image);
  return index;
}

BOOL CTKToolbarImageList::UpdateImage(int index, HBITMAP bitmap) {
  if (!m_bFromFile || !m_hbmImageWell || index < 0 || index >= m_nCount || !bitmap) return FALSE;
  HGDIOBJ oldDst = ::SelectObject(s_hdcScratch, m_hbmImageWell);
  HGDIOBJ oldSrc = ::SelectObject(s_hdcWell, bitmap);
  ::BitBlt(s_hdcScratch, index * m_sizeImage.cx, 0, m_sizeImage.cx, m_sizeImage.cy, s_hdcWell, 0, 0, SRCCOPY);
  ::SelectObject(s_hdcWell, oldSrc);
  ::SelectObject(s_hdcScratch, oldDst);
  m_bModified = TRUE;
  DropFaded();
  return TRUE;
}

HICON CTKToolbarImageList::ExtractIcon(int index) {
  if (index < 0 || index >= m_nCount || !m_hbmImageWell) return nullptr;
  UINT flags = ILC_MASK;
  switch (m_nBitsPerPixel) {
    case 8:
      flags |= ILC_COLOR8;
      break;
    case 16:
      flags |= ILC_COLOR16;
      break;
    case 24:
      flags |= ILC_COLOR24;
      break;
    case 32:
      flags |= ILC_COLOR32;
      break;
    default:
      flags |= ILC_COLOR4;
  }
  HIMAGELIST list = ImageList_Create(m_sizeImage.cx, m_sizeImage.cy, flags, 0, 0);
  if (!list) return nullptr;
  ImageList_AddMasked(list, m_hbmImageWell, TransparentOrFace());
  HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL);
  ImageList_Destroy(list);
  return icon;
}

BOOL CTKToolbarImageList::Save(const char* path) {
  if (!m_bFromFile || m_bReadOnly || !m_hbmImageWell) return FALSE;
  CString target = path && *path ? CString(path) : m_path;
  if (!m_bModified && target == m_path) return TRUE;
  BITMAP bm = InfoOf(m_hbmImageWell);
  const int depth = m_nBitsPerPixel <= 8 ? 8 : (m_nBitsPerPixel >= 32 ? 32 : 24);
  const int colors = depth <= 8 ? 256 : 0;
  const int stride = ((bm.bmWidth * depth + 31) / 32) * 4;
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD));
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = bm.bmWidth;
  header->biHeight = bm.bmHeight;
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(depth);
  header->biCompression = BI_RGB;
  header->biSizeImage = static_cast<DWORD>(stride) * bm.bmHeight;
  header->biClrUsed = colors;
  // The strip goes back to the standard button colours.
  HBITMAP standard = m_hbmImageWell;
  for (const ColorPair& pair : kStandardColors) {
    HBITMAP mapped = MapBitmapColors(standard, ::GetSysColor(pair.sysColor), pair.standard);
    if (standard != m_hbmImageWell) ::DeleteObject(standard);
    standard = mapped ? mapped : standard;
  }
  std::vector<BYTE> bits(header->biSizeImage);
  HDC screen = ::GetDC(nullptr);
  ::GetDIBits(screen, standard, 0, bm.bmHeight, bits.data(), reinterpret_cast<BITMAPINFO*>(info.data()),
              DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (standard != m_hbmImageWell) ::DeleteObject(standard);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + info.size());
  file.bfSize = file.bfOffBits + header->biSizeImage;
  HANDLE out =
      ::CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return FALSE;
  DWORD written = 0;
  BOOL ok = ::WriteFile(out, &file, sizeof file, &written, nullptr) &&
            ::WriteFile(out, info.data(), static_cast<DWORD>(info.size()), &written, nullptr) &&
            ::WriteFile(out, bits.data(), static_cast<DWORD>(bits.size()), &written, nullptr);
  ::CloseHandle(out);
  if (ok) m_bModified = FALSE;
  return ok;
}

void CTKToolbarImageList::CopyTo(CTKToolbarImageList& other) const {
  if (&other == this) return;
  other.Clear();
  if (m_hbmImageWell)
    other.m_hbmImageWell = static_cast<HBITMAP>(::CopyImage(m_hbmImageWell, IMAGE_BITMAP, 0, 0, 0));
  if (m_hbmFaded) other.m_hbmFaded = static_cast<HBITMAP>(::CopyImage(m_hbmFaded, IMAGE_BITMAP, 0, 0, 0));
  other.m_sizeImage = m_sizeImage;
  other.m_sizeDraw = m_sizeDraw;
  other.m_bFromFile = m_bFromFile;
  other.m_path = m_path;
  other.m_bReadOnly = m_bReadOnly;
  other.m_bModified = m_bModified;
  other.m_nCount = m_nCount;
  other.m_clrTransparent = m_clrTransparent;
  other.m_nBitsPerPixel = m_nBitsPerPixel;
  other.m_bGreyed = m_bGreyed;
  other.m_nGreyPercent = m_nGreyPercent;
  for (POSITION pos = m_resourceIds.GetHeadPosition(); pos;)
    other.m_resourceIds.AddTail(m_resourceIds.GetNext(pos));
  for (POSITION pos = m_resourceModules.GetHeadPosition(); pos;)
    other.m_resourceModules.AddTail(m_resourceModules.GetNext(pos));
  for (POSITION pos = m_resourceOffsets.GetStartPosition(); pos;) {
    UINT id;
    int offset;
    m_resourceOffsets.GetNextAssoc(pos, id, offset);
    other.m_resourceOffsets.SetAt(id, offset);
  }
}

void CTKToolbarImageList::ShareWith(CTKToolbarImageList& other) {
  other.Clear();
  other.m_hbmImageWell = m_hbmImageWell;
  other.m_sizeImage = m_sizeImage;
  other.m_nCount = m_nCount;
  other.m_nBitsPerPixel = m_nBitsPerPixel;
  other.m_clrTransparent = m_clrTransparent;
  other.m_bShared = TRUE;
  other.m_bReadOnly = TRUE;
}

void CTKToolbarImageList::Clear() {
  if (!m_bShared && m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = nullptr;
  DropFaded();
  m_resourceIds.RemoveAll();
  m_resourceModules.RemoveAll();
  m_resourceOffsets.RemoveAll();
  m_path.Empty();
  m_nCount = 0;
  m_bFromFile = m_bModified = m_bReadOnly = m_bShared = FALSE;
  m_nBitsPerPixel = 0;
}

BOOL CTKToolbarImageList::Reload() {
  if (m_bShared) return FALSE;
  if (m_bFromFile) {
    CString path = m_path;
    return LoadFromFile(path);
  }
  if (m_resourceIds.IsEmpty()) return FALSE;
  CList<UINT, UINT> ids;
  CList<HINSTANCE, HINSTANCE> modules;
  for (POSITION pos = m_resourceIds.GetHeadPosition(); pos;) ids.AddTail(m_resourceIds.GetNext(pos));
  for (POSITION pos = m_resourceModules.GetHeadPosition(); pos;)
    modules.AddTail(m_resourceModules.GetNext(pos));
  const int depth = m_nBitsPerPixel;
  if (m_hbmImageWell) ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = nullptr;
  m_resourceIds.RemoveAll();
  m_resourceModules.RemoveAll();
  m_resourceOffsets.RemoveAll();
  m_nCount = 0;
  m_nBitsPerPixel = depth;
  POSITION module = modules.GetHeadPosition();
  for (POSITION pos = ids.GetHeadPosition(); pos;) Load(ids.GetNext(pos), modules.GetNext(module), TRUE);
  UpdateCount();
  if (s_rightToLeft) Mirror();
  DropFaded();
  return TRUE;
}

BOOL CTKToolbarImageList::PrepareDraw(CDC*, SIZE drawSize, BOOL faded) {
  if (!m_hbmImageWell) return FALSE;
  m_bFadedDraw = faded;
  if (faded && m_nBitsPerPixel < 32 && !m_hbmFaded) CreateFadedImages();
  HBITMAP well = m_hbmImageWell;
  if (m_hbmFaded && faded && ((m_nBitsPerPixel >= 1 && m_nBitsPerPixel <= 4) || m_bAlwaysFade))
    well = m_hbmFaded;
  m_hbmOldWell = static_cast<HBITMAP>(::SelectObject(s_hdcWell, well));
  m_sizeDraw = (drawSize.cx > 0 && drawSize.cy > 0) ? drawSize : m_sizeImage;
  const BOOL noTransparency = m_clrTransparent == (COLORREF)-1 || (m_nBitsPerPixel == 32 && g_alphaBlend);
  if (m_sizeDraw.cx == m_sizeImage.cx && m_sizeDraw.cy == m_sizeImage.cy && noTransparency) return TRUE;
  m_bStretch = m_sizeDraw.cx != m_sizeImage.cx || m_sizeDraw.cy != m_sizeImage.cy;
  m_hdcMask = ::CreateCompatibleDC(nullptr);
  m_hbmMask = ::CreateBitmap(m_sizeImage.cx + 2, m_sizeImage.cy + 2, 1, 1, nullptr);
  m_hbmOldMask = static_cast<HBITMAP>(::SelectObject(m_hdcMask, m_hbmMask));
  return TRUE;
}

void CTKToolbarImageList::EndDraw() {
  if (m_hbmOldWell && s_hdcWell) ::SelectObject(s_hdcWell, m_hbmOldWell);
  m_hbmOldWell = nullptr;
  if (m_hdcMask) {
    ::SelectObject(m_hdcMask, m_hbmOldMask);
    ::DeleteDC(m_hdcMask);
  }
  if (m_hbmMask) ::DeleteObject(m_hbmMask);
  m_hdcMask = nullptr;
  m_hbmMask = m_hbmOldMask = nullptr;
  m_bStretch = FALSE;
  m_sizeDraw = SIZE{0, 0};
}

void CTKToolbarImageList::MakeMask(int index, BOOL highlightPass, BOOL shifted) {
  const int cx = m_sizeImage.cx, cy = m_sizeImage.cy;
  ::PatBlt(m_hdcMask, 0, 0, cx + 2, cy + 2, WHITENESS);
  COLORREF oldBk = ::SetBkColor(s_hdcWell, TransparentOrFace());
  ::BitBlt(m_hdcMask, 0, 0, cx, cy, s_hdcWell, index * cx, 0, SRCCOPY);
  if (highlightPass) {
    ::SetBkColor(s_hdcWell, GlobalData::Get().buttonHighlight);
    ::BitBlt(m_hdcMask, 0, 0, cx, cy, s_hdcWell, index * cx, 0, SRCPAINT);
  }
  ::SetBkColor(s_hdcWell, oldBk);
  if (shifted) ::BitBlt(m_hdcMask, 1, 1, cx, cy, m_hdcMask, 0, 0, SRCAND);
}

BOOL CTKToolbarImageList::Draw(CDC* dc, int x, int y, int index, BOOL highlighted, BOOL disabled,
                               BOOL indeterminate, BOOL shadow, BOOL faded) {
  if (index < 0 || index >= m_nCount || !m_hbmImageWell) return FALSE;
  if (shadow && GlobalData::Get().bitsPerPixel < 9) return TRUE;
  if (!m_hbmOldWell) return FALSE;  // not prepared
  HDC target = dc->GetSafeHdc();
  if (m_bStretch) highlighted = indeterminate = FALSE;
  const int cx = m_sizeImage.cx, cy = m_sizeImage.cy;
  const int dx = m_sizeDraw.cx > 0 ? m_sizeDraw.cx : cx, dy = m_sizeDraw.cy > 0 ? m_sizeDraw.cy : cy;
  if (m_nBitsPerPixel == 32 && g_alphaBlend) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (disabled)
      blend.SourceConstantAlpha = 127;
    else if (faded && m_bFadedDraw)
      blend.SourceConstantAlpha = 150;
    if (shadow) {
      CRect rect(x + 1, y + 1, x + dx + 1, y + dy + 1);
      DrawManager(*dc).LightenRect(rect, 85, (COLORREF)-1);
      return TRUE;
    }
    return g_alphaBlend(target, x, y, dx, dy, s_hdcWell, index * cx, 0, cx, cy, blend);
  }
  if (shadow) {
    // The image's shape, in the shadow colour, under and right of the image.
    if (m_hdcMask) {
      MakeMask(index, FALSE, FALSE);
      HBRUSH brush = ::CreateSolidBrush(GlobalData::Get().buttonShadow);
      HGDIOBJ old = ::SelectObject(target, brush);
      COLORREF oldText = ::SetTextColor(target, RGB(0, 0, 0));
      COLORREF oldBk = ::SetBkColor(target, RGB(255, 255, 255));
      ::StretchBlt(target, x + 1, y + 1, dx, dy, m_hdcMask, 0, 0, cx, cy, 0xB8074A);
      ::SetTextColor(target, oldText);
      ::SetBkColor(target, oldBk);
      ::SelectObject(target, old);
      ::DeleteObject(brush);
    }
    return TRUE;
  }
  if (!disabled) {
    if (!m_hdcMask) {
      ::BitBlt(target, x, y, cx, cy, s_hdcWell, index * cx, 0, SRCCOPY);
    } else {
      RECT dest{x, y, x + dx, y + dy};
      RECT src{index * cx, 0, index * cx + cx, cy};
      HBITMAP well = static_cast<HBITMAP>(::GetCurrentObject(s_hdcWell, OBJ_BITMAP));
      ::SelectObject(s_hdcWell, m_hbmOldWell);
      DrawTransparent(dc, dest, well, src, TransparentOrFace());
      ::SelectObject(s_hdcWell, well);
    }
  } else if (m_hdcMask) {
    // Embossed when the look asks for it (the shape one pixel down-right in the
    // highlight, then in the shadow), else the shape in the shadow colour alone.
    const BOOL emboss = CTKVisualManager::GetInstance()->m_embossDisabledText;
    MakeMask(index, emboss, FALSE);
    COLORREF oldText = ::SetTextColor(target, RGB(0, 0, 0));
    COLORREF oldBk = ::SetBkColor(target, RGB(255, 255, 255));
    HGDIOBJ old = ::SelectObject(target, GlobalData::Get().highlightBrush);
    if (emboss) ::StretchBlt(target, x + 1, y + 1, dx, dy, m_hdcMask, 0, 0, cx, cy, 0xB8074A);
    HBRUSH shadowBrush = ::CreateSolidBrush(GlobalData::Get().buttonShadow);
    ::SelectObject(target, shadowBrush);
    ::StretchBlt(target, x, y, dx, dy, m_hdcMask, 0, 0, cx, cy, 0xB8074A);
    ::SelectObject(target, old);
    ::DeleteObject(shadowBrush);
    ::SetTextColor(target, oldText);
    ::SetBkColor(target, oldBk);
  }
  if ((indeterminate || highlighted) && m_hdcMask && !disabled) {
    MakeMask(index, FALSE, FALSE);
    COLORREF oldText = ::SetTextColor(target, RGB(0, 0, 0));
    COLORREF oldBk = ::SetBkColor(target, RGB(255, 255, 255));
    HGDIOBJ old = ::SelectObject(target, GlobalData::Get().lightBrush);
    ::BitBlt(target, x, y, cx, cy, m_hdcMask, 0, 0, 0xE20746);
    ::SelectObject(target, old);
    ::SetTextColor(target, oldText);
    ::SetBkColor(target, oldBk);
  }
  return TRUE;
}

void CTKToolbarImageList::DrawTransparent(CDC* dc, const RECT& dest, HBITMAP source, const RECT& sourceRect,
                                          COLORREF transparent) {
  const int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  HDC target = dc->GetSafeHdc();
  HDC src = ::CreateCompatibleDC(target);
  HDC mask = ::CreateCompatibleDC(target);
  HBITMAP maskBitmap = ::CreateBitmap(sw, sh, 1, 1, nullptr);
  HGDIOBJ oldSrc = ::SelectObject(src, source);
  HGDIOBJ oldMask = ::SelectObject(mask, maskBitmap);
  COLORREF oldBk = ::SetBkColor(src, transparent);
  ::BitBlt(mask, 0, 0, sw, sh, src, sourceRect.left, sourceRect.top, SRCCOPY);
  ::SetBkColor(src, oldBk);
  // The image with its transparent pixels black, then the target with the image's
  // pixels black, combined.
  HDC image = ::CreateCompatibleDC(target);
  HBITMAP imageBitmap = ::CreateCompatibleBitmap(target, sw, sh);
  HGDIOBJ oldImage = ::SelectObject(image, imageBitmap);
  ::BitBlt(image, 0, 0, sw, sh, src, sourceRect.left, sourceRect.top, SRCCOPY);
  COLORREF oldImageBk = ::SetBkColor(image, RGB(0, 0, 0));
  COLORREF oldImageText = ::SetTextColor(image, RGB(255, 255, 255));
  ::BitBlt(image, 0, 0, sw, sh, mask, 0, 0, SRCAND);
  ::SetBkColor(image, oldImageBk);
  ::SetTextColor(image, oldImageText);
  COLORREF oldTargetBk = ::SetBkColor(target, RGB(255, 255, 255));
  COLORREF oldTargetText = ::SetTextColor(target, RGB(0, 0, 0));
  ::StretchBlt(target, dest.left, dest.top, dw, dh, mask, 0, 0, sw, sh, SRCAND);
  ::StretchBlt(target, dest.left, dest.top, dw, dh, image, 0, 0, sw, sh, SRCPAINT);
  ::SetBkColor(target, oldTargetBk);
  ::SetTextColor(target, oldTargetText);
  ::SelectObject(image, oldImage);
  ::DeleteObject(imageBitmap);
  ::DeleteDC(image);
  ::SelectObject(mask, oldMask);
  ::SelectObject(src, oldSrc);
  ::DeleteObject(maskBitmap);
  ::DeleteDC(mask);
  ::DeleteDC(src);
}

void CTKToolbarImageList::MakeGrey(int percent) {
  m_nGreyPercent = percent > 0 ? percent : 130;
  m_bGreyed = TRUE;
  if (!m_hbmImageWell || GlobalData::Get().bitsPerPixel <= 8) return;
  void* bits = nullptr;
  BITMAP bm = InfoOf(m_hbmImageWell);
  HBITMAP dib = NewDib32(bm.bmWidth, bm.bmHeight, &bits);
  if (!dib) return;
  HGDIOBJ oldDst = ::SelectObject(s_hdcScratch, dib);
  HGDIOBJ oldSrc = ::SelectObject(s_hdcWell, m_hbmImageWell);
  ::BitBlt(s_hdcScratch, 0, 0, bm.bmWidth, bm.bmHeight, s_hdcWell, 0, 0, SRCCOPY);
  ::SelectObject(s_hdcWell, oldSrc);
  if (m_nBitsPerPixel < 32 || !g_alphaBlend) {
    CDC dc(s_hdcScratch);
    DrawManager(dc).TintRectHls(CRect(0, 0, bm.bmWidth, bm.bmHeight), m_nGreyPercent, TransparentOrFace());
    dc.Detach();
  } else {
    ::GdiFlush();
    BYTE* p = static_cast<BYTE*>(bits);
    for (int i = 0; i < bm.bmWidth * bm.bmHeight; ++i, p += 4) {
      double h, s, l;
      DrawManager::RgbToHls(RGB(p[2], p[1], p[0]), &h, &s, &l);
      COLORREF c = DrawManager::HlsToRgb(h, std::min(1.0, l * m_nGreyPercent / 100.0), 0);
      p[0] = static_cast<BYTE>(GetBValue(c) * p[3] / 255);
      p[1] = static_cast<BYTE>(GetGValue(c) * p[3] / 255);
      p[2] = static_cast<BYTE>(GetRValue(c) * p[3] / 255);
    }
  }
  ::SelectObject(s_hdcScratch, oldDst);
  ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = dib;
  DropFaded();
}

BOOL CTKToolbarImageList::CreateFadedImages() {
  if (!m_hbmImageWell || (m_nBitsPerPixel > 4 && !m_bAlwaysFade)) return FALSE;
  DropFaded();
  if (GlobalData::Get().bitsPerPixel <= 8) return TRUE;
  HBITMAP dib = CopyAsDib32(m_hbmImageWell);
  if (!dib) return FALSE;
  BITMAP bm = InfoOf(dib);
  HGDIOBJ old = ::SelectObject(s_hdcScratch, dib);
  CDC dc(s_hdcScratch);
  const COLORREF transparent = (m_nBitsPerPixel == 32 && g_alphaBlend) ? (COLORREF)-1 : TransparentOrFace();
  DrawManager(dc).LightenRect(CRect(0, 0, bm.bmWidth, bm.bmHeight), m_nFadePercent, transparent);
  dc.Detach();
  ::SelectObject(s_hdcScratch, old);
  m_hbmFaded = dib;
  return TRUE;
}

HBITMAP CTKToolbarImageList::MapBitmapColors(HBITMAP bitmap, COLORREF from, COLORREF to) {
  BITMAP bm = InfoOf(bitmap);
  if (!bm.bmWidth) return nullptr;
  HBITMAP copy = NewDib32(bm.bmWidth, bm.bmHeight, nullptr);
  if (!copy) return nullptr;
  HGDIOBJ oldDst = ::SelectObject(s_hdcScratch, copy);
  HGDIOBJ oldSrc = ::SelectObject(s_hdcWell, bitmap);
  ::BitBlt(s_hdcScratch, 0, 0, bm.bmWidth, bm.bmHeight, s_hdcWell, 0, 0, SRCCOPY);
  ::SelectObject(s_hdcWell, oldSrc);
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) {
      COLORREF pixel = ::GetPixel(s_hdcScratch, x, y);
      if (from != (COLORREF)-1) {
        if (pixel == from) ::SetPixel(s_hdcScratch, x, y, to);
        continue;
      }
      for (const ColorPair& pair : kStandardColors)
        if (pixel == pair.standard) {
          ::SetPixel(s_hdcScratch, x, y, ::GetSysColor(pair.sysColor));
          break;
        }
    }
  ::SelectObject(s_hdcScratch, oldDst);
  return copy;
}

BOOL CTKToolbarImageList::MapColors(COLORREF from, COLORREF to) {
  if (!m_hbmImageWell) return FALSE;
  HBITMAP mapped = MapBitmapColors(m_hbmImageWell, from, to);
  if (!mapped) return FALSE;
  ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = mapped;
  DropFaded();
  return TRUE;
}

HBITMAP CTKToolbarImageList::MirrorBitmap(HBITMAP bitmap, int imageWidth) {
  BITMAP bm = InfoOf(bitmap);
  if (imageWidth <= 0 || !bm.bmWidth) return nullptr;
  HBITMAP copy = CopyAsDib32(bitmap);
  if (!copy) return nullptr;
  DIBSECTION ds{};
  ::GetObjectA(copy, sizeof ds, &ds);
  ::GdiFlush();
  auto* pixels = static_cast<DWORD*>(ds.dsBm.bmBits);
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int first = 0; first + imageWidth <= bm.bmWidth; first += imageWidth)
      std::reverse(pixels + y * bm.bmWidth + first, pixels + y * bm.bmWidth + first + imageWidth);
  return copy;
}

BOOL CTKToolbarImageList::Mirror() {
  if (!m_hbmImageWell) return FALSE;
  HBITMAP mirrored = MirrorBitmap(m_hbmImageWell, m_sizeImage.cx);
  if (!mirrored) return FALSE;
  ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = mirrored;
  if (m_hbmFaded) {
    HBITMAP faded = MirrorBitmap(m_hbmFaded, m_sizeImage.cx);
    ::DeleteObject(m_hbmFaded);
    m_hbmFaded = faded;
  }
  return TRUE;
}

BOOL CTKToolbarImageList::CopyImageToClipboard(int index) {
  BOOL ok = FALSE;
  HBITMAP image = nullptr;
  if (index >= 0 && index < m_nCount) {
    HDC screen = ::GetDC(nullptr);
    image = ::CreateCompatibleBitmap(screen, m_sizeImage.cx, m_sizeImage.cy);
    ::ReleaseDC(nullptr, screen);
  }
  if (image) {
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory, image);
    RECT all{0, 0, m_sizeImage.cx, m_sizeImage.cy};
    ::FillRect(memory, &all, GlobalData::Get().buttonFaceBrush);
    CDC dc(memory);
    if (PrepareDraw()) {
      Draw(&dc, 0, 0, index);
      EndDraw();
    }
    dc.Detach();
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    CWnd* main = AfxGetMainWnd();
    if (::OpenClipboard(AfxGetSafeHwnd(main))) {
      ::EmptyClipboard();
      ok = ::SetClipboardData(CF_BITMAP, image) != nullptr;
      ::CloseClipboard();
    }
    if (!ok) ::DeleteObject(image);
  }
  if (!ok) {
    CString text;
    if (!text.LoadString(16010)) text = bars_text::kCantCopyImage;
    AfxMessageBox(text);
  }
  return ok;
}

void CTKToolbarImageList::FillRectWithSharedBrush(CDC* dc, const RECT& rect) {
  ::FillRect(dc->GetSafeHdc(), &rect, GlobalData::Get().lightBrush);
}
