// Windows that a procedure destroys in the middle of a call: the call ends as
// for a window that no longer exists, and the window hears nothing after its
// WM_NCDESTROY. Built in every build, so that the sanitizers of the 64-bit one
// see any use of a freed window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "case_name.h"
#include "recorder.h"

namespace window_test {
namespace {

using ::operator<<;

// How the window is before the call; none: the call creates it; child: a shown
// child of the active window.
enum class Start { none, hidden, shown, active, minimised, child };

struct Case {
  const char* label;
  Start start;
  std::intptr_t (*call)(HWND window);
  UINT message;            // inside which a procedure destroys the window
  bool by_active_window;   // that procedure: the previously active window's, else the window's own
  std::intptr_t result;    // of the call
  std::optional<DWORD> error;  // GetLastError after it, where Windows gives one
};

std::intptr_t Move(HWND w) { return SetWindowPos(w, nullptr, 10, 20, 30, 40, SWP_NOZORDER | SWP_NOACTIVATE); }
std::intptr_t ShowByPosition(HWND w) {
  return SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}
std::intptr_t Show(HWND w) { return ShowWindow(w, SW_SHOW); }
std::intptr_t Hide(HWND w) { return ShowWindow(w, SW_HIDE); }
std::intptr_t Minimise(HWND w) { return ShowWindow(w, SW_MINIMIZE); }
std::intptr_t Restore(HWND w) { return ShowWindow(w, SW_RESTORE); }
std::intptr_t Foreground(HWND w) { return SetForegroundWindow(w); }
std::intptr_t Focus(HWND w) { return reinterpret_cast<std::intptr_t>(SetFocus(w)); }
std::intptr_t Destroy(HWND w) { return DestroyWindow(w); }
std::intptr_t CreateShown(HWND) {
  return reinterpret_cast<std::intptr_t>(CreateWindowExW(0, recording_class(), nullptr, WS_POPUP | WS_VISIBLE, 0, 0,
                                                         50, 50, nullptr, nullptr, program(), nullptr));
}

// The answer with which the call would go on for a window that still existed.
LRESULT going_on(UINT message) {
  return message == WM_NCCREATE || message == WM_QUERYOPEN || message == WM_NCACTIVATE ? TRUE : 0;
}

constexpr std::optional<DWORD> kInvalid = ERROR_INVALID_WINDOW_HANDLE;
constexpr std::optional<DWORD> kNone = std::nullopt;

const Case kCases[] = {
    {"MoveAsked", Start::hidden, Move, WM_WINDOWPOSCHANGING, false, FALSE, kInvalid},
    {"MoveDone", Start::hidden, Move, WM_WINDOWPOSCHANGED, false, TRUE, kNone},
    {"MoveSizedBeforeMoved", Start::hidden, Move, WM_SIZE, false, TRUE, kNone},
    {"ShowByPositionPaintingTheFrame", Start::hidden, ShowByPosition, WM_NCPAINT, false, TRUE, kNone},
    {"ShowByPositionActivating", Start::hidden, ShowByPosition, WM_ACTIVATE, false, TRUE, kNone},
    {"ShowAnnounced", Start::hidden, Show, WM_SHOWWINDOW, false, FALSE, kNone},
    {"HideAnnounced", Start::shown, Hide, WM_SHOWWINDOW, false, TRUE, kNone},
    {"MinimiseAsked", Start::shown, Minimise, WM_WINDOWPOSCHANGING, false, TRUE, kNone},
    {"RestoreAsked", Start::minimised, Restore, WM_QUERYOPEN, false, TRUE, kNone},
    {"ForegroundFrame", Start::shown, Foreground, WM_NCACTIVATE, false, FALSE, kInvalid},
    {"ForegroundActivated", Start::shown, Foreground, WM_ACTIVATE, false, FALSE, kInvalid},
    {"ForegroundByTheOldWindow", Start::shown, Foreground, WM_ACTIVATE, true, FALSE, kInvalid},
    {"FocusActivating", Start::shown, Focus, WM_ACTIVATE, false, 0, kInvalid},
    {"FocusTakenFromTheOldWindow", Start::child, Focus, WM_KILLFOCUS, true, 0, kInvalid},
    {"DestroyHiding", Start::shown, Destroy, WM_WINDOWPOSCHANGING, false, TRUE, kNone},
    {"DestroyDeactivating", Start::active, Destroy, WM_NCACTIVATE, false, TRUE, kNone},
    {"DestroyTakingTheFocus", Start::active, Destroy, WM_KILLFOCUS, false, TRUE, kNone},
    {"CreateNonClient", Start::none, CreateShown, WM_NCCREATE, false, 0, kNone},
    {"Create", Start::none, CreateShown, WM_CREATE, false, 0, kNone},
    {"CreateShowing", Start::none, CreateShown, WM_SHOWWINDOW, false, 0, kNone},
};

// Its WM_DESTROY once, and its WM_NCDESTROY the last message it got.
void ExpectEndedOnce(HWND window) {
  const auto got = messages_of(window);
  EXPECT_EQ(std::count(got.begin(), got.end(), static_cast<UINT>(WM_DESTROY)), 1);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_FALSE(IsWindow(window));
}

class DestroyedInside : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    set_reaction(nullptr);
    // The window that is active, with the focus, when the call begins.
    active_ = CreateWindowExW(0, recording_class(), nullptr, WS_POPUP, 200, 0, 50, 50, nullptr, nullptr, program(),
                              nullptr);
    ASSERT_NE(active_, nullptr);
    ShowWindow(active_, SW_SHOW);
    ASSERT_EQ(GetFocus(), active_);
  }
  void TearDown() override {
    set_reaction(nullptr);
    DestroyWindow(active_);
    DestroyWindow(window_);
  }

