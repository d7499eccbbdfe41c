#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "core/instances/InstanceManager.h"
#include "platform/seams/WindowQueries.h"
#include "tests/support/native/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// Each test gets its own table and temporary folder.
class InstanceTest : public ::testing::Test {
protected:
  void SetUp() override {
    static int counter = 0;
    app_ = "TarvelTest" + std::to_string(getpid()) + "_" + std::to_string(counter++);
  }
  void TearDown() override { shm_unlink(("/" + CInstanceManager::SharedBlockName(app_)).c_str()); }
  std::unique_ptr<CInstanceManager> Start(const std::string& folder = "") {
    auto copy = std::make_unique<CInstanceManager>(app_);
    EXPECT_TRUE(copy->Startup(folder.empty() ? temp_.string() : folder));
    return copy;
  }

  std::string app_;
  testsupport::TempFolder tmp{"tarvel-instances"};
  // The program's temporary folder, not made yet.
  const fs::path temp_ = tmp / "temp";
};

struct Posted {
  seams::WindowHandle window;
  std::uint32_t message;
};

class RecordingPoster : public seams::MessagePoster {
public:
  bool Post(seams::WindowHandle w, std::uint32_t m, std::uintptr_t, std::intptr_t) noexcept override {
    posted.push_back({w, m});
    return true;
  }
  std::vector<Posted> posted;
};

class FakeWindows : public seams::WindowQueries {
public:
  bool IsWindow(seams::WindowHandle w) override { return live.count(w) > 0; }
  void BringToFront(seams::WindowHandle w) override { brought.push_back(w); }
  std::set<seams::WindowHandle> live;
  std::vector<seams::WindowHandle> brought;
};

TEST_F(InstanceTest, SlotsFoldersAndPrimaryFollowTheOrderOfStarts) {
  auto first = Start();
  EXPECT_EQ(first->GetSlotBit(), 1u);
  EXPECT_TRUE(first->IsPrimary());
  EXPECT_EQ(fs::path(first->GetInstanceDir()).filename(), "$ZQY#Tmp#01$");
  EXPECT_TRUE(fs::is_directory(first->GetInstanceDir()));
  EXPECT_EQ(first->GetSharedClipboardPath(), (temp_ / "$ZQY#Clipboard.wav").string());
  EXPECT_EQ(first->GetClipboardFileName(), first->GetInstanceDir() + "/ZQ#Clipboard.wav");

  auto second = Start();
  auto third = Start();
  EXPECT_EQ(second->GetSlotBit(), 2u);
  EXPECT_FALSE(second->IsPrimary());
  EXPECT_EQ(fs::path(second->GetInstanceDir()).filename(), "$ZQY#Tmp#02$");
  EXPECT_EQ(first->GetInstanceCount(), 3u);

  // The lowest free slot is reused.
  std::string secondDir = second->GetInstanceDir();
  second.reset();
  EXPECT_FALSE(fs::exists(secondDir)) << "a copy removes its folder when it ends";
  auto fourth = Start();
  EXPECT_EQ(fourth->GetSlotBit(), 2u);
  EXPECT_EQ(first->GetInstanceCount(), 3u);
}

TEST_F(InstanceTest, ThePrimaryHandsSchedulingToTheLowestRemainingSlot) {
  RecordingPoster poster;
  seams::SetMessagePoster(&poster);
  auto slot0 = Start();
  auto slot1 = Start();
  auto slot2 = Start();
  auto slot3 = Start();
  slot1->SetMainWindow(0x1111);
  slot3->SetMainWindow(0x3333);
  slot2.reset();
  slot0.reset();
  seams::SetMessagePoster(nullptr);

  ASSERT_EQ(poster.posted.size(), 1u);
  EXPECT_EQ(poster.posted[0].window, 0x1111u);
  EXPECT_EQ(poster.posted[0].message, CInstanceManager::kSchedulingHandoverMessage);
  EXPECT_EQ(slot1->WordForTesting(16), 2u) << "slot 1 is the primary now";
}

