// Toolbars in a frame, made from toolbar resources: their layout docked on a side and
// wrapped, the commands clicks and access keys send, tooltips, the state kept in the
// registry, and how each look paints them. Input comes through SendInput, as a user's
// would.
#include "support/wine/GTestWin.h"

#include "support/wine/DialogTestSupport.h"
#include "support/wine/TempFolder.h"
#include "toolkit/bars/toolbar_test_support.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/TKWinXPVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

#include "platform/afx/linux_headers_begin.h"
#include <unistd.h>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace toolbartest;

TEST_F(ToolbarFrame, ButtonsLieInARowAtTheTopAndInAColumnDownTheSide) {
  // The resource's ids, a separator in the middle, images numbered from the bar's
  // first image in the shared strip.
  EXPECT_EQ(IdsOf(*fileBar), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  const int first = fileBar->GetImagesOffset();
  EXPECT_EQ(fileBar->GetButton(0)->GetImage(), first);
  EXPECT_EQ(fileBar->GetButton(1)->GetImage(), first + 1);
  EXPECT_TRUE(fileBar->GetButton(2)->IsSeparator());
  EXPECT_EQ(fileBar->GetButton(3)->GetImage(), first + 2);
  EXPECT_EQ(editBar->GetButton(0)->GetImage(), editBar->GetImagesOffset());
  EXPECT_NE(editBar->GetImagesOffset(), first);

  // Buttons are the image size plus 6 each way; the row starts one pixel in, the
  // separator is 8 wide.
  struct Expected {
    int left, width;
  };
  const Expected row[] = {{1, 22}, {23, 22}, {45, 8}, {53, 22}, {75, 22}};
  for (int i = 0; i < 5; ++i) {
    CRect rect;
    fileBar->GetItemRect(i, &rect);
    EXPECT_EQ(rect, CRect(row[i].left, 0, row[i].left + row[i].width, 21)) << "button " << i;
  }
  for (int i = 0; i < 3; ++i) {
    CRect rect;
    editBar->GetItemRect(i, &rect);
    EXPECT_EQ(rect, CRect(0, 1 + 21 * i, 22, 22 + 21 * i)) << "button " << i;
  }
  // The bars lie on their sides of the frame: the file bar at the start of the top
  // side, which runs across the frame as tall as a row plus the bar's borders; the
  // edit bar below it on the left.
  CRect client, file, edit;
  ::GetClientRect(frameHwnd, &client);
  fileBar->GetWindowRect(&file);
  editBar->GetWindowRect(&edit);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&file), 2);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&edit), 2);
  CRect fileClient;
  fileBar->GetClientRect(&fileClient);
  EXPECT_EQ(file.TopLeft(), CPoint(0, 0));
  CRect topSide;
  ::GetWindowRect(::GetParent(fileBar->m_hWnd), &topSide);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&topSide), 2);
  EXPECT_EQ(topSide, CRect(0, 0, client.Width(), file.Height()));
  EXPECT_EQ(file.Width(), fileBar->CalcFixedLayout(FALSE, TRUE).cx);
  EXPECT_EQ(fileClient.Height(), 21);
  EXPECT_EQ(edit.top, file.bottom);
  EXPECT_EQ(edit.left, 0);
  CRect editClient;
  editBar->GetClientRect(&editClient);
  EXPECT_EQ(editClient.Width(), 22);

  // The common-control messages answer as a toolbar control would.
  EXPECT_EQ(fileBar->SendMessage(TB_BUTTONCOUNT), 5);
  TBBUTTON info{};
  EXPECT_TRUE(fileBar->SendMessage(TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ(info.idCommand, ID_TEST_SAVE);
  char text[32] = "x";
  fileBar->SetButtonText(1, "Open");
  EXPECT_EQ(fileBar->SendMessage(TB_GETBUTTONTEXTA, ID_TEST_OPEN, reinterpret_cast<LPARAM>(text)), 4);
  EXPECT_STREQ(text, "Open");
}

TEST_F(ToolbarFrame, ANarrowHorizontalBarWrapsIntoRowsWithALineBetweenThem) {
  // A bar of its own in a plain window, sized by the layout it asks for.
  CWnd host;
  ASSERT_TRUE(
      host.CreateEx(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE, 200, 150, 200, 150, frameHwnd, nullptr));
  CTKToolBar bar;
  ASSERT_TRUE(bar.Create(&host, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC, kFileBarId + 5));
  ASSERT_TRUE(bar.LoadToolBar(IDR_FILE_TOOLBAR));
  CRect inside(0, 0, 0, 0);
  bar.CalcInsideRect(inside, TRUE);
  // Room for 50 pixels of buttons: New and Open fit, the separator ends the first row.
  CSize size = bar.CalcDynamicLayout(50 - inside.Width(), LM_HORZ | LM_COMMIT);
  EXPECT_EQ(size.cy, 21 + 5 + 21 - inside.Height());
  ::SetWindowPos(bar.m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  PumpPendingMessages();
  EXPECT_TRUE(bar.GetButton(2)->m_bWrap);
  CRect open, save, print;
  bar.GetItemRect(1, &open);
  bar.GetItemRect(3, &save);
  bar.GetItemRect(4, &print);
  EXPECT_EQ(save.left, 1);
  EXPECT_EQ(save.top, open.bottom + 5);
  EXPECT_EQ(print.left, save.right);
  EXPECT_EQ(print.top, save.top);
  // The wrapping separator is a line across the gap between the rows.
  CapturedImage image = CaptureWindow(bar.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  bool line = false;
  for (int y = open.bottom; y < save.top; ++y)
    if (image.At(20, y) == GlobalData::Get().barShadow) line = true;
  EXPECT_TRUE(line);
  // A vertical layout of the same bar is one column of five (its gripper on top).
  CSize column = bar.CalcDynamicLayout(-1, LM_VERTDOCK);
  CRect vertical(0, 0, 0, 0);
  bar.CalcInsideRect(vertical, FALSE);
  EXPECT_EQ(column.cy, 4 * 21 + 8 - vertical.Height());
  EXPECT_EQ(column.cx, 22 - vertical.Width());
}

TEST_F(ToolbarFrame, EditingTheButtonListKeepsSeparatorsBetweenButtonsOnly) {
  // A separator may neither start the bar nor follow another one.
  EXPECT_EQ(fileBar->InsertSeparator(0), -1);
  ASSERT_EQ(fileBar->InsertSeparator(4), 4);
  EXPECT_EQ(IdsOf(*fileBar),
            (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, 0, ID_TEST_PRINT}));
  // Save alone between two separators: both go but one.
  ASSERT_TRUE(fileBar->RemoveButton(3));
  EXPECT_EQ(IdsOf(*fileBar), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_PRINT}));
  // The last button after a separator: the separator would end the bar, so it goes.
  ASSERT_TRUE(fileBar->RemoveButton(3));
  EXPECT_EQ(IdsOf(*fileBar), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN}));
  EXPECT_FALSE(fileBar->RemoveButton(2));
  EXPECT_FALSE(fileBar->RemoveButton(-1));

  // Insertion: -1 appends, a bad index and a forbidden command are refused and the
  // caller keeps the button.
  auto print = std::make_unique<CTKToolbarButton>(ID_TEST_PRINT, -1, "Print");
  EXPECT_EQ(fileBar->InsertButton(print.get(), 7), -1);
  CTKToolBar::s_forbiddenCommands.AddTail(ID_TEST_PRINT);
  EXPECT_EQ(fileBar->InsertButton(print.get()), -1);
  CTKToolBar::s_forbiddenCommands.RemoveAll();
  EXPECT_EQ(fileBar->InsertButton(print.release()), 2);
  EXPECT_EQ(fileBar->InsertButtonCopy(*fileBar->GetButton(0), 1), 1);
  EXPECT_EQ(IdsOf(*fileBar), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_NEW, ID_TEST_OPEN, ID_TEST_PRINT}));
  EXPECT_NE(fileBar->GetButton(0), fileBar->GetButton(1));

  // Look-ups; a bad index answers none, 0, an empty text or an empty rectangle.
  EXPECT_EQ(fileBar->CommandToIndex(ID_TEST_NEW), 0);
  EXPECT_EQ(fileBar->CommandToIndex(ID_TEST_NEW, 1), 1);
  EXPECT_EQ(fileBar->CommandToIndex(ID_TEST_NEW, 2), -1);
  EXPECT_EQ(fileBar->ButtonToIndex(fileBar->GetButton(3)), 3);
  EXPECT_EQ(fileBar->ButtonToIndex(nullptr), -1);
  EXPECT_EQ(fileBar->GetButton(4), nullptr);
  EXPECT_EQ(fileBar->GetItemID(4), 0u);
  EXPECT_TRUE(fileBar->GetButtonText(4).IsEmpty());
  CRect none(1, 2, 3, 4);
  fileBar->GetItemRect(4, &none);
  EXPECT_TRUE(none.IsRectNull());
  // Every bar showing a command is found.
  CObList buttons;
  EXPECT_EQ(CTKToolBar::GetCommandButtons(ID_TEST_NEW, buttons), 2);
  EXPECT_EQ(CTKToolBar::GetCommandButtons(ID_TEST_CUT, buttons), 1);
  EXPECT_EQ(CTKToolBar::GetAllToolbars().GetCount(), 2);
}

