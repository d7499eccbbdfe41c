#include "support/wine/GTestWin.h"

#include "platform/afx/linux_headers_begin.h"
#include <pthread.h>
#include <thread>
#include <vector>
#include "platform/afx/linux_headers_end.h"

#include "platform/seams/win32/Win32Seams.h"
#include "support/wine/Wait.h"

namespace {

constexpr UINT kTestMessage = WM_APP + 7;
std::vector<std::pair<WPARAM, LPARAM>> g_received;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTestMessage) {
    g_received.emplace_back(wParam, lParam);
    return 0;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeRecordingWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarvelSeamsTest";
  ::RegisterClassA(&wc);
  return ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                           nullptr);
}

constexpr int kPerThread = 3000;

void PostSeries(seams::WindowHandle window, WPARAM producer) {
  for (int i = 0; i < kPerThread; ++i) {
    while (!seams::PostWindowMessage(window, kTestMessage, producer, i)) std::this_thread::yield();
  }
}

void* PthreadProducer(void* window) {
  PostSeries(static_cast<seams::WindowHandle>(reinterpret_cast<UINT_PTR>(window)), 2);
  return nullptr;
}

TEST(Win32MessagePoster, DeliversEveryPostFromThreadsWineDidNotCreateInOrder) {
  seams::InstallWin32Seams();
  HWND hwnd = MakeRecordingWindow();
  ASSERT_NE(hwnd, nullptr);
  seams::WindowHandle window = seams::ToWindowHandle(hwnd);
  g_received.clear();

  std::thread a(PostSeries, window, 1);
  pthread_t b;
  ASSERT_EQ(
      pthread_create(&b, nullptr, PthreadProducer, reinterpret_cast<void*>(static_cast<UINT_PTR>(window))),
      0);
  a.join();
  pthread_join(b, nullptr);

  winetest::WaitUntil([] { return g_received.size() >= 2 * kPerThread; }, 10000);
  seams::RemoveWin32Seams();
  ::DestroyWindow(hwnd);

  ASSERT_EQ(g_received.size(), 2u * kPerThread);
  LPARAM next[3] = {0, 0, 0};
  for (auto [producer, sequence] : g_received) {
    ASSERT_TRUE(producer == 1 || producer == 2);
    ASSERT_EQ(sequence, next[producer]) << "posts of one thread arrive in order";
    ++next[producer];
  }
  EXPECT_FALSE(seams::PostWindowMessage(window, kTestMessage, 0, 0)) << "no poster after removal";
}

TEST(Win32Registry, RoundTripsTypedValuesThroughWinesRegistry) {
  seams::Win32Registry reg;
  const std::string path = "Software\\Tarvel\\SeamsTest";
  reg.DeleteKey(seams::RegistryRoot::CurrentUser, path);
  {
    auto key = reg.CreateKey(seams::RegistryRoot::CurrentUser, path);
    ASSERT_NE(key, nullptr);
    double d = 2.5;
    ASSERT_TRUE(key->WriteValue("Text", seams::MakeStringValue("C:\\Rec\\")));
    ASSERT_TRUE(key->WriteValue("Number", seams::MakeDwordValue(44100)));
    ASSERT_TRUE(key->WriteValue("Double", seams::MakeBinaryValue(&d, sizeof d)));
    auto sub = reg.CreateKey(seams::RegistryRoot::CurrentUser, path + "\\Child");
    ASSERT_NE(sub, nullptr);
  }

  // What Win32 itself sees: the types and sizes.
  HKEY raw;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  ASSERT_EQ(::RegQueryValueExA(raw, "Double", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 8u);
  ASSERT_EQ(::RegQueryValueExA(raw, "Number", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  ASSERT_EQ(::RegQueryValueExA(raw, "Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 8u) << "7 characters and the terminator";
  ::RegCloseKey(raw);

  auto key = reg.OpenKey(seams::RegistryRoot::CurrentUser, path, false);
  ASSERT_NE(key, nullptr);
  seams::RegistryValue value;
  std::string text;
  std::uint32_t number = 0;
  ASSERT_TRUE(key->ReadValue("Text", &value));
  ASSERT_TRUE(seams::ValueAsString(value, &text));
  EXPECT_EQ(text, "C:\\Rec\\");
  ASSERT_TRUE(key->ReadValue("Number", &value));
  ASSERT_TRUE(seams::ValueAsDword(value, &number));
  EXPECT_EQ(number, 44100u);
  ASSERT_TRUE(key->ReadValue("Double", &value));
  double d = 0;
  ASSERT_EQ(value.data.size(), sizeof d);
  memcpy(&d, value.data.data(), sizeof d);
  EXPECT_EQ(d, 2.5);
  std::string name;
  EXPECT_TRUE(key->EnumKey(0, &name));
  EXPECT_EQ(name, "Child");
  EXPECT_FALSE(key->ReadValue("Missing", &value));
  EXPECT_FALSE(key->WriteValue("x", seams::MakeDwordValue(1))) << "opened read-only";
  key.reset();

  EXPECT_TRUE(reg.DeleteKey(seams::RegistryRoot::CurrentUser, path + "\\"));
  EXPECT_EQ(reg.OpenKey(seams::RegistryRoot::CurrentUser, path, false), nullptr);
}

}  // namespace
