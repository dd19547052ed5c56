// Windows: classes, creation and destruction order, rectangles, show states,
// focus, subclassing, properties and resources.
#include <gtest/gtest.h>

#include <set>

#include "recorder.h"

namespace window_test {
namespace {

constexpr DWORD kFrameStyle = WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CLIPCHILDREN | WS_MINIMIZEBOX;

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    received().clear();
    set_reaction(nullptr);
  }
  void TearDown() override {
    for (HWND w : created_) DestroyWindow(w);
    set_reaction(nullptr);
  }
  HWND Create(DWORD style, HWND parent = nullptr, int x = 0, int y = 0, int w = 100, int h = 100, LPVOID data = nullptr) {
    HWND window = CreateWindowExW(0, recording_class(), TEXT("test"), style, x, y, w, h, parent, nullptr, program(), data);
    EXPECT_NE(window, nullptr);
    if (parent == nullptr) created_.push_back(window);
    return window;
  }
  std::vector<HWND> created_;
};

TEST_F(Windows, CreationSendsNcCreateThenCreateWithTheCreationData) {
  int data = 7;
  std::vector<LPVOID> seen;
  set_reaction([&](HWND, UINT m, WPARAM, LPARAM l, LRESULT&) {
    if (m == WM_NCCREATE || m == WM_CREATE) seen.push_back(reinterpret_cast<LPCREATESTRUCTW>(l)->lpCreateParams);
    return false;
  });
  HWND w = Create(kFrameStyle, nullptr, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, &data);
  EXPECT_EQ(messages_of(w), (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
  EXPECT_EQ(seen, (std::vector<LPVOID>{&data, &data}));
  EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(Windows, UseDefaultGivesAPopupOrChildTheOriginAndNoSize) {
  HWND popup = Create(kFrameStyle, nullptr, CW_USEDEFAULT, 50, CW_USEDEFAULT, 70);
  HWND child = Create(WS_CHILD, popup, CW_USEDEFAULT, 50, CW_USEDEFAULT, 70);
  // On the screen, the child's corner is the popup's client corner, inside its border.
  const std::pair<HWND, LONG> cases[] = {{popup, 0}, {child, 1}};
  for (const auto& [w, corner] : cases) {
    RECT r{7, 7, 7, 7};
    ASSERT_TRUE(GetWindowRect(w, &r));
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>(4, corner)));
  }
}

TEST_F(Windows, ClientAreaIsTheWindowLessItsBordersAndCaption) {
  struct Case {
    DWORD style, ex_style;
    LONG width, height;
  } cases[] = {
      {WS_POPUP, 0, 790, 544},
      {kFrameStyle, WS_EX_WINDOWEDGE, 788, 542},
      {WS_POPUP | WS_CAPTION, 0, 784, 515},
      {WS_POPUP | WS_THICKFRAME, 0, 774, 528},
      {WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, 784, 538},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    HWND w = CreateWindowExW(c.ex_style, recording_class(), nullptr, c.style, 0, 0, 790, 544, nullptr, nullptr, program(), nullptr);
    created_.push_back(w);
    RECT r{};
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r.right, c.width);
    EXPECT_EQ(r.bottom, c.height);
  }
}

TEST_F(Windows, ShowingWithSetWindowPosSizesActivatesAndFocuses) {
  HWND w = Create(kFrameStyle, nullptr, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0);
  received().clear();
  ASSERT_TRUE(SetWindowPos(w, HWND_TOP, 117, 112, 790, 544, SWP_SHOWWINDOW));
  EXPECT_EQ(messages_of(w), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_NCPAINT,
                                               WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}));
  for (const auto& r : received()) {
    if (r.message == WM_SIZE) {
      EXPECT_EQ(r.lParam, MAKELPARAM(788, 542));
    }
    if (r.message == WM_MOVE) {
      EXPECT_EQ(r.lParam, MAKELPARAM(118, 113));  // the client area's corner
    }
  }
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(GetForegroundWindow(), w);
  EXPECT_EQ(GetFocus(), w);
}

