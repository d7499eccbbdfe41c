#pragma once
// The images of toolbar and menu buttons as one strip: a bitmap whose width is a
// whole number of equal images side by side. Lists load bitmap resources or files,
// append bitmaps and icons, draw one image in a button's state (normal, highlighted,
// disabled, indeterminate, shadowed, faded), and make greyed and faded copies.
#include "platform/afx/afxwin.h"

class CTKToolbarImageList : public CObject {
public:
  CTKToolbarImageList();
  ~CTKToolbarImageList() override;

  // A bitmap resource (module null: the program). Without add the strip is replaced;
  // with add it is appended once per resource id.
  BOOL Load(UINT resourceId, HINSTANCE module = nullptr, BOOL add = FALSE);
  // Replaces the strip from a .bmp file; a bare name is looked for beside the program.
  BOOL LoadFromFile(const char* path);
  // Appends every image of the bitmap; the index of the last one, -1 on failure.
  int AddImage(HBITMAP bitmap, BOOL takeDepth = FALSE);
  int AddIcon(HICON icon, BOOL alpha = FALSE);
  BOOL UpdateImage(int index, HBITMAP bitmap);
  HICON ExtractIcon(int index);
  BOOL Save(const char* path = nullptr);
  void CopyTo(CTKToolbarImageList& other) const;
  void ShareWith(CTKToolbarImageList& other);
  void Clear();
  // After a system colour change: loads every recorded resource (or the file) again.
  BOOL Reload();

  BOOL PrepareDraw(CDC* dc = nullptr, SIZE drawSize = SIZE{0, 0}, BOOL faded = FALSE);
  BOOL Draw(CDC* dc, int x, int y, int index, BOOL highlighted = FALSE, BOOL disabled = FALSE,
            BOOL indeterminate = FALSE, BOOL shadow = FALSE, BOOL faded = FALSE);
  void EndDraw();

  void MakeGrey(int percent = 0);
  BOOL CreateFadedImages();
  // Recolours the strip: every pixel of colour from becomes to; with from -1 the
  // standard button colours become the current system colours.
  BOOL MapColors(COLORREF from = (COLORREF)-1, COLORREF to = (COLORREF)-1);
  BOOL Mirror();
  BOOL CopyImageToClipboard(int index);

  static void SetRightToLeft(BOOL rtl) { s_rightToLeft = rtl; }
  static BOOL IsRightToLeft() { return s_rightToLeft; }
  static void FillRectWithSharedBrush(CDC* dc, const RECT& rect);
  static void DrawTransparent(CDC* dc, const RECT& dest, HBITMAP source, const RECT& sourceRect,
                              COLORREF transparent);
  // Frees the drawing DCs shared by all lists (at exit).
  static void CleanUpShared();

  void SetImageSize(SIZE size) { m_sizeImage = size; }
  SIZE GetImageSize() const { return m_sizeImage; }
  int GetCount() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }
  HBITMAP GetImageWell() const { return m_hbmImageWell; }
  COLORREF SetTransparentColor(COLORREF color);
  COLORREF GetTransparentColor() const { return m_clrTransparent; }
  int GetBitsPerPixel() const { return m_nBitsPerPixel; }
  BOOL IsModified() const { return m_bModified; }
  BOOL IsShared() const { return m_bShared; }
  BOOL IsFaded() const { return m_hbmFaded != nullptr; }
  // The index of the first image of a resource loaded in add mode, -1 when absent.
  int GetResourceOffset(UINT resourceId) const;

  SIZE m_sizeImage{16, 15};
  SIZE m_sizeDraw{0, 0};
  HBITMAP m_hbmImageWell = nullptr;
  HBITMAP m_hbmFaded = nullptr;
  BOOL m_bFromFile = FALSE;
  CString m_path;
  BOOL m_bModified = FALSE;
  int m_nCount = 0;
  CList<UINT, UINT> m_resourceIds;
  CList<HINSTANCE, HINSTANCE> m_resourceModules;
  CMap<UINT, UINT, int, int> m_resourceOffsets;
  HBITMAP m_hbmMask = nullptr;
  HBITMAP m_hbmOldMask = nullptr;
  HDC m_hdcMask = nullptr;
  HBITMAP m_hbmOldWell = nullptr;
  BOOL m_bStretch = FALSE;
  BOOL m_bFadedDraw = FALSE;
  COLORREF m_clrTransparent = (COLORREF)-1;
  BOOL m_bReadOnly = FALSE;
  BOOL m_bShared = FALSE;
  int m_nBitsPerPixel = 0;
  BOOL m_bGreyed = FALSE;
  int m_nGreyPercent = 0;
  int m_nFadePercent = 130;
  BOOL m_bMapTo3DColors = TRUE;
  BOOL m_bAlwaysFade = FALSE;

private:
  void UpdateCount();
  void DropFaded();
  void MakeMask(int index, BOOL highlightPass, BOOL shifted);
  COLORREF TransparentOrFace() const;
  static void Premultiply(HBITMAP bitmap);
  static HBITMAP CopyAsDib32(HBITMAP bitmap);
  static HBITMAP MirrorBitmap(HBITMAP bitmap, int imageWidth);
  static HBITMAP MapBitmapColors(HBITMAP bitmap, COLORREF from, COLORREF to);
  static int DepthOf(HBITMAP bitmap);
  static void EnsureSharedDCs();

  static HDC s_hdcWell;
  static HDC s_hdcScratch;
  static BOOL s_rightToLeft;
};
