// The toolbar's creation, loading from toolbar resources, button list and class-wide
// sizes and images.
#include "toolkit/bars/TKToolBar.h"

#include "platform/afx/afxole.h"

#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKVisualManager.h"

UINT CTKToolBar::s_popupMenuMessage = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
UINT CTKToolBar::s_customizeMessage = ::RegisterWindowMessageA("TKTOOLBAR_CUSTOMIZE");
UINT CTKToolBar::s_createMessage = ::RegisterWindowMessageA("TKTOOLBAR_CREATE");
UINT CTKToolBar::s_deleteMessage = ::RegisterWindowMessageA("TKTOOLBAR_DELETE");
UINT CTKToolBar::s_customizeHelpMessage = ::RegisterWindowMessageA("TKTOOLBAR_CUSTOMIZEHELP");
UINT CTKToolBar::s_resetToolbarMessage = ::RegisterWindowMessageA("TKTOOLBAR_RESETTOOLBAR");
UINT CTKToolBar::s_resetMenuMessage = ::RegisterWindowMessageA("TKTOOLBAR_RESETMENU");
UINT CTKToolBar::s_showRegularMenuMessage = ::RegisterWindowMessageA("TKTOOLBAR_SHOWREGULARMENU");
UINT CTKToolBar::s_resetContextMenuMessage = ::RegisterWindowMessageA("TKTOOLBAR_RESETCONTEXTMENU");
UINT CTKToolBar::s_resetKeyboardMessage = ::RegisterWindowMessageA("TKTOOLBAR_RESETKEYBAORD");
UINT CTKToolBar::s_resetPromptMessage = ::RegisterWindowMessageA("TKTOOLBAR_RESETRPROMPT");

SIZE CTKToolBar::s_sizeButton{23, 22};
SIZE CTKToolBar::s_sizeImage{16, 15};
SIZE CTKToolBar::s_sizeCurButton{23, 22};
SIZE CTKToolBar::s_sizeCurImage{16, 15};
SIZE CTKToolBar::s_sizeMenuButton{-1, -1};
SIZE CTKToolBar::s_sizeMenuImage{-1, -1};
BOOL CTKToolBar::s_bLargeIcons = FALSE;
BOOL CTKToolBar::s_bShowTooltips = TRUE;
BOOL CTKToolBar::s_bShowShortcutKeys = TRUE;
BOOL CTKToolBar::s_bRecentlyUsedMenus = TRUE;
BOOL CTKToolBar::s_bMenuShadows = TRUE;
BOOL CTKToolBar::s_bShowAllMenusAfterDelay = TRUE;
BOOL CTKToolBar::s_bAutoGrayInactiveImages = FALSE;
int CTKToolBar::s_nMenuAnimation = 0;
int CTKToolBar::s_nGrayImagePercentage = 0;
CList<UINT, UINT> CTKToolBar::s_forbiddenCommands;
CList<UINT, UINT> CTKToolBar::s_basicCommands;
CTKToolBar* CTKToolBar::s_pSelectedToolbar = nullptr;
HCURSOR CTKToolBar::s_hcurDelete = nullptr;
HCURSOR CTKToolBar::s_hcurMove = nullptr;
CTKToolbarImageList CTKToolBar::s_Images, CTKToolBar::s_ColdImages, CTKToolBar::s_DisabledImages,
    CTKToolBar::s_LargeImages, CTKToolBar::s_LargeColdImages, CTKToolBar::s_LargeDisabledImages,
    CTKToolBar::s_MenuImages, CTKToolBar::s_MenuImagesDisabled;
CTKToolbarImageList* CTKToolBar::s_pUserImages = nullptr;
CMap<UINT, UINT, int, int> CTKToolBar::s_DefaultImages;
CList<CTKToolBar*, CTKToolBar*> CTKToolBar::s_allToolbars;
BOOL CTKToolBar::s_bHoldDropTargets = FALSE;
HHOOK CTKToolBar::s_hookMouse = nullptr;
CTKToolBar* CTKToolBar::s_pHotToolBar = nullptr;

