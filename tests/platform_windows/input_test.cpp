// Input through SendInput: where mouse and key messages go, with which
// coordinates and flags, and the keys held down.
#include <gtest/gtest.h>

#include <cmath>

#include "recorder.h"

namespace window_test {
namespace {

INPUT mouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi = MOUSEINPUT{dx, dy, data, flags, 0, 0};
  return in;
}

INPUT key(WORD vk, bool up = false, WORD scan = 0, DWORD flags = 0) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki = KEYBDINPUT{vk, scan, flags | (up ? KEYEVENTF_KEYUP : 0), 0, 0};
  return in;
}

// Absolute coordinates as programs compute them for a pixel of the screen.
LONG absolute(int pixel, int extent) { return static_cast<LONG>(std::lround(pixel * 65535.0 / (extent - 1))); }

bool is_input(UINT m) { return (m >= WM_KEYDOWN && m <= WM_SYSCHAR) || (m >= WM_MOUSEMOVE && m <= WM_MOUSEWHEEL); }
bool is_keystroke(UINT m) { return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP; }

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    received().clear();
    frame_ = CreateWindowExW(0, recording_class(), nullptr, WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 50, 400, 300,
                             nullptr, nullptr, program(), nullptr);
    child_ = CreateWindowExW(0, recording_class(), nullptr, WS_CHILD | WS_VISIBLE, 10, 20, 100, 100, frame_, nullptr,
                             program(), nullptr);
    SetFocus(child_);
    pump();
    received().clear();
  }
  void TearDown() override { DestroyWindow(frame_); }
  void Send(std::vector<INPUT> inputs) {
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
    pump();
  }
  std::vector<Received> InputTo(HWND window) {
    std::vector<Received> out;
    for (const auto& r : received()) {
      if (r.window == window && is_input(r.message)) out.push_back(r);
    }
    return out;
  }
  HWND frame_ = nullptr;
  HWND child_ = nullptr;
};

TEST_F(Input, MouseMessagesCarryClientCoordinatesAndKeyFlags) {
  // Screen (131, 91): the frame's client area starts at (101, 51), the child's at (111, 71).
  const LPARAM at_child = MAKELPARAM(20, 20);
  Send({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, absolute(131, 1024), absolute(91, 768)),
        mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP), key(VK_CONTROL), mouse(MOUSEEVENTF_RIGHTDOWN),
        mouse(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(-WHEEL_DELTA)), mouse(MOUSEEVENTF_RIGHTUP),
        key(VK_CONTROL, true)});
  struct Expected {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const std::vector<Expected> expected{
      {WM_MOUSEMOVE, 0, at_child},
      {WM_LBUTTONDOWN, MK_LBUTTON, at_child},
      {WM_LBUTTONUP, 0, at_child},
      {WM_KEYDOWN, VK_CONTROL, 0},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, at_child},
      {WM_MOUSEWHEEL, MAKEWPARAM(MK_RBUTTON | MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(131, 91)},
      {WM_RBUTTONUP, MK_CONTROL, at_child},
      {WM_KEYUP, VK_CONTROL, 0},
  };
  const auto got = InputTo(child_);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].message, expected[i].message);
    EXPECT_EQ(got[i].wParam, expected[i].wParam);
    if (expected[i].lParam != 0) {
      EXPECT_EQ(got[i].lParam, expected[i].lParam);
    }
  }
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(got[5].wParam), -WHEEL_DELTA);
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, 131);
  EXPECT_EQ(cursor.y, 91);
}