TEST_F(ToolbarFrame, LargeIconsDoubleTheButtonsAndTextLabelsGoUnderTheImages) {
  CTKToolBar::SetLargeIcons(TRUE);
  PumpPendingMessages();
  CRect rect, client;
  fileBar->GetItemRect(0, &rect);
  EXPECT_EQ(rect.Size(), CSize(44, 42));
  editBar->GetItemRect(2, &rect);
  EXPECT_EQ(rect, CRect(0, 1 + 2 * 42, 44, 1 + 3 * 42));
  fileBar->GetClientRect(&client);
  EXPECT_EQ(client.Height(), 42);
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  SavePng(CaptureWindow(frameHwnd, true), TARVEL_TEST_BINARY_DIR "/screenshots/toolbars-large.png");
  CTKToolBar::SetLargeIcons(FALSE);
  PumpPendingMessages();
  fileBar->GetItemRect(0, &rect);
  EXPECT_EQ(rect.Size(), CSize(22, 21));

  // Labels: each button's short text under its image, every row as tall as the
  // tallest button; the separator keeps its width.
  fileBar->EnableTextLabels(TRUE);
  PumpPendingMessages();
  EXPECT_EQ(fileBar->GetButtonText(0), "New");
  EXPECT_TRUE(fileBar->GetButton(0)->m_bTextBelow);
  EXPECT_FALSE(fileBar->GetButton(2)->m_bTextBelow);
  CRect newButton, separator;
  fileBar->GetItemRect(0, &newButton);
  fileBar->GetItemRect(2, &separator);
  EXPECT_GT(newButton.Height(), 21 + GlobalData::Get().textHeight / 2);
  EXPECT_EQ(separator.Width(), 8);
  fileBar->GetClientRect(&client);
  EXPECT_EQ(client.Height(), newButton.Height());
  CapturedImage image = CaptureWindow(frameHwnd, true);
  SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/toolbars-labels.png");
  // The label is drawn: text-coloured pixels under the image.
  POINT under{newButton.CenterPoint().x, newButton.bottom - 4};
  ::MapWindowPoints(fileBar->m_hWnd, frameHwnd, &under, 1);
  bool text = false;
  for (int x = under.x - 8; x <= under.x + 8; ++x)
    for (int y = under.y - 6; y <= under.y + 2; ++y)
      if (image.At(x, y) == GlobalData::Get().buttonText) text = true;
  EXPECT_TRUE(text);
}