namespace {

// Every live toolbar laid out again (after a look or font change).
void AdjustAllToolbars() {
  const auto& all = CTKToolBar::GetAllToolbars();
  for (POSITION pos = all.GetHeadPosition(); pos;) {
    CTKToolBar* bar = all.GetNext(pos);
    if (bar && ::IsWindow(bar->m_hWnd)) bar->AdjustSize();
  }
}

// A new look re-lays every toolbar but those that keep a layout of their own.
void AdjustToolbarsForLook() {
  const auto& all = CTKToolBar::GetAllToolbars();
  for (POSITION pos = all.GetHeadPosition(); pos;) {
    CTKToolBar* bar = all.GetNext(pos);
    if (bar && ::IsWindow(bar->m_hWnd) && !bar->m_bFixedLayout) bar->AdjustSize();
  }
}

// Visits the window of every live toolbar (the looks redraw them all).
void ForEachToolbarWindow(void (*visit)(HWND)) {
  const auto& all = CTKToolBar::GetAllToolbars();
  for (POSITION pos = all.GetHeadPosition(); pos;) {
    CTKToolBar* bar = all.GetNext(pos);
    if (bar && ::IsWindow(bar->m_hWnd)) visit(bar->m_hWnd);
  }
}

struct HooksInstaller {
  HooksInstaller() {
    CTKVisualManager::s_adjustAllToolbars = &AdjustToolbarsForLook;
    CTKVisualManager::s_forEachBarWindow = &ForEachToolbarWindow;
    GlobalData::toolbarsFontsChanged = &AdjustAllToolbars;
  }
} g_hooksInstaller;

SIZE Doubled(SIZE size) {
  return SIZE{static_cast<LONG>(size.cx * 2.0 + 0.5), static_cast<LONG>(size.cy * 2.0 + 0.5)};
}

}  // namespace

CTKToolBar::CTKToolBar() : m_Impl(this) {
  m_AcellKeys.InitHashTable(17);
  m_cxLeftBorder = m_cxRightBorder = 1;
  m_cyTopBorder = m_cyBottomBorder = 1;
}

CTKToolBar::~CTKToolBar() {
  while (!m_OrigButtons.IsEmpty()) delete m_OrigButtons.RemoveHead();
  while (!m_OrigResetButtons.IsEmpty()) delete m_OrigResetButtons.RemoveHead();
  RemoveAllButtons();
  if (m_hSeparatorPen) ::DeleteObject(m_hSeparatorPen);
  if (s_pSelectedToolbar == this) s_pSelectedToolbar = nullptr;
  if (s_pHotToolBar == this) s_pHotToolBar = nullptr;
  // A bar destroyed without its window going first still leaves the list.
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    if (s_allToolbars.GetNext(pos) == this) s_allToolbars.RemoveAt(at);
  }
}

const CList<CTKToolBar*, CTKToolBar*>& CTKToolBar::GetAllToolbars() { return s_allToolbars; }

void CTKToolBar::HoldDropTargets() { s_bHoldDropTargets = TRUE; }

void CTKToolBar::RegisterHeldDropTargets() {
  // Held bars wait only for the first call after HoldDropTargets.
  if (!s_bHoldDropTargets) return;
  s_bHoldDropTargets = FALSE;
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    CTKToolBar* bar = s_allToolbars.GetNext(pos);
    if (!bar->m_bDropTargetHeld) continue;
    bar->m_bDropTargetHeld = FALSE;
    if (bar->m_hWnd && AfxOleIsInitialized()) bar->m_DropTarget.Register(bar);
  }
}

BOOL CTKToolBar::Create(CWnd* parent, DWORD style, UINT id) {
  return CreateEx(parent, 0x800, style, CRect(1, 1, 1, 1), id);
}

BOOL CTKToolBar::CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, CRect borders, UINT id) {
  return CreateOnKeptWindow(nullptr, parent, controlStyle, style, borders, id);
}