TEST_F(InstanceTest, MissingParentFoldersAreMadeAndLeftoversOfFreeSlotsRemoved) {
  fs::path nested = temp_ / "Rec" / "Tmp";  // no trailing separator
  fs::create_directories(nested / "$ZQY#Tmp#05$" / "sub");
  std::FILE* f = std::fopen((nested / "$ZQY#Tmp#05$" / "sub" / "x").c_str(), "w");
  std::fclose(f);
  fs::create_directories(nested / "$ZQY#Tmp#99$");  // not a slot folder
  std::FILE* clip = std::fopen((nested / "$ZQY#Clipboard.wav").c_str(), "w");
  std::fclose(clip);

  auto copy = Start(nested.string());
  EXPECT_EQ(copy->GetInstanceDir(), (nested / "$ZQY#Tmp#01$").string());
  EXPECT_FALSE(fs::exists(nested / "$ZQY#Tmp#05$"));
  EXPECT_TRUE(fs::exists(nested / "$ZQY#Tmp#99$"));
  EXPECT_FALSE(fs::exists(nested / "$ZQY#Clipboard.wav"))
      << "the shared clipboard of copies that are all gone is removed";
}

TEST_F(InstanceTest, ACopyBeyondTheLastSlotGetsNoFolderAndBringsTheFirstLiveWindowForward) {
  FakeWindows windows;
  seams::SetWindowQueries(&windows);
  std::vector<std::unique_ptr<CInstanceManager>> copies;
  for (int i = 0; i < CInstanceManager::kSlots; ++i) copies.push_back(Start());
  copies[2]->SetMainWindow(0x222);
  copies[5]->SetMainWindow(0x555);
  windows.live = {0x555};

  CInstanceManager extra(app_);
  EXPECT_FALSE(extra.Startup(temp_.string()));
  seams::SetWindowQueries(nullptr);
  EXPECT_EQ(extra.GetSlotBit(), 0u);
  EXPECT_EQ(extra.GetInstanceDir(), "") << "never the folder of a live copy";
  EXPECT_EQ(windows.brought, std::vector<seams::WindowHandle>{0x555});
  EXPECT_EQ(copies[0]->GetInstanceCount(), 32u);
}

TEST_F(InstanceTest, ACopyWithoutAWindowYetIsNotTakenForGone) {
  auto first = Start();  // registered, window not shown yet (0)
  auto second = Start();
  EXPECT_TRUE(fs::exists(first->GetInstanceDir()));
  EXPECT_EQ(second->GetInstanceCount(), 2u);
  EXPECT_EQ(second->GetSlotBit(), 2u);
}

// Runs body in a child process; the child exits with body's result.
pid_t Spawn(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  return pid;
}

int WaitExit(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(InstanceTest, ProcessesRacingToRegisterGetDistinctSlots) {
  constexpr int kCopies = 12;
  int ready[2], go[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (int i = 0; i < kCopies; ++i) {
    children.push_back(Spawn([&] {
      CInstanceManager copy(app_);
      if (!copy.Startup(temp_.string())) return 200;
      unsigned char slot = static_cast<unsigned char>(CInstanceManager::SlotIndexOf(copy.GetSlotBit()));
      if (write(ready[1], &slot, 1) != 1) return 201;
      char c;
      if (read(go[0], &c, 1) != 1) return 202;  // stay registered until told
      return 0;
    }));
  }
  std::set<int> slots;
  for (int i = 0; i < kCopies; ++i) {
    unsigned char slot;
    ASSERT_EQ(read(ready[0], &slot, 1), 1);
    slots.insert(slot);
  }
  EXPECT_EQ(slots.size(), static_cast<size_t>(kCopies)) << "no two copies share a slot";
  EXPECT_EQ(*slots.rbegin(), kCopies - 1);
  CInstanceManager observer(app_);
  ASSERT_TRUE(observer.Startup(temp_.string()));
  EXPECT_EQ(observer.GetInstanceCount(), static_cast<unsigned>(kCopies + 1));
  for (int i = 0; i < kCopies; ++i) ASSERT_EQ(write(go[1], "x", 1), 1);
  for (pid_t pid : children) EXPECT_EQ(WaitExit(pid), 0);
  EXPECT_EQ(observer.GetInstanceCount(), 1u);
}

TEST_F(InstanceTest, ACopyKilledWhileHoldingTheLockOrItsSlotBlocksNobody) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  // One copy registers, then dies holding the table's lock.
  pid_t holder = Spawn([&] {
    CInstanceManager copy(app_);
    if (!copy.Startup(temp_.string())) return 1;
    copy.SetMainWindow(0x77);
    copy.LockForTesting();
    if (write(ready[1], "x", 1) != 1) return 2;
    pause();
    return 0;
  });
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  std::string deadDir = (temp_ / "$ZQY#Tmp#01$").string();
  ASSERT_TRUE(fs::exists(deadDir));
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);

  // The next copy gets through, reclaims the dead copy's slot and folder and becomes
  // the primary in its place.
  auto next = Start();
  EXPECT_EQ(next->GetSlotBit(), 1u);
  EXPECT_TRUE(next->IsPrimary());
  EXPECT_EQ(next->GetInstanceCount(), 1u);
  EXPECT_TRUE(fs::exists(next->GetInstanceDir())) << "its own folder, freshly made";
}

