// Messages: sent and posted order, the quit message, painting, registered
// messages and the default handling of closing.
#include <gtest/gtest.h>

#include <algorithm>

#include "recorder.h"

namespace window_test {
namespace {

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    received().clear();
    set_reaction(nullptr);
    window_ = CreateWindowExW(0, recording_class(), nullptr, WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, program(), nullptr);
    ASSERT_NE(window_, nullptr);
    received().clear();
  }
  void TearDown() override {
    set_reaction(nullptr);
    DestroyWindow(window_);
  }
  HWND window_ = nullptr;
};

TEST_F(Messages, PostedMessagesComeAfterTheSentOnesThatTheirHandlingMakes) {
  set_reaction([this](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_USER + 1) {
      PostMessageW(window_, WM_USER + 3, 0, 0);
      SendMessageW(window_, WM_USER + 2, 0, 0);
    }
    return false;
  });
  PostMessageW(window_, WM_USER + 1, 0, 0);
  PostQuitMessage(4);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 4u);
  // WM_QUIT waits for every posted message, also one posted after the request.
  EXPECT_EQ(messages_of(window_), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
}

TEST_F(Messages, PaintComesOnlyWhileTheWindowIsInvalid) {
  struct Case {
    bool validates;
    bool painted_again;
  } cases[] = {{true, false}, {false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.validates);
    set_reaction([&](HWND w, UINT m, WPARAM, LPARAM, LRESULT& result) {
      if (m != WM_PAINT || c.validates) return false;
      (void)w;
      result = 0;  // handled without BeginPaint: still invalid
      return true;
    });
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, window_, WM_PAINT, WM_PAINT, PM_REMOVE));
    ShowWindow(window_, SW_SHOW);
    ASSERT_TRUE(PeekMessageW(&msg, window_, WM_PAINT, WM_PAINT, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ(PeekMessageW(&msg, window_, WM_PAINT, WM_PAINT, PM_REMOVE) != FALSE, c.painted_again);
    ShowWindow(window_, SW_HIDE);
    set_reaction(nullptr);
    PAINTSTRUCT ps;
    BeginPaint(window_, &ps);
    EndPaint(window_, &ps);
  }
}

TEST_F(Messages, BeginPaintErasesWithTheClassBrushAndValidates) {
  ShowWindow(window_, SW_SHOW);
  received().clear();
  PAINTSTRUCT ps{};
  ASSERT_NE(BeginPaint(window_, &ps), nullptr);
  EndPaint(window_, &ps);
  EXPECT_EQ(messages_of(window_), std::vector<UINT>{WM_ERASEBKGND});
  EXPECT_FALSE(ps.fErase);  // the class brush erased it
  EXPECT_EQ(ps.rcPaint.right, 100);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, window_, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  InvalidateRect(window_, nullptr, FALSE);
  EXPECT_TRUE(PeekMessageW(&msg, window_, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(Messages, CloseByTheSystemMenuOrAltF4DestroysThroughWmClose) {
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } cases[] = {{WM_CLOSE, 0, 0}, {WM_SYSCOMMAND, SC_CLOSE, 0}, {WM_SYSKEYDOWN, VK_F4, MAKELPARAM(1, KF_ALTDOWN)}};
  for (const auto& c : cases) {
    HWND w = CreateWindowExW(0, recording_class(), nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, program(), nullptr);
    received().clear();
    SendMessageW(w, c.message, c.wParam, c.lParam);
    const auto got = messages_of(w);
    EXPECT_NE(std::find(got.begin(), got.end(), static_cast<UINT>(WM_CLOSE)), got.end());
    EXPECT_FALSE(IsWindow(w));
  }
}

TEST(RegisteredMessages, OneNameGivesOneIdInAnyCase) {
  const UINT id = RegisterWindowMessageW(TEXT("com.example.request"));
  EXPECT_GE(id, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageW(TEXT("COM.Example.Request")), id);
  EXPECT_NE(RegisterWindowMessageW(TEXT("com.example.other")), id);
  EXPECT_EQ(RegisterWindowMessageW(TEXT("")), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace window_test
