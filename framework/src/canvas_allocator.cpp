#include "canvas_allocator.h"

#include <cstdlib>
#include <set>

#include "canvas_hooks.h"

namespace wyl {

namespace {

std::set<void*>& live_blocks() {
  static std::set<void*>* blocks = new std::set<void*>;  // outlives every static value
  return *blocks;
}

int stray_blocks = 0;

void* canvas_allocate(std::uint32_t bytes) {
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block != nullptr) live_blocks().insert(block);
  return block;
}

void canvas_deallocate(void* block) {
  if (live_blocks().erase(block) == 0) {
    ++stray_blocks;  // another side's block: freeing it here would corrupt its heap
    return;
  }
  std::free(block);
}

const ombrix::allocator_routines_t canvas_routines = {canvas_allocate, canvas_deallocate};

}  // namespace

ombrix::capture_allocator canvas_allocator() { return ombrix::capture_allocator(&canvas_routines); }

}  // namespace wyl

extern "C" void WYLCanvasBlockCounts(int* live, int* strays) {
  *live = static_cast<int>(wyl::live_blocks().size());
  *strays = wyl::stray_blocks;
}
