#include "toolkit/frames/RebarState.h"

#include "toolkit/frames/TKRegistry.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

// Style, child, child size, size, id, ideal size and header size.
constexpr UINT kBandMask = 0xB71;

// A band record as stored: the 80-byte 32-bit layout of the band information (up to
// the header size), whatever the size of pointers in this build. Handles and pointers
// are never stored (the mask names none of them), so they are kept as 0.
struct StoredBand {
  DWORD cbSize, fMask, fStyle, clrFore, clrBack, lpText, cch, iImage, hwndChild, cxMinChild, cyMinChild, cx,
      hbmBack, wID, cyChild, cyMaxChild, cyIntegral, cxIdeal, lParam, cxHeader;
};
static_assert(sizeof(StoredBand) == 80, "stored band records are 80 bytes");

StoredBand ToStored(const REBARBANDINFOA& band) {
  StoredBand s = {};
  s.cbSize = sizeof(StoredBand);
  s.fMask = band.fMask;
  s.fStyle = band.fStyle;
  s.clrFore = band.clrFore;
  s.clrBack = band.clrBack;
  s.cch = band.cch;
  s.iImage = static_cast<DWORD>(band.iImage);
  s.cxMinChild = band.cxMinChild;
  s.cyMinChild = band.cyMinChild;
  s.cx = band.cx;
  s.wID = band.wID;
  s.cyChild = band.cyChild;
  s.cyMaxChild = band.cyMaxChild;
  s.cyIntegral = band.cyIntegral;
  s.cxIdeal = band.cxIdeal;
  s.cxHeader = band.cxHeader;
  return s;
}

REBARBANDINFOA FromStored(const StoredBand& s) {
  REBARBANDINFOA band;
  ZeroMemory(&band, sizeof band);
  band.cbSize = sizeof band;
  // Only what the saving side read is applied; never a child window, text or bitmap.
  band.fMask = s.fMask & kBandMask & ~RBBIM_CHILD;
  band.fStyle = s.fStyle;
  band.cxMinChild = s.cxMinChild;
  band.cyMinChild = s.cyMinChild;
  band.cx = s.cx;
  band.wID = s.wID;
  band.cyChild = s.cyChild;
  band.cyMaxChild = s.cyMaxChild;
  band.cyIntegral = s.cyIntegral;
  band.cxIdeal = s.cxIdeal;
  band.cxHeader = s.cxHeader;
  return band;
}

bool IsRebar(HWND hwnd) {
  char name[64] = "";
  ::GetClassNameA(hwnd, name, sizeof name);
  return ::lstrcmpiA(name, REBARCLASSNAMEA) == 0;
}

CString KeyOf(const char* path, HWND rebar) {
  CString key;
  key.Format("%sTKRebar-%d", path ? path : "", ::GetDlgCtrlID(rebar));
  return key;
}

BOOL SaveOne(HWND rebar, const char* path) {
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  if (!reg.CreateKey(KeyOf(path, rebar))) return FALSE;
  int count = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
  if (count <= 0) return TRUE;
  std::vector<StoredBand> bands(count);
  std::vector<DWORD> ids(count);
  for (int i = 0; i < count; ++i) {
    REBARBANDINFOA band;
    ZeroMemory(&band, sizeof band);
    band.cbSize = sizeof band;
    band.fMask = kBandMask;
    ::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
    ids[i] = band.hwndChild ? static_cast<DWORD>(::GetDlgCtrlID(band.hwndChild)) : 0;
    if (band.fStyle & RBBS_FIXEDSIZE) band.cxMinChild += 4;
    band.fMask &= ~RBBIM_CHILD;
    band.hwndChild = nullptr;
    bands[i] = ToStored(band);
  }
  return reg.WriteBinary("RBI", reinterpret_cast<const BYTE*>(bands.data()),
                         static_cast<UINT>(bands.size() * sizeof(StoredBand))) &&
         reg.WriteBinary("IDs", reinterpret_cast<const BYTE*>(ids.data()), static_cast<UINT>(ids.size() * 4));
}

BOOL LoadOne(HWND rebar, const char* path) {
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
  if (!reg.Open(KeyOf(path, rebar))) return FALSE;
  BYTE* records = nullptr;
  BYTE* idBytes = nullptr;
  UINT recordSize = 0, idSize = 0;
  reg.ReadBinary("RBI", records, recordSize);
  reg.ReadBinary("IDs", idBytes, idSize);
  int stored = static_cast<int>(idSize / 4);
  int count = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
  // Records are only applied when there is one for every stored id; a value cut short
  // would otherwise be read past its end.
  if (stored > 0 && stored == count && recordSize >= stored * sizeof(StoredBand)) {
    const auto* bands = reinterpret_cast<const StoredBand*>(records);
    const auto* ids = reinterpret_cast<const DWORD*>(idBytes);
    for (int p = 0; p < stored; ++p) {
      for (int i = p; i < count; ++i) {
        REBARBANDINFOA band;
        ZeroMemory(&band, sizeof band);
        band.cbSize = sizeof band;
        band.fMask = RBBIM_CHILD;
        ::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        if (!band.hwndChild || static_cast<DWORD>(::GetDlgCtrlID(band.hwndChild)) != ids[p]) continue;
        if (i != p) ::SendMessageA(rebar, RB_MOVEBAND, i, p);
        REBARBANDINFOA apply = FromStored(bands[p]);
        ::SendMessageA(rebar, RB_SETBANDINFOA, p, reinterpret_cast<LPARAM>(&apply));
        break;
      }
    }
  }
  std::free(records);
  std::free(idBytes);
  return TRUE;
}

struct Walk {
  const char* path;
  bool save;
};

BOOL CALLBACK RebarProc(HWND hwnd, LPARAM data) {
  const Walk* walk = reinterpret_cast<const Walk*>(data);
  if (!IsRebar(hwnd)) return TRUE;
  return walk->save ? SaveOne(hwnd, walk->path) : LoadOne(hwnd, walk->path);
}

}  // namespace

BOOL SaveRebarState(const char* path, CWnd* frame) {
  Walk walk{path, true};
  ::EnumChildWindows(frame ? frame->m_hWnd : ::GetDesktopWindow(), RebarProc,
                     reinterpret_cast<LPARAM>(&walk));
  return TRUE;
}

BOOL LoadRebarState(const char* path, CWnd* frame) {
  Walk walk{path, false};
  ::EnumChildWindows(frame ? frame->m_hWnd : ::GetDesktopWindow(), RebarProc,
                     reinterpret_cast<LPARAM>(&walk));
  return TRUE;
}