BOOL CTKToolBar::CreateOnKeptWindow(HWND kept, CWnd* parent, DWORD controlStyle, DWORD style, CRect borders,
                                    UINT id) {
  m_cxLeftBorder = std::max<int>(1, borders.left);
  m_cyTopBorder = std::max<int>(1, borders.top);
  m_cxRightBorder = borders.right;
  m_cyBottomBorder = borders.bottom;
  m_dwStyle = (style | CBRS_GRIPPER) & CBRS_ALL;
  if (id == AFX_IDW_TOOLBAR) m_dwStyle |= CBRS_HIDE_INPLACE;
  m_dwStyle |= (style & (CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED));
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  // Loaded once: loading a cursor asks the display server, and popup menus make a bar
  // each time they open.
  static const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
  char className[96];
  snprintf(className, sizeof className, "TKToolBar:%x:%x:%x:%x",
           static_cast<unsigned>(reinterpret_cast<UINT_PTR>(instance)), CS_DBLCLKS,
           static_cast<unsigned>(reinterpret_cast<UINT_PTR>(arrow)), COLOR_BTNFACE + 1);
  WNDCLASSA wc{};
  if (!::GetClassInfoA(instance, className, &wc)) {
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = instance;
    wc.hCursor = arrow;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (!::RegisterClassA(&wc)) throw std::bad_alloc();
  }
  const DWORD windowStyle =
      ((style & ~0x40FFB1) | controlStyle | 0x4E | WS_CHILD) & ~(CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED);
  HWND parentWindow = AfxGetSafeHwnd(parent);
  char keptClass[96] = "";
  if (kept && (!::IsWindow(kept) || CWnd::FromHandlePermanent(kept) || ::GetParent(kept) != parentWindow ||
               ::GetDlgCtrlID(kept) != static_cast<int>(id) ||
               !::GetClassNameA(kept, keptClass, sizeof keptClass) || lstrcmpA(keptClass, className) != 0))
    kept = nullptr;
  if (!kept)
    return CWnd::CreateEx(0, className, nullptr, windowStyle, 0, 0, 0, 0, parentWindow,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
  // Shown or hidden before the bar takes it, so that no handler of the bar sees a window
  // it has not been told about.
  const DWORD keptStyle = ::GetWindowLongA(kept, GWL_STYLE);
  if ((keptStyle ^ windowStyle) & WS_VISIBLE)
    ::ShowWindow(kept, (windowStyle & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
  if ((keptStyle ^ windowStyle) & ~WS_VISIBLE)
    ::SetWindowLongA(kept, GWL_STYLE,
                     static_cast<LONG>((windowStyle & ~WS_VISIBLE) | (keptStyle & WS_VISIBLE)));
  Attach(kept);
  CREATESTRUCTA cs{};
  cs.hInstance = instance;
  cs.hwndParent = parentWindow;
  cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
  cs.style = static_cast<LONG>(windowStyle);
  cs.lpszClass = className;
  if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) != -1) return TRUE;
  Detach();
  ::DestroyWindow(kept);
  return FALSE;
}

HWND CTKToolBar::ReleaseWindowForReuse() {
  HWND hwnd = m_hWnd;
  if (!hwnd) return nullptr;
  SendMessage(WM_DESTROY);
  Detach();
  return hwnd;
}

BEGIN_MESSAGE_MAP(CTKToolBar, CTKBaseControlBar)
  ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_NCCALCSIZE()
  ON_WM_NCPAINT()
  ON_WM_NCHITTEST()
  ON_WM_SIZE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_SETTINGCHANGE()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_MOUSELEAVE()
  ON_WM_CANCELMODE()
  ON_WM_CONTEXTMENU()
  ON_WM_SETCURSOR()
  ON_WM_WINDOWPOSCHANGED()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_CTLCOLOR()
  ON_REGISTERED_MESSAGE(s_resetPromptMessage, OnResetPrompt)
  ON_MESSAGE(TB_BUTTONCOUNT, OnButtonCount)
  ON_MESSAGE(TB_GETITEMRECT, OnGetItemRect)
  ON_MESSAGE(TB_GETBUTTON, OnGetButton)
  ON_MESSAGE(TB_GETBUTTONTEXTA, OnGetButtonText)
  ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

int CTKToolBar::OnCreate(LPCREATESTRUCT cs) {
  if (CTKBaseControlBar::OnCreate(cs) == -1) return -1;
  if (!s_hcurDelete) s_hcurDelete = GlobalData::Get().GetStretchCursor();
  if (!s_hcurMove) s_hcurMove = GlobalData::Get().GetStretchVertCursor();
  HWND frame = ::GetAncestor(m_hWnd, GA_ROOT);
  CTKToolbarImageList::SetRightToLeft(frame && (::GetWindowLongA(frame, GWL_EXSTYLE) & 0x400000));
  if (s_bHoldDropTargets)
    m_bDropTargetHeld = TRUE;
  else if (AfxOleIsInitialized())
    m_DropTarget.Register(this);
  m_hSeparatorPen = ::CreatePen(PS_SOLID, 1, GlobalData::Get().buttonText);
  s_allToolbars.AddTail(this);
  return 0;
}

void CTKToolBar::OnDestroy() {
  if (m_hSeparatorPen) ::DeleteObject(m_hSeparatorPen);
  m_hSeparatorPen = nullptr;
  if (m_hToolTip) ::DestroyWindow(m_hToolTip);
  m_hToolTip = nullptr;
  m_DropTarget.Revoke();
  if (s_pSelectedToolbar == this) s_pSelectedToolbar = nullptr;
  if (s_pHotToolBar == this) s_pHotToolBar = nullptr;
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    if (s_allToolbars.GetNext(pos) == this) s_allToolbars.RemoveAt(at);
  }
  CTKBaseControlBar::OnDestroy();
}

