// Documents and views: a single-document template makes the document, the frame and
// the view from their runtime classes; commands reach the view, then its document,
// then the frame and the application; New reuses the one document; a file that
// cannot be opened or saved is reported and leaves nothing that a later Save could
// write over; the command line and the recent-file list.
#include "support/wine/GTestWin.h"

#include "platform/afx/afxwin.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/TempFolder.h"
#include "support/wine/WindowCapture.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

enum : UINT { kViewCommand = 40001, kDocCommand = 40002, kFrameCommand = 40003, kAppCommand = 40004 };
std::vector<std::string> g_calls;

// A document whose "files" are text files; a name containing "bad" cannot be read or
// written.
class TextDoc : public CDocument {
  DECLARE_DYNCREATE(TextDoc)

public:
  std::string m_text;
  int m_deletes = 0;
  void DeleteContents() override {
    ++m_deletes;
    m_text.clear();
  }
  BOOL OnOpenDocument(const char* path) override {
    DeleteContents();
    if (std::string(path).find("bad") != std::string::npos) return FALSE;
    m_text = std::string("opened ") + path;
    return TRUE;
  }
  BOOL OnSaveDocument(const char* path) override {
    if (std::string(path).find("refused") != std::string::npos) return FALSE;  // before writing anything
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    ::CloseHandle(file);  // a partly written file
    if (std::string(path).find("bad") != std::string::npos) return FALSE;
    SetModifiedFlag(FALSE);
    return TRUE;
  }
  void OnDocCommand() { g_calls.push_back("doc"); }

protected:
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TextDoc, CDocument)
BEGIN_MESSAGE_MAP(TextDoc, CDocument)
  ON_COMMAND(kDocCommand, OnDocCommand)
  ON_COMMAND(kViewCommand, OnDocCommand)  // never reached: the view takes it first
END_MESSAGE_MAP()

class TextView : public CView {
  DECLARE_DYNCREATE(TextView)

public:
  int m_initialUpdates = 0;
  void OnDraw(CDC* dc) override {
    RECT r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, RGB(10, 200, 30));
  }
  void OnInitialUpdate() override { ++m_initialUpdates; }
  void OnViewCommand() { g_calls.push_back("view"); }

protected:
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TextView, CView)
BEGIN_MESSAGE_MAP(TextView, CView)
  ON_COMMAND(kViewCommand, OnViewCommand)
END_MESSAGE_MAP()

class TextFrame : public CFrameWnd {
  DECLARE_DYNCREATE(TextFrame)

public:
  void OnFrameCommand() { g_calls.push_back("frame"); }

protected:
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TextFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(TextFrame, CFrameWnd)
  ON_COMMAND(kFrameCommand, OnFrameCommand)
  ON_COMMAND(kDocCommand, OnFrameCommand)  // the document comes first
END_MESSAGE_MAP()

// A document manager whose file prompt answers with a name set by the test.
class ScriptedDocManager : public CDocManager {
public:
  CString m_answer;
  std::vector<std::string> m_prompts;
  BOOL DoPromptFileName(CString& fileName, UINT titleId, DWORD, BOOL open, CDocTemplate*) override {
    m_prompts.push_back(std::string(open ? "open:" : "save:") + fileName.str());
    if (m_answer.IsEmpty()) return FALSE;
    fileName = m_answer;
    return TRUE;
  }
};

class TestApp : public CWinApp {
public:
  TestApp() : CWinApp("DocViewTest") {}
  void OnAppCommand() { g_calls.push_back("app"); }

protected:
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
  ON_COMMAND(kAppCommand, OnAppCommand)
END_MESSAGE_MAP()

struct DocViewFixture : ::testing::Test {
  TestApp app;
  ScriptedDocManager* manager = new ScriptedDocManager;
  CSingleDocTemplate* docTemplate =
      new CSingleDocTemplate(5000, RUNTIME_CLASS(TextDoc), RUNTIME_CLASS(TextFrame), RUNTIME_CLASS(TextView));
  winetest::TempFolder folder{"docview"};

