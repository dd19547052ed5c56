#include "values/name.h"

#include <cstdlib>

#include "values/name_table.h"

namespace ombrix {

const char empty_text[1] = {'\0'};

namespace {

bool table_made = false;

// Makes the table on first use and registers its exit handler. A failed
// creation takes the mark back so that the next name tries again.
name_table_t& made_name_table() {
  if (!table_made) {
    table_made = true;
    try {
      create_name_table();
    } catch (...) {
      table_made = false;
      throw;
    }
    std::atexit(destroy_name_table);
  }
  return *name_table();
}

}  // namespace

name_t::name_t(const char* text) : text_m(empty_text) {
  if (text == nullptr || *text == '\0') return;
  text_m = made_name_table().intern(text);
}

}  // namespace ombrix