// Sizes and images -------------------------------------------------------------------

void CTKToolBar::SetCurrentSizes() {
  s_sizeCurButton = s_bLargeIcons ? Doubled(s_sizeButton) : s_sizeButton;
  s_sizeCurImage = s_bLargeIcons ? Doubled(s_sizeImage) : s_sizeImage;
}

void CTKToolBar::SetSizes(SIZE button, SIZE image) {
  s_sizeButton = button;
  s_sizeImage = image;
  SetCurrentSizes();
  s_Images.SetImageSize(image);
  s_ColdImages.SetImageSize(image);
  s_DisabledImages.SetImageSize(image);
  s_LargeImages.SetImageSize(Doubled(image));
  s_LargeColdImages.SetImageSize(Doubled(image));
  s_LargeDisabledImages.SetImageSize(Doubled(image));
  if (s_pUserImages) s_pUserImages->SetImageSize(image);
}

void CTKToolBar::SetMenuSizes(SIZE button, SIZE image) {
  s_sizeMenuButton = button;
  s_sizeMenuImage = image;
  s_MenuImages.SetImageSize(image);
  s_MenuImagesDisabled.SetImageSize(image);
}

SIZE CTKToolBar::GetMenuImageSize() { return s_sizeMenuImage.cx == -1 ? s_sizeImage : s_sizeMenuImage; }

SIZE CTKToolBar::GetMenuButtonSize() { return s_sizeMenuButton.cx == -1 ? s_sizeButton : s_sizeMenuButton; }

void CTKToolBar::SetLargeIcons(BOOL large) {
  s_bLargeIcons = large;
  SetCurrentSizes();
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    auto* bar = s_allToolbars.GetNext(pos);
    if (bar->m_bLocked) {
      bar->m_sizeCurButtonLocked = large ? Doubled(bar->m_sizeButtonLocked) : bar->m_sizeButtonLocked;
      bar->m_sizeCurImageLocked = large ? Doubled(bar->m_sizeImageLocked) : bar->m_sizeImageLocked;
    }
  }
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    auto* bar = s_allToolbars.GetNext(pos);
    if (::IsWindow(bar->m_hWnd)) bar->AdjustSize();
  }
}

void CTKToolBar::SetUserImages(CTKToolbarImageList* images) {
  s_pUserImages = images;
  if (images) images->SetImageSize(s_sizeImage);
}

CSize CTKToolBar::GetButtonSize() const {
  if (m_bLocked) return m_sizeCurButtonLocked;
  return m_bLargeIconsAreEnbaled ? s_sizeCurButton : s_sizeButton;
}

CSize CTKToolBar::GetImageSize() const {
  if (m_bMenuMode) return GetMenuImageSize();
  if (m_bLocked) return m_sizeCurImageLocked;
  return m_bLargeIconsAreEnbaled ? s_sizeCurImage : s_sizeImage;
}

int CTKToolBar::GetDefaultImage(UINT id) {
  int image = -1;
  return s_DefaultImages.Lookup(id, image) ? image : -1;
}

void CTKToolBar::CleanUpImages() {
  for (CTKToolbarImageList* list :
       {&s_Images, &s_ColdImages, &s_DisabledImages, &s_LargeImages, &s_LargeColdImages,
        &s_LargeDisabledImages, &s_MenuImages, &s_MenuImagesDisabled})
    list->Clear();
  s_DefaultImages.RemoveAll();
  if (g_pCommandUsageCounter) g_pCommandUsageCounter->Clear();
  if (CTKCommandManager* commands = GetCommandManager()) commands->RemoveAllImages();
  CTKToolbarImageList::CleanUpShared();
}