  DocViewFixture() {
    app.m_pDocManager = manager;
    app.AddDocTemplate(docTemplate);
  }
  ~DocViewFixture() override {
    // Not as the main window: that would end the test's message loop.
    if (CWnd* frame = app.m_pMainWnd) {
      app.m_pMainWnd = nullptr;
      ::DestroyWindow(frame->m_hWnd);
    }
    PumpPendingMessages(50);
  }
  CFrameWnd* Frame() { return static_cast<CFrameWnd*>(app.m_pMainWnd); }
  std::string Title() {
    char text[256] = {};
    ::GetWindowTextA(Frame()->m_hWnd, text, sizeof text);
    return text;
  }
  std::string File(const char* name) { return folder.Path() + "\\" + name; }
};

TEST_F(DocViewFixture, TemplateMakesDocumentFrameAndViewAndRoutesCommandsViewDocumentFrameApplication) {
  app.OnFileNew();
  ASSERT_NE(Frame(), nullptr) << "the first frame becomes the main window";
  auto* view = dynamic_cast<TextView*>(Frame()->GetActiveView());
  ASSERT_NE(view, nullptr) << "the view class of the template is the frame's active view";
  auto* doc = dynamic_cast<TextDoc*>(Frame()->GetActiveDocument());
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(view->GetDocument(), doc);
  EXPECT_EQ(view->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_GE(view->m_initialUpdates, 1);
  EXPECT_EQ(Title(), "Untitled - DocViewTest");

  // The view fills the client area and paints through OnDraw.
  ::SetWindowPos(Frame()->m_hWnd, HWND_TOP, 30, 30, 400, 300, SWP_SHOWWINDOW);
  Frame()->RecalcLayout();
  PumpPendingMessages();
  CapturedImage image = CaptureWindow(view->m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  EXPECT_EQ(image.At(image.width / 2, image.height / 2), RGB(10, 200, 30));

  struct Case {
    UINT id;
    const char* handler;
  } cases[] = {{kViewCommand, "view"}, {kDocCommand, "doc"}, {kFrameCommand, "frame"}, {kAppCommand, "app"}};
  for (const Case& c : cases) {
    g_calls.clear();
    ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
    EXPECT_EQ(g_calls, std::vector<std::string>{c.handler}) << "command " << c.id;
  }

  // New again reuses the document and its view.
  app.OnFileNew();
  EXPECT_EQ(Frame()->GetActiveDocument(), doc);
  EXPECT_EQ(Frame()->GetActiveView(), view);
}

TEST_F(DocViewFixture, OpenTitlesTheDocumentAndAFailedOpenLeavesAnUntitledDocument) {
  std::string good = File("take one.txt");
  CDocument* opened = app.OpenDocumentFile(good.c_str());
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->GetPathName().str(), good);
  EXPECT_EQ(opened->GetTitle().str(), "take one.txt");
  EXPECT_EQ(Title(), "take one.txt - DocViewTest");

  EXPECT_EQ(app.OpenDocumentFile(File("bad.txt").c_str()), nullptr) << "the failure reaches the caller";
  CDocument* doc = Frame()->GetActiveDocument();
  EXPECT_TRUE(doc->GetPathName().IsEmpty()) << "neither the failed file nor the one before is the document's";
  EXPECT_EQ(doc->GetTitle().str(), "Untitled");
  EXPECT_FALSE(doc->IsModified());

  // Save now asks for a name instead of writing over either file.
  manager->m_answer.Empty();
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_FILE_SAVE, 0);
  ASSERT_EQ(manager->m_prompts.size(), 1u);
  EXPECT_EQ(manager->m_prompts[0], "save:Untitled");
}

TEST_F(DocViewFixture, ARecentFileEntryOpensItsFileAndOneThatDoesNotOpenLeavesTheList) {
  // A list of its own, not one another test left.
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTests\\DocViewTest");
  app.SetRegistryKey("TarvelTests");
  app.LoadStdProfileSettings(4);
  ASSERT_NE(app.m_pRecentFileList, nullptr);
  ASSERT_EQ(app.m_pRecentFileList->GetCount(), 0);
  const std::string one = File("take one.txt"), two = File("take two.txt");
  ASSERT_NE(app.OpenDocumentFile(one.c_str()), nullptr);
  ASSERT_NE(app.OpenDocumentFile(two.c_str()), nullptr);
  CRecentFileList& recent = *app.m_pRecentFileList;
  ASSERT_EQ(recent[0].str(), two);
  // The second entry's command, as the File menu sends it, opens that file.
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_FILE_MRU_FILE1 + 1, 0), 0);
  EXPECT_EQ(Title(), "take one.txt - DocViewTest");
  EXPECT_EQ(recent[0].str(), one);
  // An entry whose file cannot be opened goes from the list.
  recent.Add(File("bad.txt").c_str());
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_FILE_MRU_FILE1, 0), 0);
  ASSERT_EQ(recent.GetCount(), 2);
  EXPECT_EQ(recent[0].str(), one);
  EXPECT_EQ(recent[1].str(), two);
  // A command past the entries is nobody's.
  EXPECT_FALSE(app.OnCmdMsg(ID_FILE_MRU_FILE1 + 2, CN_COMMAND, nullptr));
  delete app.m_pRecentFileList;  // nothing of the test's list is kept
  app.m_pRecentFileList = nullptr;
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTests\\DocViewTest");
}