TEST_F(ToolbarFrame, ClicksSendTheButtonsCommandButNotFromDisabledButtonsOrWhenReleasedElsewhere) {
  struct Case {
    int index;
    BOOL saveEnabled;
    bool sent;
  };
  const Case cases[] = {
      {0, FALSE, true}, {1, FALSE, true}, {3, FALSE, false}, {3, TRUE, true}, {4, FALSE, true}};
  for (const Case& c : cases) {
    frame->commands.clear();
    frame->saveEnabled = c.saveEnabled;
    ClickAt(CentreOf(*fileBar, c.index));
    const UINT id = fileBar->GetItemID(c.index);
    winetest::WaitUntil([&] { return !frame->commands.empty(); }, c.sent ? 2000 : 300);
    if (c.sent)
      EXPECT_EQ(frame->commands, std::vector<UINT>{id}) << "button " << c.index;
    else
      EXPECT_TRUE(frame->commands.empty()) << "button " << c.index;
    // A disabled button is never drawn pressed.
    EXPECT_FALSE(fileBar->GetButtonStyle(c.index) & TBBS_PRESSED);
  }
  EXPECT_TRUE(fileBar->GetButtonStyle(3) & TBBS_DISABLED ? false : true);

  // Pressed on New and released over Open: nothing. Pressed on New, out and back in:
  // New.
  frame->commands.clear();
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*fileBar, 0), true));
  PumpPendingMessages(100);
  MouseButton(true);
  PumpPendingMessages(100);
  EXPECT_TRUE(fileBar->GetButtonStyle(0) & TBBS_PRESSED);
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*fileBar, 1), true));
  PumpPendingMessages(100);
  EXPECT_FALSE(fileBar->GetButtonStyle(0) & TBBS_PRESSED);
  MouseButton(false);
  PumpPendingMessages(300);
  EXPECT_TRUE(frame->commands.empty());
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*fileBar, 0), true));
  PumpPendingMessages(100);
  MouseButton(true);
  PumpPendingMessages(100);
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*editBar, 0), true));
  PumpPendingMessages(100);
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*fileBar, 0), true));
  PumpPendingMessages(100);
  EXPECT_TRUE(fileBar->GetButtonStyle(0) & TBBS_PRESSED);
  MouseButton(false);
  winetest::WaitUntil([&] { return !frame->commands.empty(); }, 2000);
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_NEW});
}