BOOL CTKToolBar::LoadBitmap(UINT hot, UINT cold, UINT menu, BOOL locked, UINT disabled, UINT menuDisabled) {
  ToolbarImageSet images;
  images.hot = hot;
  images.cold = cold;
  images.menu = menu;
  images.disabled = disabled;
  images.menuDisabled = menuDisabled;
  return LoadBitmapEx(images, locked);
}

BOOL CTKToolBar::LoadToolBar(UINT resourceId, UINT cold, UINT menu, BOOL locked, UINT disabled,
                             UINT menuDisabled, UINT hot) {
  ToolbarImageSet images;
  images.hot = hot;
  images.cold = cold;
  images.menu = menu;
  images.disabled = disabled;
  images.menuDisabled = menuDisabled;
  return LoadToolBarEx(resourceId, images, locked);
}

BOOL CTKToolBar::LoadBitmapEx(const ToolbarImageSet& set, BOOL locked) {
  m_bLocked = locked;
  auto load = [](CTKToolbarImageList& list, UINT id, BOOL add) {
    return id == 0 || list.Load(id, nullptr, add);
  };
  if (locked) {
    if (!load(m_ImagesLocked, set.hot, FALSE)) return FALSE;
    if (set.cold) {
      if (!load(m_ColdImagesLocked, set.cold, FALSE)) return FALSE;
    } else if (s_bAutoGrayInactiveImages) {
      m_ImagesLocked.CopyTo(m_ColdImagesLocked);
      m_ColdImagesLocked.MakeGrey(s_nGrayImagePercentage);
    }
    if (!load(m_DisabledImagesLocked, set.disabled, FALSE) ||
        !load(m_LargeImagesLocked, set.largeHot, FALSE) ||
        !load(m_LargeColdImagesLocked, set.largeCold, FALSE) ||
        !load(m_LargeDisabledImagesLocked, set.largeDisabled, FALSE) ||
        !load(m_MenuImagesLocked, set.menu, FALSE) ||
        !load(m_MenuImagesLockedDisabled, set.menuDisabled, FALSE))
      return FALSE;
    return TRUE;
  }
  if (set.hot) {
    if (!s_Images.Load(set.hot, nullptr, TRUE)) return FALSE;
    m_iImagesOffset = s_Images.GetResourceOffset(set.hot);
  }
  if (set.cold) {
    if (!s_ColdImages.Load(set.cold, nullptr, TRUE)) return FALSE;
  } else if (s_bAutoGrayInactiveImages) {
    s_Images.CopyTo(s_ColdImages);
    s_ColdImages.MakeGrey(s_nGrayImagePercentage);
  }
  return load(s_MenuImages, set.menu, TRUE) && load(s_DisabledImages, set.disabled, TRUE) &&
         load(s_MenuImagesDisabled, set.menuDisabled, TRUE) && load(s_LargeImages, set.largeHot, TRUE) &&
         load(s_LargeColdImages, set.largeCold, TRUE) && load(s_LargeDisabledImages, set.largeDisabled, TRUE);
}

BOOL CTKToolBar::LoadToolBarEx(UINT resourceId, const ToolbarImageSet& setIn, BOOL locked) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(241));
  if (!found) return FALSE;
  HGLOBAL loaded = ::LoadResource(instance, found);
  const WORD* data = loaded ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
  if (!data || ::SizeofResource(instance, found) < 8) return FALSE;
  const WORD imageWidth = data[1], imageHeight = data[2], count = data[3];
  const WORD* ids = data + 4;
  const SIZE image{imageWidth, imageHeight};
  const SIZE button{imageWidth + 6, imageHeight + 6};
  if (locked) {
    m_sizeButtonLocked = button;
    m_sizeImageLocked = image;
    m_sizeCurButtonLocked = s_bLargeIcons ? Doubled(button) : button;
    m_sizeCurImageLocked = s_bLargeIcons ? Doubled(image) : image;
    for (CTKToolbarImageList* list : {&m_ImagesLocked, &m_ColdImagesLocked, &m_DisabledImagesLocked,
                                      &m_MenuImagesLocked, &m_MenuImagesLockedDisabled})
      list->SetImageSize(image);
    for (CTKToolbarImageList* list :
         {&m_LargeImagesLocked, &m_LargeColdImagesLocked, &m_LargeDisabledImagesLocked})
      list->SetImageSize(Doubled(image));
  } else {
    SetSizes(button, image);
  }
  ToolbarImageSet set = setIn;
  if (!set.hot) set.hot = resourceId;
  if (m_uiOriginalResID == 0 && !LoadBitmapEx(set, locked)) return FALSE;
  m_bLocked = locked;
  std::vector<UINT> commands(count);
  int image_ = locked ? 0 : m_iImagesOffset;
  for (int i = 0; i < count; ++i) {
    commands[i] = ids[i];
    if (ids[i] == 0) continue;
    if (!locked) s_DefaultImages.SetAt(ids[i], image_);
    ++image_;
  }
  m_uiOriginalResID = resourceId;
  if (!SetButtons(commands.data(), count, TRUE)) {
    m_uiOriginalResID = 0;
    return FALSE;
  }
  return TRUE;
}