// A gone copy's folder that holds its take journal is kept aside for the take to be
// given back: a killed copy's and a leftover of a free slot alike, under numbers
// that do not meet; a live copy's folder and a gone copy's folder without a journal
// are not kept.
TEST_F(InstanceTest, GoneCopiesFoldersWithATakeAreKeptAsideAndLiveOnesAreLeftAlone) {
  const std::string marker = "take.journal";
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  auto record = [&](bool withTake) {
    return Spawn([&, withTake] {
      CInstanceManager copy(app_);
      if (!copy.Startup(temp_.string())) return 1;
      if (withTake) std::fclose(std::fopen((copy.GetInstanceDir() + "/" + marker).c_str(), "w"));
      std::fclose(std::fopen((copy.GetInstanceDir() + "/$0000001.tmp").c_str(), "w"));
      if (write(ready[1], "x", 1) != 1) return 2;
      pause();
      return 0;
    });
  };
  char c;
  const pid_t killed = record(true);
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  const pid_t killedWithout = record(false);
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  const pid_t live = record(true);
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  for (pid_t pid : {killed, killedWithout}) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  // A folder of a slot nobody holds any more, as after a restart of the machine.
  fs::create_directories(temp_ / "$ZQY#Tmp#09$");
  std::fclose(std::fopen((temp_ / "$ZQY#Tmp#09$" / marker).c_str(), "w"));

  auto copy = std::make_unique<CInstanceManager>(app_);
  copy->SetRescueMarker(marker);
  ASSERT_TRUE(copy->Startup(temp_.string()));
  const std::vector<std::string> rescued = copy->RescuedFolders();
  ASSERT_EQ(rescued.size(), 2u);
  for (const std::string& folder : rescued) {
    EXPECT_TRUE(fs::exists(fs::path(folder) / marker)) << folder;
    EXPECT_EQ(fs::path(folder).filename().string().rfind("$ZQY#Rescue#", 0), 0u) << folder;
  }
  EXPECT_FALSE(fs::exists(temp_ / "$ZQY#Tmp#09$"));
  EXPECT_TRUE(fs::exists(temp_ / "$ZQY#Tmp#03$" / marker)) << "the live copy keeps its own folder";
  EXPECT_TRUE(fs::exists(temp_ / "$ZQY#Tmp#03$" / "$0000001.tmp"));
  EXPECT_EQ(copy->GetInstanceDir(), (temp_ / "$ZQY#Tmp#01$").string())
      << "a killed copy's slot is free again";
  EXPECT_FALSE(fs::exists(temp_ / "$ZQY#Tmp#02$"));
  kill(live, SIGKILL);
  waitpid(live, nullptr, 0);
}