  HWND Prepare(Start start) {
    if (start == Start::none) return nullptr;
    const bool child = start == Start::child;
    HWND w = CreateWindowExW(0, recording_class(), nullptr, child ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_BORDER, 0, 0,
                             100, 100, child ? active_ : nullptr, nullptr, program(), nullptr);
    const int command[] = {0, SW_HIDE, SW_SHOWNA, SW_SHOW, SW_MINIMIZE, SW_SHOWNA};
    ShowWindow(w, command[static_cast<int>(start)]);
    if (start != Start::active) SetForegroundWindow(active_);
    return w;
  }

  // A procedure destroys the window the first time the message comes.
  void DestroyOn(const Case& c) {
    set_reaction([this, &c](HWND w, UINT m, WPARAM, LPARAM, LRESULT& result) {
      if (destroyed_ != nullptr || m != c.message) return false;
      const HWND receiver = c.by_active_window ? active_ : window_;
      if (receiver != nullptr && w != receiver) return false;
      destroyed_ = window_ != nullptr ? window_ : w;
      DestroyWindow(destroyed_);
      result = going_on(m);
      return true;
    });
  }

  HWND active_ = nullptr;
  HWND window_ = nullptr;
  HWND destroyed_ = nullptr;
};

TEST_P(DestroyedInside, EndsTheCallAsForAWindowThatNoLongerExists) {
  const Case& c = GetParam();
  window_ = Prepare(c.start);
  received().clear();
  DestroyOn(c);
  SetLastError(0);
  EXPECT_EQ(c.call(window_), c.result);
  if (c.error) {
    EXPECT_EQ(GetLastError(), *c.error);
  }
  ASSERT_NE(destroyed_, nullptr) << "the message did not come";
  ExpectEndedOnce(destroyed_);
  EXPECT_NE(GetActiveWindow(), destroyed_);
  EXPECT_NE(GetFocus(), destroyed_);
  EXPECT_TRUE(IsWindow(active_));
}

INSTANTIATE_TEST_SUITE_P(Cases, DestroyedInside, ::testing::ValuesIn(kCases), ombrix_test::case_name<Case>);

TEST(ParentDestroyedByItsChild, WhileTheChildIsBeingHiddenEndsBoth) {
  HWND parent = CreateWindowExW(0, recording_class(), nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                nullptr, program(), nullptr);
  HWND child = CreateWindowExW(0, recording_class(), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent, nullptr,
                               program(), nullptr);
  ASSERT_NE(child, nullptr);
  received().clear();
  set_reaction([parent, child](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (w == child && m == WM_WINDOWPOSCHANGING) DestroyWindow(parent);
    return false;
  });
  EXPECT_TRUE(DestroyWindow(child));
  set_reaction(nullptr);
  ExpectEndedOnce(parent);
  ExpectEndedOnce(child);
}

TEST(DestroyWindowAgain, FromEveryMessageOfTheDestructionEndsTheWindowOnce) {
  HWND w = CreateWindowExW(0, recording_class(), nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                           program(), nullptr);
  ASSERT_EQ(GetActiveWindow(), w);
  received().clear();
  set_reaction([w](HWND to, UINT, WPARAM, LPARAM, LRESULT&) {
    if (to == w) {
      EXPECT_TRUE(DestroyWindow(w));
    }
    return false;
  });
  EXPECT_TRUE(DestroyWindow(w));
  set_reaction(nullptr);
  ExpectEndedOnce(w);
}

}  // namespace
}  // namespace window_test