BOOL CTKToolBar::AddToolBarImages(UINT resourceId) {
  CTKToolBar temporary;
  return temporary.LoadToolBar(resourceId);
}

BOOL CTKToolBar::SetButtons(const UINT* ids, int count, BOOL firstLoad) {
  RemoveAllButtons();
  while (!m_OrigButtons.IsEmpty()) delete m_OrigButtons.RemoveHead();
  if (ids) {
    int image = m_bLocked ? 0 : m_iImagesOffset;
    for (int i = 0; i < count; ++i) {
      const UINT id = ids[i];
      auto* original = new CTKToolbarButton;
      original->m_nID = id;
      if (id == 0) original->m_nStyle = TBBS_SEPARATOR;
      m_OrigButtons.AddTail(original);
      if (id == 0) {
        InsertSeparator();
        continue;
      }
      if (firstLoad) {
        CTKToolbarButton button(id, image, nullptr, FALSE, m_bLocked);
        InsertButtonCopy(button);
        if (!m_bLocked) s_DefaultImages.SetAt(id, image);
        ++image;
      } else {
        int known = GetDefaultImage(id);
        if (known >= 0) {
          CTKToolbarButton button(id, known, nullptr, FALSE, m_bLocked);
          InsertButtonCopy(button);
        }
      }
    }
  }
  OnReset();
  if (m_hWnd) {
    CWnd* target = GetCommandTarget();
    HWND frame = target ? target->m_hWnd : ::GetParent(m_hWnd);
    if (frame) ::SendMessageA(frame, s_resetToolbarMessage, m_uiOriginalResID, 0);
  }
  while (!m_OrigResetButtons.IsEmpty()) delete m_OrigResetButtons.RemoveHead();
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    auto* copy = static_cast<CTKToolbarButton*>(button->GetRuntimeClass()->CreateObject());
    if (!copy) continue;
    copy->CopyFrom(*button);
    m_OrigResetButtons.AddTail(copy);
  }
  return TRUE;
}

// The button list --------------------------------------------------------------------

CTKToolbarButton* CTKToolBar::GetButton(int index) const {
  POSITION pos = index >= 0 ? m_Buttons.FindIndex(index) : nullptr;
  return pos ? static_cast<CTKToolbarButton*>(m_Buttons.GetAt(pos)) : nullptr;
}

int CTKToolBar::CommandToIndex(UINT id, int start) const {
  int index = 0;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (index >= start && button->m_nID == id) return index;
  }
  return -1;
}

int CTKToolBar::ButtonToIndex(const CTKToolbarButton* target) const {
  int index = 0;
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos; ++index)
    if (m_Buttons.GetNext(pos) == target) return index;
  return -1;
}

UINT CTKToolBar::GetItemID(int index) const {
  CTKToolbarButton* button = GetButton(index);
  return button ? button->m_nID : 0;
}

UINT CTKToolBar::GetButtonStyle(int index) const {
  CTKToolbarButton* button = GetButton(index);
  return button ? button->m_nStyle : 0;
}

BOOL CTKToolBar::SetButtonText(int index, const char* text) {
  CTKToolbarButton* button = GetButton(index);
  if (!button) return FALSE;
  button->m_strText = text ? text : "";
  return TRUE;
}

CString CTKToolBar::GetButtonText(int index) const {
  CTKToolbarButton* button = GetButton(index);
  return button ? button->m_strText : CString();
}