// A primary copy that crashes hands nothing on: the copy that runs beside it takes
// the scheduling over when it looks, and counts only the copies that run; the dead
// copy's folder waits for the next start.
TEST_F(InstanceTest, ACopyBesideACrashedPrimaryTakesTheSchedulingOver) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t primary = Spawn([&] {
    CInstanceManager copy(app_);
    if (!copy.Startup(temp_.string()) || !copy.IsPrimary()) return 1;
    if (write(ready[1], "x", 1) != 1) return 2;
    pause();
    return 0;
  });
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  auto beside = Start();
  beside->SetMainWindow(0x2222);
  EXPECT_FALSE(beside->IsPrimary());
  RecordingPoster poster;
  seams::SetMessagePoster(&poster);
  beside->TakeOverFromGonePrimary();
  EXPECT_TRUE(poster.posted.empty()) << "the primary still runs";
  EXPECT_EQ(beside->GetLiveInstanceCount(), 2u);

  kill(primary, SIGKILL);
  waitpid(primary, nullptr, 0);
  EXPECT_EQ(beside->GetInstanceCount(), 2u);
  EXPECT_EQ(beside->GetLiveInstanceCount(), 1u);
  beside->TakeOverFromGonePrimary();
  seams::SetMessagePoster(nullptr);
  EXPECT_TRUE(beside->IsPrimary());
  ASSERT_EQ(poster.posted.size(), 1u);
  EXPECT_EQ(poster.posted[0].window, 0x2222u);
  EXPECT_EQ(poster.posted[0].message, CInstanceManager::kSchedulingHandoverMessage);
  EXPECT_TRUE(fs::exists(temp_ / "$ZQY#Tmp#01$")) << "left for the next start";
}

TEST_F(InstanceTest, TheClipboardCounterTellsAnotherProcessOfANewClipboardSound) {
  auto copy = Start();
  copy->SyncClipboardSerial();
  EXPECT_FALSE(copy->IsClipboardChanged());
  pid_t other = Spawn([&] {
    CInstanceManager second(app_);
    if (!second.Startup(temp_.string())) return 1;
    std::FILE* f = std::fopen(second.GetSharedClipboardPath().c_str(), "w");
    std::fputs("RIFF", f);
    std::fclose(f);
    second.SetClipboardOwner(2);
    second.BumpClipboardSerial();
    return 0;
  });
  ASSERT_EQ(WaitExit(other), 0);
  EXPECT_TRUE(copy->IsClipboardChanged());
  EXPECT_EQ(copy->GetClipboardOwner(), 2u);
  EXPECT_TRUE(fs::exists(copy->GetSharedClipboardPath())) << "the sound stays while a copy still runs";
  copy->SyncClipboardSerial();
  EXPECT_FALSE(copy->IsClipboardChanged());
  std::string clip = copy->GetSharedClipboardPath();
  copy.reset();
  EXPECT_FALSE(fs::exists(clip)) << "the last copy to end removes it";
}

TEST_F(InstanceTest, OnlyOneCopyAtATimeTakesTheClipboard) {
  auto copy = Start();
  copy->SetClipboardOwner(1);
  // Several copies try at the same moment: exactly one gets it.
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> others;
  for (int i = 0; i < 6; ++i) {
    others.push_back(Spawn([&] {
      CInstanceManager other(app_);
      if (!other.Startup(temp_.string())) return 3;
      char c;
      if (read(go[0], &c, 1) != 1) return 4;
      return other.TakeClipboardOwner() ? 0 : 1;
    }));
  }
  // Each child waits for its own byte, so they start together.
  for (size_t i = 0; i < others.size(); ++i) ASSERT_EQ(write(go[1], "x", 1), 1);
  int winners = 0;
  for (pid_t pid : others) {
    int code = WaitExit(pid);
    ASSERT_TRUE(code == 0 || code == 1) << code;
    winners += code == 0;
  }
  EXPECT_EQ(winners, 1);
  EXPECT_EQ(copy->GetClipboardOwner(), 2u);
  EXPECT_FALSE(copy->TakeClipboardOwner()) << "held by the winner";
  copy->SetClipboardOwner(1);
  EXPECT_TRUE(copy->TakeClipboardOwner()) << "free again once the holder gives it back";
}

}  // namespace