TEST_F(ToolbarFrame, ARightClickAsksTheFrameForTheBarsMenuAndTheResetPromptRestoresTheResource) {
  const POINT at = CentreOf(*editBar, 1);
  ASSERT_TRUE(MoveMouseAndWait(at, true));
  XDisplayInput::Get().Button(true, 3);
  XDisplayInput::Get().Button(false, 3);
  ASSERT_TRUE(winetest::WaitUntil([&] { return !frame->menuRequests.empty(); }, 2000));
  EXPECT_EQ(frame->menuRequests[0].first, editBar->m_hWnd);
  EXPECT_EQ(frame->menuRequests[0].second.x, at.x);
  EXPECT_EQ(frame->menuRequests[0].second.y, at.y);

  // The user changed the bar; the reset prompt names it and, answered OK, brings the
  // resource's buttons back; answered Cancel, changes nothing.
  ASSERT_TRUE(fileBar->RemoveButton(1));
  fileBar->SetWindowText("&My files ");
  const UINT resetPrompt = ::RegisterWindowMessageA("TKTOOLBAR_RESETRPROMPT");
  {
    dialogtest::RecordedMessageBoxes boxes(IDCANCEL);
    fileBar->SendMessage(resetPrompt);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "All your changes will be lost! Do you really want to reset the toolbar 'My files'?");
    EXPECT_EQ(boxes.shown[0].flags & 0xFFu, static_cast<unsigned>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(IdsOf(*fileBar), (std::vector<UINT>{ID_TEST_NEW, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  }
  {
    dialogtest::RecordedMessageBoxes boxes(IDOK);
    fileBar->SendMessage(resetPrompt);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(IdsOf(*fileBar),
              (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  }
  // A bar without a name is called untitled.
  fileBar->SetWindowText("");
  dialogtest::RecordedMessageBoxes boxes(IDCANCEL);
  fileBar->SendMessage(resetPrompt);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].text.find("'<Untitled>'"), std::string::npos) << boxes.shown[0].text;
}

TEST_F(ToolbarFrame, AccessKeysOfButtonsWithTextSendTheirCommands) {
  ASSERT_TRUE(fileBar->SetButtonDisplay(1, "&Open", TRUE, TRUE));
  ASSERT_TRUE(fileBar->SetButtonDisplay(4, "P&rint", TRUE, FALSE));
  ASSERT_TRUE(fileBar->SetButtonDisplay(0, "&&New", TRUE, TRUE));  // a literal ampersand
  fileBar->AdjustSize();
  struct Case {
    UINT key;
    UINT command;
  };
  const Case cases[] = {{'O', ID_TEST_OPEN}, {'R', ID_TEST_PRINT}, {'N', 0}, {'Z', 0}};
  for (const Case& c : cases) {
    frame->commands.clear();
    EXPECT_EQ(fileBar->ProcessMnemonic(c.key), c.command != 0) << static_cast<char>(c.key);
    winetest::WaitUntil([&] { return !frame->commands.empty(); }, c.command ? 2000 : 100);
    if (c.command)
      EXPECT_EQ(frame->commands, std::vector<UINT>{c.command});
    else
      EXPECT_TRUE(frame->commands.empty());
  }
  // Text makes the button wider by the text; a text-only button loses its image width.
  CRect open, print;
  fileBar->GetItemRect(1, &open);
  fileBar->GetItemRect(4, &print);
  EXPECT_GT(open.Width(), 22 + 20);
  EXPECT_LT(print.Width(), open.Width());
}

TEST_F(ToolbarFrame, TooltipsShowTheCommandsShortTextAndItsShortcut) {
  ACCEL accel{FVIRTKEY | FCONTROL, 'O', ID_TEST_OPEN};
  frame->m_hAccelTable = ::CreateAcceleratorTableA(&accel, 1);
  CTKKeyboardManager keyboard;
  CTKKeyboardManager* previous = g_pKeyboardManager;
  g_pKeyboardManager = &keyboard;
  struct Case {
    int index;
    std::string text;
  };
  const Case cases[] = {{1, "Open (" + std::string(CTKKeyboardManager::ShortcutText(accel)) + ")"},
                        {3, "Save"}};
  for (const Case& c : cases) {
    MoveMouseAndWait(POINT{10, 700}, true);
    PumpPendingMessages(200);
    POINT centre = CentreOf(*fileBar, c.index);
    for (int step = 0; step < 4; ++step) {
      MoveMouse(POINT{centre.x - 3 + step, centre.y});
      PumpPendingMessages(50);
    }
    const bool shown = winetest::WaitUntil(
        [&] { return fileBar->m_hToolTip && ::IsWindowVisible(fileBar->m_hToolTip); }, 4000);
    EXPECT_TRUE(shown) << c.text;
    char text[80] = "";
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = fileBar->m_hWnd;
    info.uId = 1;
    info.lpszText = text;
    ::SendMessageA(fileBar->m_hToolTip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::string(text), c.text);
    if (shown) {
      CapturedImage tip = CaptureWindow(fileBar->m_hToolTip, false);
      ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
      if (c.index == 1) SavePng(tip, TARVEL_TEST_BINARY_DIR "/screenshots/toolbar-tooltip.png");
    }
  }
  g_pKeyboardManager = previous;
}

// Everything of a bar a user can change, to compare two bars.
std::vector<std::string> Describe(const CTKToolBar& bar) {
  std::vector<std::string> lines;
  CString name;
  bar.GetWindowText(name);
  lines.push_back(std::string("name ") + static_cast<const char*>(name));
  for (int i = 0; i < bar.GetCount(); ++i) {
    const CTKToolbarButton* b = bar.GetButton(i);
    char line[160];
    snprintf(line, sizeof line, "%u style %x image %d text '%s' show %d%d user %d", b->m_nID,
             b->m_nStyle & ~TBBS_WRAPPED, b->GetImage(), static_cast<const char*>(b->m_strText), b->m_bText,
             b->m_bImage, b->m_bUserImage);
    lines.push_back(line);
  }
  return lines;
}

// Runs this test program again with only the test below, which writes what its file
// bar shows after loading the stored state into the file; the lines it wrote.
std::vector<std::string> ShownInAnotherProcess(const std::string& file) {
  // Started as this process was: wine's loader (the one running this process) given
  // the program.
  char program[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, program, MAX_PATH);
  char loader[MAX_PATH] = "";
  const ssize_t length = readlink("/proc/self/exe", loader, sizeof loader - 1);
  std::string unixLoader(loader, length > 0 ? static_cast<size_t>(length) : 0);
  // The process runs in wine's preloader ("wine64-preloader.static"); the loader is
  // the file without the suffix.
  const size_t preloader = unixLoader.find("-preloader");
  if (preloader != std::string::npos) unixLoader.resize(preloader);
  std::string dosLoader = "Z:" + unixLoader;
  for (char& c : dosLoader)
    if (c == '/') c = '\\';
  // The loader takes the program's Unix path (the tests live on wine's Z: drive, /).
  std::string unixProgram = program;
  if (unixProgram.rfind("Z:", 0) == 0 || unixProgram.rfind("z:", 0) == 0) unixProgram.erase(0, 2);
  for (char& c : unixProgram)
    if (c == '\\') c = '/';
  unixProgram += ".so";  // the program itself, not its launcher script
  std::string command = "\"" + unixLoader + "\" \"" + unixProgram +
                        "\" --gtest_also_run_disabled_tests "
                        "--gtest_filter=ToolbarFrame.DISABLED_AnotherProcessShowsTheStoredBar";
  ::SetEnvironmentVariableA("TARVEL_TOOLBAR_SHOWN", file.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  std::vector<std::string> lines;
  // The loader is named by its wine path; the command line carries the Unix paths it
  // gets as its arguments.
  if (!::CreateProcessA(dosLoader.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
    return lines;
  // The handle of a process started through the Unix loader does not tell when it
  // ends: the file, written at the end and closed, does.
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  HANDLE in = INVALID_HANDLE_VALUE;
  winetest::WaitUntil(
      [&] {
        in = ::CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (in != INVALID_HANDLE_VALUE && ::GetFileSize(in, nullptr) == 0) {
          ::CloseHandle(in);
          in = INVALID_HANDLE_VALUE;
        }
        return in != INVALID_HANDLE_VALUE;
      },
      30000);
  ::SetEnvironmentVariableA("TARVEL_TOOLBAR_SHOWN", nullptr);
  if (in == INVALID_HANDLE_VALUE) return lines;
  char buffer[4096];
  DWORD read = 0;
  ::ReadFile(in, buffer, sizeof buffer, &read, nullptr);
  ::CloseHandle(in);
  std::string text(buffer, read);
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// The other process of the test below (not run on its own).
TEST_F(ToolbarFrame, DISABLED_AnotherProcessShowsTheStoredBar) {
  char file[MAX_PATH] = "";
  ASSERT_TRUE(::GetEnvironmentVariableA("TARVEL_TOOLBAR_SHOWN", file, MAX_PATH));
  CTKToolBar bar;
  ASSERT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId));
  ASSERT_TRUE(bar.LoadToolBar(IDR_FILE_TOOLBAR));
  ASSERT_TRUE(bar.LoadState(kProfile));
  std::string text;
  for (const std::string& line : Describe(bar)) text += line + "\n";
  HANDLE out = ::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(out);
}

TEST_F(ToolbarFrame, StateKeptInTheRegistryComesBackIdenticalInAFreshBar) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  // The user's edits: Print gone, Open with its text, New moved to the end, a name.
  ASSERT_TRUE(fileBar->RemoveButton(4));
  ASSERT_TRUE(fileBar->SetButtonDisplay(1, "&Open", TRUE, TRUE));
  ASSERT_GE(fileBar->InsertButtonCopy(*fileBar->GetButton(0)), 0);
  ASSERT_TRUE(fileBar->RemoveButton(0));
  fileBar->SetWindowText("My files");
  fileBar->AdjustSize();
  const std::vector<std::string> edited = Describe(*fileBar);
  ASSERT_TRUE(fileBar->SaveState(kProfile));

  // The values under the bar's key.
  HKEY key = nullptr;
  const std::string path = std::string(kProfile) + "TKToolBar-" + std::to_string(kFileBarId);
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << path;
  char name[40] = "";
  DWORD type = 0, size = sizeof name;
  EXPECT_EQ(::RegQueryValueExA(key, "Name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(name, "My files");
  size = 0;
  EXPECT_EQ(::RegQueryValueExA(key, "Buttons", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  ::RegCloseKey(key);

  // The program started again: another process makes the bar from its resource and
  // takes the stored state.
  winetest::TempFolder folder("toolbarstate");
  const std::string shown = folder.File("shown.txt");
  EXPECT_EQ(ShownInAnotherProcess(shown), edited);

  // A new bar, made from the resource as at every start, takes the stored state.
  CTKToolBar fresh;
  ASSERT_TRUE(fresh.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId + 10));
  ASSERT_TRUE(fresh.LoadToolBar(IDR_FILE_TOOLBAR));
  EXPECT_NE(Describe(fresh), edited);
  ASSERT_TRUE(fresh.LoadState(kProfile, kFileBarId));
  EXPECT_EQ(Describe(fresh), edited);
  // A bar with nothing stored keeps its resource buttons.
  CTKToolBar other;
  ASSERT_TRUE(other.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId + 11));
  ASSERT_TRUE(other.LoadToolBar(IDR_FILE_TOOLBAR));
  EXPECT_FALSE(other.LoadState(kProfile));
  EXPECT_EQ(IdsOf(other), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
}

TEST_F(ToolbarFrame, CommandsAddedToOrRemovedFromTheResourceShowOnTheUsersStoredBar) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  CTKWorkspace workspace(TRUE);           // toolbars keep their original items
  ASSERT_TRUE(fileBar->RemoveButton(1));  // the user removed Open
  ASSERT_TRUE(fileBar->SaveState(kProfile));
  struct Case {
    UINT resource;
    std::vector<UINT> ids;
    BOOL changed;
  };
  const Case cases[] = {
      // Export appears at its resource position (the third); Open stays removed.
      {IDR_FILE_TOOLBAR_GROWN, {ID_TEST_NEW, 0, ID_TEST_EXPORT, ID_TEST_SAVE, ID_TEST_PRINT}, TRUE},
      // Save left the program: it leaves the user's bar.
      {IDR_FILE_TOOLBAR_SHRUNK, {ID_TEST_NEW, 0, ID_TEST_PRINT}, TRUE},
      {IDR_FILE_TOOLBAR, {ID_TEST_NEW, 0, ID_TEST_SAVE, ID_TEST_PRINT}, FALSE},
  };
  int n = 0;
  for (const Case& c : cases) {
    CTKToolBar later;
    ASSERT_TRUE(later.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId + 20 + n++));
    ASSERT_TRUE(later.LoadToolBar(c.resource, 0, 0, FALSE, 0, 0, IDR_FILE_TOOLBAR));
    ASSERT_TRUE(later.LoadState(kProfile, kFileBarId));
    EXPECT_EQ(IdsOf(later), c.ids) << c.resource;
    EXPECT_EQ(later.IsResourceChanged(), c.changed) << c.resource;
  }
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
}

TEST(ToolbarParameters, SaveAndLoadTheClassWideOptionsAndAShortKeyLeavesTheRest) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  CTKToolBar::s_bShowTooltips = FALSE;
  CTKToolBar::s_nMenuAnimation = 2;
  CTKVisualManager::GetInstance()->m_lookFlag = TRUE;
  ASSERT_TRUE(CTKToolBar::SaveParameters(kProfile));
  CTKToolBar::s_bShowTooltips = TRUE;
  CTKToolBar::s_nMenuAnimation = 0;
  CTKVisualManager::GetInstance()->m_lookFlag = FALSE;
  ASSERT_TRUE(CTKToolBar::LoadParameters(kProfile));
  EXPECT_FALSE(CTKToolBar::s_bShowTooltips);
  EXPECT_EQ(CTKToolBar::s_nMenuAnimation, 2);
  EXPECT_TRUE(CTKVisualManager::GetInstance()->m_lookFlag);

  // A key with only the first two values: those are read, large icons stay as they
  // are, the menu animation and the look flag fall to 0.
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars\\TKToolbarParameters", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD one = 1, zero = 0;
  ::RegSetValueExA(key, "Tooltips", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4);
  ::RegSetValueExA(key, "ShortcutKeys", 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), 4);
  ::RegCloseKey(key);
  CTKToolBar::s_bShowShortcutKeys = TRUE;
  EXPECT_FALSE(CTKToolBar::LoadParameters(kProfile));
  EXPECT_TRUE(CTKToolBar::s_bShowTooltips);
  EXPECT_FALSE(CTKToolBar::s_bShowShortcutKeys);
  EXPECT_FALSE(CTKToolBar::IsLargeIcons());
  EXPECT_EQ(CTKToolBar::s_nMenuAnimation, 0);
  EXPECT_FALSE(CTKVisualManager::GetInstance()->m_lookFlag);
  CTKToolBar::s_bShowShortcutKeys = TRUE;
  // No key at all changes nothing.
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  CTKToolBar::s_bShowTooltips = FALSE;
  EXPECT_FALSE(CTKToolBar::LoadParameters(kProfile));
  EXPECT_FALSE(CTKToolBar::s_bShowTooltips);
  CTKToolBar::s_bShowTooltips = TRUE;
}

TEST_F(ToolbarFrame, EachLookPaintsTheBarsWithTheirImages) {
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  struct Look {
    CRuntimeClass* cls;
    const char* file;
  };
  const Look looks[] = {{RUNTIME_CLASS(CTKVisualManager), "toolbars-base.png"},
                        {RUNTIME_CLASS(CTKVisualManagerXP), "toolbars-xp.png"},
                        {RUNTIME_CLASS(CTKWinXPVisualManager), "toolbars-themed.png"}};
  frame->saveEnabled = FALSE;
  fileBar->OnUpdateCmdUI(frame, TRUE);  // Save disabled
  fileBar->SetButtonStyle(4, fileBar->GetButtonStyle(4) | TBBS_CHECKED);
  for (const Look& look : looks) {
    // Choosing the look redraws every toolbar in it.
    ASSERT_TRUE(CTKVisualManager::SelectLookClass(look.cls));
    PumpPendingMessages();
    CapturedImage image = CaptureWindow(frameHwnd, true);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + look.file));
    auto at = [&](const CTKToolBar& bar, int index) {
      CRect rect;
      bar.GetItemRect(index, &rect);
      POINT p = rect.CenterPoint();
      ::MapWindowPoints(bar.m_hWnd, frameHwnd, &p, 1);
      return image.At(p.x, p.y);
    };
    EXPECT_EQ(at(*fileBar, 0), kNewColour) << look.file;
    EXPECT_EQ(at(*editBar, 0), kCutColour) << look.file;
    // Save is disabled: its shape in the shadow colour, not its own blue.
    EXPECT_EQ(at(*fileBar, 3), GlobalData::Get().buttonShadow) << look.file;
    // The checked Print has the look's checked face around its image.
    if (look.cls == RUNTIME_CLASS(CTKVisualManagerXP)) {
      auto* xp = dynamic_cast<CTKVisualManagerXP*>(CTKVisualManager::GetInstance());
      ASSERT_TRUE(xp);
      CRect print;
      fileBar->GetItemRect(4, &print);
      POINT corner{print.left + 3, print.top + 3};
      ::MapWindowPoints(fileBar->m_hWnd, frameHwnd, &corner, 1);
      EXPECT_EQ(image.At(corner.x, corner.y), xp->m_itemChecked);
    }
  }
  CTKVisualManager::SelectLookClass(nullptr);
}

}  // namespace