int CTKToolBar::InsertButton(CTKToolbarButton* button, int index) {
  if (!button || s_forbiddenCommands.Find(button->m_nID)) return -1;
  const int count = GetCount();
  if (index == -1 || index == count) {
    m_Buttons.AddTail(button);
    index = count;
  } else if (index < 0 || index > count) {
    return -1;
  } else {
    m_Buttons.InsertBefore(m_Buttons.FindIndex(index), button);
  }
  button->OnChangeParentWnd(this);
  return index;
}

int CTKToolBar::InsertButtonCopy(const CTKToolbarButton& button, int index) {
  auto* copy = static_cast<CTKToolbarButton*>(button.GetRuntimeClass()->CreateObject());
  if (!copy) return -1;
  copy->CopyFrom(button);
  const int at = InsertButton(copy, index);
  if (at < 0) delete copy;
  return at;
}

int CTKToolBar::InsertSeparator(int index) {
  if (index == 0 || m_Buttons.IsEmpty()) return -1;
  auto* separator = new CTKToolbarButton;
  separator->m_nStyle = TBBS_SEPARATOR;
  const int at = InsertButton(separator, index);
  if (at < 0) delete separator;
  return at;
}

void CTKToolBar::RemoveAllButtons() {
  m_iButtonCapture = m_iHighlighted = m_iSelected = -1;
  while (!m_Buttons.IsEmpty()) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.RemoveHead());
    button->OnCancelMode();
    delete button;
  }
}

BOOL CTKToolBar::RemoveButton(int index) {
  POSITION pos = index >= 0 ? m_Buttons.FindIndex(index) : nullptr;
  if (!pos) return FALSE;
  auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetAt(pos));
  m_Buttons.RemoveAt(pos);
  button->OnCancelMode();
  delete button;
  auto shift = [index](int& value) {
    if (value == index)
      value = -1;
    else if (value > index)
      --value;
  };
  shift(m_iSelected);
  shift(m_iButtonCapture);
  shift(m_iHighlighted);
  SetHotMenuIndex(m_iHighlighted);
  // No separator ends the bar, and none follows another.
  while (!m_Buttons.IsEmpty() && m_Buttons.GetCount() > 1) {
    auto* last = static_cast<CTKToolbarButton*>(m_Buttons.GetTail());
    if (!last->IsSeparator()) break;
    delete m_Buttons.RemoveTail();
  }
  if (index > 0 && index < GetCount()) {
    CTKToolbarButton* before = GetButton(index - 1);
    CTKToolbarButton* after = GetButton(index);
    if (before && after && before->IsSeparator() && after->IsSeparator()) {
      m_Buttons.RemoveAt(m_Buttons.FindIndex(index));
      delete after;
    }
  }
  RebuildAccelerationKeys();
  return TRUE;
}

void CTKToolBar::SetButtonStyle(int index, UINT style) {
  CTKToolbarButton* button = GetButton(index);
  if (!button) return;
  const UINT old = button->m_nStyle;
  if (style & TBBS_DISABLED) style &= ~TBBS_PRESSED;
  button->SetStyle(style);
  if (!((old & TBBS_PRESSED) && (style & TBBS_PRESSED)) && old != style) InvalidateButton(index);
}

CTKToolbarButton* CTKToolBar::InvalidateButton(int index) {
  CTKToolbarButton* button = GetButton(index);
  if (button && m_hWnd) {
    CRect rect = button->Rect();
    rect.InflateRect(10, 10);
    ::InvalidateRect(m_hWnd, &rect, TRUE);
  }
  return button;
}

BOOL CTKToolBar::SetButtonDisplay(int index, const char* text, BOOL showText, BOOL showImage) {
  CTKToolbarButton* button = GetButton(index);
  if (!button) return FALSE;
  if (text)
    button->m_strText = text;
  else
    FillButtonText(button);
  button->m_bText = showText;
  button->m_bImage = showImage;
  return TRUE;
}

void CTKToolBar::EnableTextLabels(BOOL enable) {
  if (m_bMenuMode) return;
  m_bTextLabels = enable;
  AdjustSize();
}

BOOL CTKToolBar::FillButtonText(CTKToolbarButton* button) {
  if (!button || button->m_nID == 0 || button->m_nID == (UINT)-1) return FALSE;
  char buffer[256] = "";
  if (!::LoadStringA(::GetModuleHandleA(nullptr), button->m_nID, buffer, 256)) return FALSE;
  const char* newline = strchr(buffer, '\n');
  if (button->m_strText.IsEmpty()) button->m_strText = newline ? newline + 1 : buffer;
  return TRUE;
}

