// A request's round trip through the console's dispatcher, beside a bare
// SendMessageW to a procedure that returns at once, in the same run. The
// benchmark plays the player's part as the framework stand-in does it: it
// sends the request message with the request text to the subclassed player
// window of the real stand-in, and reads and frees the reply BSTR. Parts of
// the trip are measured alone to show where the time goes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "app_function_call.h"
#include "console_log.h"
#include "frame_window.h"
#include "process_machine.h"
#include "request.h"
#include "win32.h"
#include "wyl/wyl.h"
#include "wyl_canvas/brisk_external_interface.h"

namespace {

namespace canvas = ombrix::wyl_canvas::brisk_external_interface;

ombrix_test::ProcessMachine machine("dispatcher-bench", [](const std::string& root) {
  ::setenv("TMP", root.c_str(), 1);
  return std::string("[system]\n");
});

// Returns at once for the message sent; creation goes to the default handling.
LRESULT CALLBACK ReturnAtOnce(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

// The frame, the subclassed player of the stand-in, and a window whose
// procedure does nothing, made once.
struct Windows {
  HWND player = nullptr;
  HWND bare = nullptr;
  UINT request = 0;

  Windows() {
    static FrameworkStartParams start = {1, 0};
    if (WYLInitialize(&start) != 0) std::abort();
    instanceHandle = GetModuleHandleW(nullptr);
    RegisterFrameClass(instanceHandle);
    frameWindow = CreateWindowExW(0, kFrameClassName, TEXT("bench"), WS_POPUP, 0, 0, 790, 544, nullptr, nullptr,
                                  instanceHandle, nullptr);
    player = playerWindow = CreateSubclassedPlayer();
    WNDCLASSEXW bareClass = {};
    bareClass.cbSize = sizeof bareClass;
    bareClass.lpfnWndProc = ReturnAtOnce;
    bareClass.hInstance = instanceHandle;
    bareClass.lpszClassName = TEXT("bench bare");
    RegisterClassExW(&bareClass);
    bare = CreateWindowExW(0, TEXT("bench bare"), nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instanceHandle,
                           nullptr);
    request = RegisterWindowMessageW(TEXT("com.ombrix.wyl.brisk-player.app-function"));
    if (player == nullptr || bare == nullptr || request == 0) std::abort();
  }
};

Windows& Get() {
  static Windows windows;
  return windows;
}

std::u16string RequestText(const char* name) {
  return u"<request name=\"" + std::u16string(name, name + std::char_traits<char>::length(name)) +
         u"\" call=\"1\"></request>";
}

void BM_RequestRoundTrip(benchmark::State& state, const char* name) {
  Windows& w = Get();
  const std::u16string text = RequestText(name);
  for (auto _ : state) {
    AppFunctionCall call = {0, reinterpret_cast<const WCHAR*>(text.c_str()), nullptr};
    SendMessageW(w.player, w.request, 0, reinterpret_cast<LPARAM>(&call));
    if (call.reply == nullptr) state.SkipWithError("no reply");
    benchmark::DoNotOptimize(SysStringLen(call.reply));
    SysFreeString(call.reply);
  }
}
BENCHMARK_CAPTURE(BM_RequestRoundTrip, GetLocale, "externalAppGetLocale");
BENCHMARK_CAPTURE(BM_RequestRoundTrip, GetTempPath, "externalAppGetTempPath");

void BM_BareSendMessage(benchmark::State& state) {
  Windows& w = Get();
  for (auto _ : state) benchmark::DoNotOptimize(SendMessageW(w.bare, WM_USER, 0, 0));
}
BENCHMARK(BM_BareSendMessage);

// Parts of the trip.
void BM_ReadRequest(benchmark::State& state) {
  const std::string text = "<request name=\"externalAppGetLocale\" call=\"1\"></request>";
  for (auto _ : state) {
    canvas::request_t request = canvas::read_request(text.c_str(), text.size());
    benchmark::DoNotOptimize(request.name.c_str());
  }
}
BENCHMARK(BM_ReadRequest);

void BM_WriteResponse(benchmark::State& state) {
  const ombrix::string_t locale("en_US");
  for (auto _ : state) benchmark::DoNotOptimize(canvas::write_response(locale).size());
}
BENCHMARK(BM_WriteResponse);

void BM_GetConsoleLog(benchmark::State& state) {
  GetConsoleLog();
  for (auto _ : state) GetConsoleLog();
}
BENCHMARK(BM_GetConsoleLog);

void BM_GetTempPathW(benchmark::State& state) {
  WCHAR path[MAX_PATH];
  for (auto _ : state) benchmark::DoNotOptimize(GetTempPathW(MAX_PATH, path));
}
BENCHMARK(BM_GetTempPathW);

}  // namespace

BENCHMARK_MAIN();