TEST_F(Windows, MovingOrSizingSendsOnlyWhatChanged) {
  struct Case {
    int x, y, cx, cy;
    UINT flags;
    std::vector<UINT> messages;
  } cases[] = {
      {20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}},
      {0, 0, 60, 70, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}},
      {0, 0, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE, {WM_WINDOWPOSCHANGING}},
  };
  for (const auto& c : cases) {
    HWND w = Create(WS_POPUP);
    received().clear();
    SetWindowPos(w, nullptr, c.x, c.y, c.cx, c.cy, c.flags);
    EXPECT_EQ(messages_of(w), c.messages);
  }
}

TEST_F(Windows, MinimiseThenRestoreGivesBackTheRectangle) {
  HWND w = Create(kFrameStyle, nullptr, 10, 20, 790, 544);
  ShowWindow(w, SW_SHOW);
  received().clear();
  EXPECT_TRUE(ShowWindow(w, SW_MINIMIZE));
  EXPECT_TRUE(IsIconic(w));
  RECT client{1, 1, 1, 1};
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 0);
  std::vector<WPARAM> sizes;
  for (const auto& r : received()) {
    if (r.message == WM_SIZE) sizes.push_back(r.wParam);
  }
  received().clear();
  EXPECT_TRUE(ShowWindow(w, SW_RESTORE));
  EXPECT_FALSE(IsIconic(w));
  const auto restored = messages_of(w);
  ASSERT_FALSE(restored.empty());
  EXPECT_EQ(restored.front(), static_cast<UINT>(WM_QUERYOPEN));
  for (const auto& r : received()) {
    if (r.message == WM_SIZE) sizes.push_back(r.wParam);
  }
  EXPECT_EQ(sizes, (std::vector<WPARAM>{SIZE_MINIMIZED, SIZE_RESTORED}));
  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{10, 20, 800, 564}));
  EXPECT_EQ(GetActiveWindow(), w);
  received().clear();
  EXPECT_TRUE(ShowWindow(w, SW_RESTORE));  // from the normal state: nothing to change
  EXPECT_EQ(messages_of(w), std::vector<UINT>{});
}

