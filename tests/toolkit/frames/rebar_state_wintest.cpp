// Rebar band order and sizes saved and restored through Wine's registry with a real
// rebar.
#include "support/wine/GTestWin.h"

#include "toolkit/frames/RebarState.h"
#include "toolkit/frames/TKRegistry.h"

namespace {

constexpr const char* kPath = "Software\\TarvelTest\\Rebar\\";
constexpr int kRebarId = 77;

class RebarStateTest : public ::testing::Test {
protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\Rebar");
    frame_ = ::CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 600, 200, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    rebar_ =
        ::CreateWindowExA(0, REBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT, 0, 0, 600, 60,
                          frame_, reinterpret_cast<HMENU>(kRebarId), ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(rebar_);
    for (int id : {11, 12}) AddBand(id, 100 + id);
  }
  void TearDown() override {
    ::DestroyWindow(frame_);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\Rebar");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvelTest");
  }
  void AddBand(int childId, int width) {
    HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, rebar_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)),
                                   ::GetModuleHandleA(nullptr), nullptr);
    REBARBANDINFOA band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID | RBBIM_STYLE;
    band.fStyle = RBBS_BREAK;
    band.hwndChild = child;
    band.cxMinChild = 20;
    band.cyMinChild = 20;
    band.cx = static_cast<UINT>(width);
    band.wID = static_cast<UINT>(childId);
    ::SendMessageA(rebar_, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
  }
  std::vector<int> ChildIds() const {
    std::vector<int> ids;
    int count = static_cast<int>(::SendMessageA(rebar_, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      REBARBANDINFOA band = {};
      band.cbSize = sizeof band;
      band.fMask = RBBIM_CHILD;
      ::SendMessageA(rebar_, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
      ids.push_back(::GetDlgCtrlID(band.hwndChild));
    }
    return ids;
  }
  HWND frame_ = nullptr;
  HWND rebar_ = nullptr;
};

TEST_F(RebarStateTest, SwappedBandsGoBackAndAChangedRebarKeepsItsLayout) {
  CWnd* frame = CWnd::FromHandle(frame_);
  EXPECT_TRUE(SaveRebarState(kPath, frame));

  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
  ASSERT_TRUE(reg.Open(CString(kPath) + "TKRebar-77"));
  BYTE* data = nullptr;
  UINT size = 0;
  ASSERT_TRUE(reg.ReadBinary("IDs", data, size));
  ASSERT_EQ(size, 8u);
  EXPECT_EQ(reinterpret_cast<DWORD*>(data)[0], 11u);
  EXPECT_EQ(reinterpret_cast<DWORD*>(data)[1], 12u);
  free(data);
  ASSERT_TRUE(reg.ReadBinary("RBI", data, size));
  ASSERT_EQ(size, 160u);  // two 80-byte records
  DWORD* first = reinterpret_cast<DWORD*>(data);
  EXPECT_EQ(first[0], 80u);
  EXPECT_EQ(first[1] & RBBIM_CHILD, 0u);  // a stored record never names a child
  EXPECT_EQ(first[8], 0u);
  free(data);

  ::SendMessageA(rebar_, RB_MOVEBAND, 0, 1);
  ASSERT_EQ(ChildIds(), (std::vector<int>{12, 11}));
  EXPECT_TRUE(LoadRebarState(kPath, frame));
  EXPECT_EQ(ChildIds(), (std::vector<int>{11, 12}));

  ::SendMessageA(rebar_, RB_MOVEBAND, 0, 1);
  AddBand(13, 90);  // the rebar gained a band since saving
  EXPECT_TRUE(LoadRebarState(kPath, frame));
  EXPECT_EQ(ChildIds(), (std::vector<int>{12, 11, 13}));
}

}  // namespace