void CTKToolBar::NotifyButtons() {
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;)
    static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos))->OnGlobalFontsChanged();
}

void CTKToolBar::RefreshImages() {
  for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
    if (!button->IsSeparator() && !button->m_bUserImage) button->SetImage(-1);
  }
  if (IsFloating()) AdjustSize();
}

BOOL CTKToolBar::RestoreOriginalState() {
  if (m_uiOriginalResID == 0) return FALSE;
  LoadToolBar(m_uiOriginalResID);
  AdjustSize();
  if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  return TRUE;
}

int CTKToolBar::GetCommandButtons(UINT id, CObList& buttons) {
  buttons.RemoveAll();
  for (POSITION pos = s_allToolbars.GetHeadPosition(); pos;) {
    auto* bar = s_allToolbars.GetNext(pos);
    for (POSITION b = bar->m_Buttons.GetHeadPosition(); b;) {
      CObject* button = bar->m_Buttons.GetNext(b);
      if (static_cast<CTKToolbarButton*>(button)->m_nID == id) buttons.AddTail(button);
    }
  }
  return buttons.GetCount();
}

BOOL CTKToolBar::IsUserDefined() const {
  HWND top = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
  auto* frame = CTKFrameSite::Of(CWnd::FromHandlePermanent(top));
  // A floating bar's root is its mini frame; its frame is the one it docks in.
  if (!frame) frame = CTKFrameSite::Of(m_pDockSite);
  return frame && frame->GetFrameHelper().IsUserBarId(const_cast<CTKToolBar*>(this));
}

CWnd* CTKToolBar::GetCommandTarget() const {
  HWND owner = m_hWnd ? ::GetWindow(m_hWnd, GW_OWNER) : nullptr;
  if (!owner && m_hWnd) owner = ::GetParent(m_hWnd);
  CWnd* target = CWnd::FromHandle(owner);
  if (m_bRouteCommandsViaFrame && target && !dynamic_cast<CFrameWnd*>(target)) {
    // A bar of an object's in-place frame works for that frame, not for the
    // container's window around it.
    const HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
    HWND frame = ::GetParent(m_hWnd);
    while (frame && frame != root && !dynamic_cast<COleIPFrameWnd*>(CWnd::FromHandlePermanent(frame)))
      frame = ::GetParent(frame);
    target = CWnd::FromHandle(frame ? frame : root);
  }
  // The small frame of a floating bar only carries it: the commands belong to the
  // frame the bar docks in.
  if (auto* floating = dynamic_cast<CMiniDockFrameWnd*>(target); floating && floating->m_pDockSite)
    target = floating->m_pDockSite;
  return target;
}

// Emulated common-control messages ---------------------------------------------------

LRESULT CTKToolBar::OnButtonCount(WPARAM, LPARAM) { return GetCount(); }

LRESULT CTKToolBar::OnGetItemRect(WPARAM wParam, LPARAM lParam) {
  GetItemRect(static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam));
  return TRUE;
}

LRESULT CTKToolBar::OnGetButton(WPARAM wParam, LPARAM lParam) {
  CTKToolbarButton* button = GetButton(static_cast<int>(wParam));
  auto* info = reinterpret_cast<TBBUTTON*>(lParam);
  if (!button || !info) return FALSE;
  *info = TBBUTTON{};
  info->iBitmap = 0;
  info->idCommand = static_cast<int>(button->m_nID);
  info->fsState = static_cast<BYTE>((button->m_nStyle >> 16) & 0xFF);
  info->fsStyle = static_cast<BYTE>(button->m_nStyle & 0xFF);
  return TRUE;
}

LRESULT CTKToolBar::OnGetButtonText(WPARAM wParam, LPARAM lParam) {
  const int index = CommandToIndex(static_cast<UINT>(wParam));
  if (index < 0) return -1;
  CString text = GetButtonText(index);
  if (lParam) memcpy(reinterpret_cast<char*>(lParam), text.str().c_str(), text.GetLength() + 1);
  return text.GetLength();
}

void CTKToolBar::GetItemRect(int index, LPRECT rect) const {
  CTKToolbarButton* button = GetButton(index);
  *rect = button ? RECT(button->Rect()) : RECT{0, 0, 0, 0};
}

void CTKToolBar::GetInvalidateItemRect(int index, LPRECT rect) const { GetItemRect(index, rect); }
