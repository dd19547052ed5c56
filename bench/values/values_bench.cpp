// Each benchmark of the value library runs beside its anchor, a standard
// facility doing the same work on the same data in the same run.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "values/name_table.h"
#include "values/string.h"
#include "values/unicode.h"
#include "values/vector.h"

namespace {

constexpr std::size_t name_count = 1000000;
constexpr std::size_t appended_bytes = 1 << 16;
constexpr std::size_t text_units = 1 << 16;

// A million distinct names in a fixed shuffled order.
const std::vector<std::string>& distinct_names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> result;
    result.reserve(name_count);
    char text[32];
    for (std::size_t i = 0; i < name_count; ++i) {
      std::snprintf(text, sizeof text, "request.name.%07zu", i);
      result.emplace_back(text);
    }
    std::shuffle(result.begin(), result.end(), std::mt19937(42));
    return result;
  }();
  return names;
}

// Interning every name into a fresh table, then interning them all again,
// which finds each.
void BM_Names_NameTable(benchmark::State& state) {
  const auto& names = distinct_names();
  for (auto _ : state) {
    ombrix::name_table_t table;
    for (const std::string& n : names) benchmark::DoNotOptimize(table.intern(n.c_str()));
    for (const std::string& n : names) benchmark::DoNotOptimize(table.intern(n.c_str()));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 2 * name_count));
}

void BM_Names_StdSetAnchor(benchmark::State& state) {
  const auto& names = distinct_names();
  for (auto _ : state) {
    std::set<std::string> table;
    for (const std::string& n : names) benchmark::DoNotOptimize(table.insert(n));
    for (const std::string& n : names) benchmark::DoNotOptimize(table.find(n));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 2 * name_count));
}

template <typename Container>
void append_bytes_one_at_a_time(benchmark::State& state) {
  for (auto _ : state) {
    Container s;
    for (std::size_t i = 0; i < appended_bytes; ++i) s.push_back(static_cast<char>('a' + i % 26));
    benchmark::DoNotOptimize(s);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * appended_bytes));
}

// string_t removes its NUL and appends it again for every byte.
void BM_AppendBytes_StringT(benchmark::State& state) {
  append_bytes_one_at_a_time<ombrix::string_t>(state);
}
// The same storage and growth without the NUL: what the NUL costs.
void BM_AppendBytes_VectorChar(benchmark::State& state) {
  append_bytes_one_at_a_time<ombrix::vector<char>>(state);
}
void BM_AppendBytes_StdStringAnchor(benchmark::State& state) {
  append_bytes_one_at_a_time<std::string>(state);
}

std::u16string ascii_text() {
  std::u16string text;
  for (std::size_t i = 0; i < text_units; ++i) text += static_cast<char16_t>(0x20 + i % 95);
  return text;
}

// Latin, accented, euro sign and a surrogate pair in turn: 1 to 4 bytes each.
std::u16string mixed_text() {
  const std::u16string pattern = u"a\x00E9\x20AC\xD83D\xDE00z";
  std::u16string text;
  while (text.size() < text_units) text += pattern;
  return text;
}

// As the console converts a request: reserve one byte per unit plus one.
void convert_with_utf16_to_utf8(benchmark::State& state, const std::u16string& text) {
  for (auto _ : state) {
    ombrix::string_t out;
    out.reserve(text.size() + 1);
    ombrix::utf16_to_utf8(text.begin(), text.end(), std::back_inserter(out));
    benchmark::DoNotOptimize(out.c_str());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}

void convert_with_iconv(benchmark::State& state, const std::u16string& text) {
  iconv_t converter = iconv_open("UTF-8", "UTF-16LE");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  std::vector<char> out(text.size() * 4);
  for (auto _ : state) {
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    std::size_t in_left = text.size() * 2;
    char* to = out.data();
    std::size_t to_left = out.size();
    if (iconv(converter, &in, &in_left, &to, &to_left) == static_cast<std::size_t>(-1)) {
      state.SkipWithError("iconv failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(converter);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}

void BM_Utf16Ascii_Utf16ToUtf8(benchmark::State& state) {
  convert_with_utf16_to_utf8(state, ascii_text());
}
void BM_Utf16Ascii_IconvAnchor(benchmark::State& state) { convert_with_iconv(state, ascii_text()); }
void BM_Utf16Mixed_Utf16ToUtf8(benchmark::State& state) {
  convert_with_utf16_to_utf8(state, mixed_text());
}
void BM_Utf16Mixed_IconvAnchor(benchmark::State& state) { convert_with_iconv(state, mixed_text()); }

}  // namespace

BENCHMARK(BM_Names_NameTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Names_StdSetAnchor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendBytes_StringT)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendBytes_VectorChar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendBytes_StdStringAnchor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Utf16Ascii_Utf16ToUtf8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Utf16Ascii_IconvAnchor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Utf16Mixed_Utf16ToUtf8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Utf16Mixed_IconvAnchor)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