TEST_F(DocViewFixture, FailedSaveAsRemovesTheFileItMadeKeepsTheUsersAndKeepsTheDocumentModified) {
  app.OnFileNew();
  CDocument* doc = Frame()->GetActiveDocument();
  doc->SetModifiedFlag(TRUE);

  std::string bad = File("bad.txt");
  manager->m_answer = bad.c_str();
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_FILE_SAVE_AS, 0);
  EXPECT_EQ(::GetFileAttributesA(bad.c_str()), INVALID_FILE_ATTRIBUTES) << "the half-written file is gone";
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(doc->GetPathName().IsEmpty());

  // A file the user had stays when the save is refused before it wrote anything.
  std::string existing = File("refused.txt");
  HANDLE file = ::CreateFileA(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(file, "keep", 4, &written, nullptr);
  ::CloseHandle(file);
  manager->m_answer = existing.c_str();
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_FILE_SAVE_AS, 0);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExA(existing.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 4u);
  EXPECT_TRUE(doc->IsModified());

  std::string good = File("good.txt");
  manager->m_answer = good.c_str();
  ::SendMessageA(Frame()->m_hWnd, WM_COMMAND, ID_FILE_SAVE_AS, 0);
  EXPECT_NE(::GetFileAttributesA(good.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->GetPathName().str(), good);
}

TEST_F(DocViewFixture, ClosingAModifiedDocumentAsksAndCancelKeepsTheFrame) {
  app.OnFileNew();
  HWND frame = Frame()->m_hWnd;
  Frame()->GetActiveDocument()->SetModifiedFlag(TRUE);
  {
    dialogtest::RecordedMessageBoxes boxes(IDCANCEL);
    ::SendMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Save changes to Untitled?");
    EXPECT_TRUE(::IsWindow(frame));
  }
  app.m_pMainWnd = nullptr;  // closing the main window would end the test's message loop
  {
    dialogtest::RecordedMessageBoxes boxes(IDNO);
    ::SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frame));
  }
}

TEST(CommandLine, QuotedPathsLinuxPathsAndFlags) {
  struct Case {
    const char* line;
    int command;
    const char* file;
  } cases[] = {
      {"", CCommandLineInfo::FileNew, ""},
      {"C:\\music\\a.wav", CCommandLineInfo::FileOpen, "C:\\music\\a.wav"},
      {"\"C:\\my music\\a b.mp3\"", CCommandLineInfo::FileOpen, "C:\\my music\\a b.mp3"},
      {"/nologo \"C:\\x y\\z.ogg\" second", CCommandLineInfo::FileOpen, "C:\\x y\\z.ogg"},
      {"-Embedding /p", CCommandLineInfo::FileNew, ""},
      // Linux paths as a shell hands them over: the Windows path of the same file.
      {"/tmp/take.wav", CCommandLineInfo::FileOpen, "Z:\\tmp\\take.wav"},
      {"\"/tmp/my takes/r\xC3\xA9"
       "cord \xE6\x97\xA5.wav\"",
       CCommandLineInfo::FileOpen,
       "Z:\\tmp\\my takes\\r\xC3\xA9"
       "cord \xE6\x97\xA5.wav"},
      {"/take.wav", CCommandLineInfo::FileOpen, "Z:\\take.wav"},
      {"-1.wav", CCommandLineInfo::FileOpen, "-1.wav"},
  };
  for (const Case& c : cases) {
    TestApp app;
    app.m_lpCmdLine = c.line;
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, c.command) << c.line;
    EXPECT_EQ(info.m_strFileName.str(), c.file) << c.line;
  }
}

TEST(RecentFiles, NewestFirstWithoutDuplicatesAndKeptInTheProfile) {
  TestApp app;
  app.SetRegistryKey("TarvelTests");
  CRecentFileList list(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 3);
  for (const char* path : {"C:\\a.wav", "C:\\b.wav", "c:\\A.WAV", "C:\\c.wav", "C:\\d.wav"}) list.Add(path);
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list[0].str(), "C:\\d.wav");
  EXPECT_EQ(list[1].str(), "C:\\c.wav");
  EXPECT_EQ(list[2].str(), "c:\\A.WAV");
  list.WriteList();
  CRecentFileList again(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 3);
  again.ReadList();
  ASSERT_EQ(again.GetCount(), 3);
  EXPECT_EQ(again[2].str(), "c:\\A.WAV");
  EXPECT_EQ(app.GetProfileString("Recent File List", "File1").str(), "C:\\d.wav");
}

}  // namespace
