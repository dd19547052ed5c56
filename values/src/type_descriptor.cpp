#include "values/type_descriptor.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <type_traits>

#include "values/name.h"

namespace ombrix {

namespace {

constexpr std::size_t parameter_slots = std::extent_v<decltype(type_descriptor_t::parameters)>;

// Walks both lists in step; equal when each pair matches and both end together.
bool same_parameters(const type_descriptor_t& a, const type_descriptor_t& b) noexcept {
  std::size_t i = 0;
  for (; i < parameter_slots && a.parameters[i] && b.parameters[i]; ++i) {
    if (!same_type(*a.parameters[i], *b.parameters[i])) return false;
  }
  return i == parameter_slots || (!a.parameters[i] && !b.parameters[i]);
}

// The run-time library's readable form of the identity's name ("int" for
// "i"); the name as it stands when it cannot be demangled.
void append_identity_name(const std::type_info& identity, std::string& text) {
  int status = 0;
  const std::unique_ptr<char, void (*)(void*)> readable(
      abi::__cxa_demangle(identity.name(), nullptr, nullptr, &status), std::free);
  text += status == 0 && readable ? readable.get() : identity.name();
}

}  // namespace

bool same_type(const type_descriptor_t& a, const type_descriptor_t& b) noexcept {
  if (&a == &b) return true;
  if (a.identity) return b.identity && *a.identity == *b.identity;
  if (b.identity) return false;
  if (compare_strings(a.name, b.name) != 0) return false;
  return same_parameters(a, b);
}

void append_type_name(const type_descriptor_t& d, std::string& text) {
  if (d.identity) {
    append_identity_name(*d.identity, text);
    return;
  }
  text += d.name;
  if (!d.parameters[0]) return;
  text += '<';
  for (std::size_t i = 0; i < parameter_slots && d.parameters[i]; ++i) {
    if (i != 0) text += ',';
    append_type_name(*d.parameters[i], text);
  }
  text += '>';
}

namespace {

std::string cast_message(type_handle_t from, type_handle_t to) {
  std::string message = "bad_cast: ";
  append_type_name(*from.descriptor, message);
  message += " -> ";
  append_type_name(*to.descriptor, message);
  return message;
}

}  // namespace

bad_cast::bad_cast(type_handle_t from, type_handle_t to) : message_m(cast_message(from, to)) {}

bad_cast::~bad_cast() = default;

const char* bad_cast::what() const noexcept { return message_m.c_str(); }

}  // namespace ombrix