TEST_F(Input, AMoveOutsideTheChildReachesTheFrameAndTheWheelStillTheFocus) {
  Send({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, absolute(301, 1024), absolute(251, 768)),
        mouse(MOUSEEVENTF_WHEEL, 0, 0, WHEEL_DELTA)});
  const auto frame = InputTo(frame_);
  ASSERT_FALSE(frame.empty());
  EXPECT_EQ(frame[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(frame[0].lParam, MAKELPARAM(200, 200));
  const auto child = InputTo(child_);
  ASSERT_EQ(child.size(), 1u);
  EXPECT_EQ(child[0].message, static_cast<UINT>(WM_MOUSEWHEEL));
}

TEST_F(Input, AsyncKeyStateReportsKeysWhileTheyAreHeld) {
  struct Case {
    int key;
    bool down_while_ctrl_held;
  } cases[] = {{VK_CONTROL, true}, {VK_LCONTROL, true}, {VK_RCONTROL, false}, {VK_SHIFT, false}, {'C', false}};
  Send({key(VK_CONTROL)});
  for (const auto& c : cases) EXPECT_EQ(GetAsyncKeyState(c.key) < 0, c.down_while_ctrl_held) << c.key;
  Send({key(VK_CONTROL, true)});
  for (const auto& c : cases) EXPECT_EQ(GetAsyncKeyState(c.key), 0) << c.key;
}

TEST_F(Input, KeysGoToTheFocusAndTranslateIntoCharacters) {
  struct Case {
    std::vector<INPUT> inputs;
    WPARAM character;
  } cases[] = {
      {{key('A'), key('A', true)}, 'a'},
      {{key(VK_SHIFT), key('A'), key('A', true), key(VK_SHIFT, true)}, 'A'},
      {{key(VK_CONTROL), key('C'), key('C', true), key(VK_CONTROL, true)}, 3},
  };
  for (const auto& c : cases) {
    received().clear();
    Send(c.inputs);
    std::vector<WPARAM> characters;
    for (const auto& r : InputTo(child_)) {
      if (r.message == WM_CHAR) characters.push_back(r.wParam);
    }
    EXPECT_EQ(characters, std::vector<WPARAM>{c.character});
  }
}

TEST_F(Input, KeystrokesCarryTheRepeatCountScanCodeAndFlags) {
  const WORD a = 0x1E, x = 0x2D, alt = 0x38, right = 0x4D, f10 = 0x44;  // scan codes
  struct Case {
    const char* label;
    std::vector<INPUT> inputs;
    UINT message;  // the last keystroke's
    WPARAM key;
    WORD flags;  // of lParam's high word, beside the scan code
  } cases[] = {
      {"Press", {key('A', false, a)}, WM_KEYDOWN, 'A', a},
      {"HeldDown", {key('A', false, a), key('A', false, a)}, WM_KEYDOWN, 'A', a | KF_REPEAT},
      {"Release", {key('A', false, a), key('A', true, a)}, WM_KEYUP, 'A', a | KF_REPEAT | KF_UP},
      {"Extended", {key(VK_RIGHT, false, right, KEYEVENTF_EXTENDEDKEY)}, WM_KEYDOWN, VK_RIGHT, right | KF_EXTENDED},
      {"WithAlt", {key(VK_MENU, false, alt), key('X', false, x)}, WM_SYSKEYDOWN, 'X', x | KF_ALTDOWN},
      {"F10", {key(VK_F10, false, f10)}, WM_SYSKEYDOWN, VK_F10, f10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    received().clear();
    Send(c.inputs);
    std::vector<Received> keystrokes;
    for (const auto& r : InputTo(child_)) {
      if (is_keystroke(r.message)) keystrokes.push_back(r);
    }
    ASSERT_EQ(keystrokes.size(), c.inputs.size());
    EXPECT_EQ(keystrokes.back().message, c.message);
    EXPECT_EQ(keystrokes.back().wParam, c.key);
    EXPECT_EQ(keystrokes.back().lParam, MAKELPARAM(1, c.flags));
    for (const INPUT& in : c.inputs) Send({key(in.ki.wVk, true)});
  }
}

TEST_F(Input, SendInputRefusesAWrongStructureSize) {
  INPUT in = key('A');
  EXPECT_EQ(SendInput(1, &in, sizeof(INPUT) - 1), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace window_test