TEST_F(Windows, FocusMovesWithKillFocusThenSetFocus) {
  HWND frame = Create(WS_POPUP | WS_VISIBLE);
  HWND a = Create(WS_CHILD | WS_VISIBLE, frame);
  HWND b = Create(WS_CHILD | WS_VISIBLE, frame);
  SetFocus(a);
  received().clear();
  EXPECT_EQ(SetFocus(b), a);
  ASSERT_EQ(received().size(), 2u);
  EXPECT_EQ(received()[0].window, a);
  EXPECT_EQ(received()[0].message, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(received()[0].wParam, reinterpret_cast<WPARAM>(b));
  EXPECT_EQ(received()[1].window, b);
  EXPECT_EQ(received()[1].message, static_cast<UINT>(WM_SETFOCUS));
  EXPECT_EQ(received()[1].wParam, reinterpret_cast<WPARAM>(a));
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(0x7FFFFFF0)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(GetFocus(), b);
}

TEST_F(Windows, DestroyingSendsDestroyParentsFirstAndNcDestroyChildrenFirst) {
  HWND parent = Create(WS_POPUP);
  HWND child = Create(WS_CHILD, parent);
  HWND grandchild = Create(WS_CHILD, child);
  received().clear();
  ASSERT_TRUE(DestroyWindow(parent));
  created_.clear();
  std::vector<std::pair<HWND, UINT>> order;
  for (const auto& r : received()) order.emplace_back(r.window, r.message);
  const std::vector<std::pair<HWND, UINT>> expected{
      {parent, WM_DESTROY},       {child, WM_DESTROY},     {grandchild, WM_DESTROY},
      {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY},   {parent, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  for (HWND w : {parent, child, grandchild}) {
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(PostMessageW(w, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_EQ(SendMessageW(w, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  }
  EXPECT_NE(Create(WS_POPUP), parent);  // handles are not used again
}

TEST_F(Windows, EnumChildWindowsReachesEveryDescendant) {
  HWND frame = Create(WS_POPUP);
  HWND a = Create(WS_CHILD, frame);
  HWND a1 = Create(WS_CHILD, a);
  HWND a11 = Create(WS_CHILD, a1);
  HWND b = Create(WS_CHILD, frame);
  std::vector<HWND> seen;
  EnumChildWindows(frame, [](HWND w, LPARAM l) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(w);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{a, a1, a11, b}));
  seen.clear();
  EnumChildWindows(frame, [](HWND w, LPARAM l) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(w);
    return FALSE;
  }, reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{a}));
}

LRESULT CALLBACK Subclass(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  received().push_back({w, m + 0x10000, wp, lp});
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(w, "previous"));
  return CallWindowProcW(previous, w, m, wp, lp);
}

TEST_F(Windows, SubclassingReturnsThePreviousProcedureWhichIsCalledBack) {
  HWND w = Create(WS_POPUP);
  const LONG previous = SetWindowLongW(w, GWL_WNDPROC, reinterpret_cast<LONG>(Subclass));
  EXPECT_EQ(previous, reinterpret_cast<LONG>(RecordingProc));
  EXPECT_EQ(GetWindowLongW(w, GWL_WNDPROC), reinterpret_cast<LONG>(Subclass));
  ASSERT_TRUE(SetPropA(w, "previous", reinterpret_cast<HANDLE>(previous)));
  received().clear();
  SendMessageW(w, WM_USER + 5, 1, 2);
  EXPECT_EQ(messages_of(w), (std::vector<UINT>{WM_USER + 5 + 0x10000, WM_USER + 5}));
}

TEST_F(Windows, PropertiesAreKeptByNameUntilRemoved) {
  HWND w = Create(WS_POPUP);
  int one = 1, two = 2;
  ASSERT_TRUE(SetPropA(w, "com.example.one", &one));
  ASSERT_TRUE(SetPropA(w, "com.example.two", &two));
  EXPECT_EQ(GetPropA(w, "COM.example.ONE"), &one);
  EXPECT_EQ(RemovePropA(w, "com.example.one"), &one);
  EXPECT_EQ(GetPropA(w, "com.example.one"), nullptr);
  EXPECT_EQ(GetPropA(w, "com.example.two"), &two);
  EXPECT_EQ(GetPropA(w, "missing"), nullptr);
  // Names in the ANSI code page (UTF-8) fold beyond ASCII and stay distinct.
  ASSERT_TRUE(SetPropA(w, "caf\xc3\xa9", &one));
  EXPECT_EQ(GetPropA(w, "CAF\xc3\x89"), &one);
  EXPECT_EQ(GetPropA(w, "caf\xc3\xa8"), nullptr);
}

TEST(WindowClasses, GlobalClassesAreFoundWithAnyInstanceAndLocalOnesOnlyWithTheirOwn) {
  static char library;  // a module of its own, as a DLL's instance is
  const HINSTANCE other = reinterpret_cast<HINSTANCE>(&library);
  struct Case {
    LPCWSTR name;
    UINT style;
    bool found_with_program;
  } cases[] = {{TEXT("window_test.library.global"), CS_GLOBALCLASS, true},
               {TEXT("window_test.library.local"), 0, false}};
  for (const auto& c : cases) {
    WNDCLASSEXW wc{sizeof wc, c.style, RecordingProc, 0, 0, other, nullptr, nullptr, nullptr, nullptr, c.name, nullptr};
    ASSERT_NE(RegisterClassExW(&wc), 0);
    SetLastError(0);
    HWND w = CreateWindowExW(0, c.name, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, program(), nullptr);
    EXPECT_EQ(w != nullptr, c.found_with_program);
    if (w == nullptr) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    }
    DestroyWindow(w);
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  }
  WNDCLASSEXW wrong_size{sizeof(WNDCLASSEXW) - 4, 0, RecordingProc, 0, 0, other, nullptr, nullptr, nullptr, nullptr,
                         TEXT("window_test.wrong.size"), nullptr};
  EXPECT_EQ(RegisterClassExW(&wrong_size), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(WindowClasses, SetClassLongReturnsThePreviousBrush) {
  HWND w = CreateWindowExW(0, recording_class(), nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, program(), nullptr);
  const LONG dark = static_cast<LONG>(reinterpret_cast<ULONG_PTR>(GetStockObject(DKGRAY_BRUSH)));
  EXPECT_EQ(SetClassLongW(w, GCL_HBRBACKGROUND, dark), static_cast<DWORD>(COLOR_WINDOW + 1));
  EXPECT_EQ(GetClassLongW(w, GCL_HBRBACKGROUND), static_cast<DWORD>(dark));
  EXPECT_EQ(SetClassLongW(w, GCL_HBRBACKGROUND, COLOR_WINDOW + 1), static_cast<DWORD>(dark));
  EXPECT_EQ(GetClassLongW(w, 12345), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  DestroyWindow(w);
}

TEST(WindowResources, IconGroupsOfTheProgramsScriptAndSystemCursors) {
  EXPECT_NE(LoadIconW(program(), MAKEINTRESOURCEW(104)), nullptr);
  EXPECT_NE(LoadIconW(program(), TEXT("banner")), nullptr);
  EXPECT_NE(LoadIconW(program(), MAKEINTRESOURCEW(110)), nullptr);
  EXPECT_NE(LoadIconW(program(), TEXT("Extra")), nullptr);
  EXPECT_NE(LoadIconW(program(), MAKEINTRESOURCEW(104)), LoadIconW(program(), MAKEINTRESOURCEW(110)));
  EXPECT_EQ(LoadIconW(program(), MAKEINTRESOURCEW(105)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  EXPECT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), arrow);
  std::set<HCURSOR> cursors;
  for (LPCWSTR name : {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_HAND}) cursors.insert(LoadCursorW(nullptr, name));
  EXPECT_EQ(cursors.size(), 4u);
  EXPECT_EQ(cursors.count(nullptr), 0u);
  for (LPCWSTR unknown : {static_cast<LPCWSTR>(MAKEINTRESOURCEW(1)), TEXT("arrow")}) {
    SetLastError(0);
    EXPECT_EQ(LoadCursorW(nullptr, unknown), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  }
  EXPECT_NE(GetStockObject(DKGRAY_BRUSH), nullptr);
  EXPECT_NE(GetStockObject(DKGRAY_BRUSH), GetStockObject(WHITE_BRUSH));
}

// What the start-up code of a resource script calls for each icon group.
extern "C" void winlayer_register_icon_group(const char* key);

TEST(WindowResources, NamesBeyondAsciiStayDistinctAndCompareWithoutRegardToCase) {
  winlayer_register_icon_group("\xC3\x84RGER");          // ÄRGER
  winlayer_register_icon_group("\xCE\xA9MEGA");          // ΩMEGA
  const HICON aerger = LoadIconW(program(), u"\u00E4rger");
  const HICON omega = LoadIconW(program(), u"\u03C9mega");
  EXPECT_NE(aerger, nullptr);
  EXPECT_NE(omega, nullptr);
  EXPECT_NE(aerger, omega);
  EXPECT_EQ(LoadIconW(program(), u"\u00C4RGER"), aerger);
  for (LPCWSTR other : {u"\u00D6RGER", u"?RGER", u"ARGER", u"\u00C4RGERN"}) {
    SetLastError(0);
    EXPECT_EQ(LoadIconW(program(), other), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  }
}

TEST(Screen, MetricsComeFromTheProfile) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

}  // namespace
}  // namespace window_test
