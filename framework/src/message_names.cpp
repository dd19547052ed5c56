#include "message_names.h"

#include <cstdio>

namespace wyl {

namespace {

struct message_name_t {
  UINT message;
  const char* name;
  bool parameters;  // wParam and lParam are values, not pointers or handles
};

const message_name_t kMessageNames[] = {
    {0x0001, "WM_CREATE", false},       {0x0002, "WM_DESTROY", false},
    {0x0003, "WM_MOVE", true},          {0x0005, "WM_SIZE", true},
    {0x0006, "WM_ACTIVATE", false},     {0x0007, "WM_SETFOCUS", false},
    {0x0008, "WM_KILLFOCUS", false},    {0x000F, "WM_PAINT", false},
    {0x0010, "WM_CLOSE", false},        {0x0014, "WM_ERASEBKGND", false},
    {0x0018, "WM_SHOWWINDOW", true},    {0x0020, "WM_SETCURSOR", false},
    {0x0021, "WM_MOUSEACTIVATE", false}, {0x0046, "WM_WINDOWPOSCHANGING", false},
    {0x0047, "WM_WINDOWPOSCHANGED", false}, {0x0081, "WM_NCCREATE", false},
    {0x0082, "WM_NCDESTROY", false},    {0x0083, "WM_NCCALCSIZE", false},
    {0x0084, "WM_NCHITTEST", false},    {0x0085, "WM_NCPAINT", false},
    {0x0100, "WM_KEYDOWN", true},       {0x0101, "WM_KEYUP", true},
    {0x0102, "WM_CHAR", true},          {0x0104, "WM_SYSKEYDOWN", true},
    {0x0105, "WM_SYSKEYUP", true},      {0x0112, "WM_SYSCOMMAND", true},
    {0x0200, "WM_MOUSEMOVE", true},     {0x0201, "WM_LBUTTONDOWN", true},
    {0x0202, "WM_LBUTTONUP", true},     {0x0204, "WM_RBUTTONDOWN", true},
    {0x0205, "WM_RBUTTONUP", true},     {0x020A, "WM_MOUSEWHEEL", true},
    {0x0300, "WM_CUT", false},          {0x0301, "WM_COPY", false},
    {0x0302, "WM_PASTE", false},
};

std::string hex(unsigned long value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*lX", digits, value);
  return text;
}

}  // namespace

std::string describe_message(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const message_name_t& m : kMessageNames) {
    if (m.message != message) continue;
    if (!m.parameters) return m.name;
    return std::string(m.name) + " " + hex(static_cast<unsigned long>(wParam) & 0xFFFFFFFFul, 8) + " " +
           hex(static_cast<unsigned long>(lParam) & 0xFFFFFFFFul, 8);
  }
  return hex(message, 4);
}

}  // namespace wyl
