// The host's side of the canvas boundary in tests: counting allocator routines
// for what the test makes, and the canvas's own counts for what it makes.
#ifndef OMBRIX_TESTS_FRAMEWORK_CANVAS_FIXTURE_H
#define OMBRIX_TESTS_FRAMEWORK_CANVAS_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "canvas_hooks.h"
#include "counting_routines.h"
#include "request.h"
#include "wyl_canvas/brisk_external_interface.h"

namespace canvas = ombrix::wyl_canvas::brisk_external_interface;

inline std::pair<int, int> canvas_blocks() {
  int live = 0, strays = 0;
  WYLCanvasBlockCounts(&live, &strays);
  return {live, strays};
}

// Every test ends with the test's blocks and the canvas's blocks given back
// to their makers, and no block given to the wrong side.
class CanvasBoundary : public CountedBlocks {
 protected:
  void SetUp() override {
    CountedBlocks::SetUp();
    before_ = canvas_blocks();
  }
  void TearDown() override {
    CountedBlocks::TearDown();
    const auto after = canvas_blocks();
    EXPECT_EQ(after.first, before_.first) << "blocks of the canvas not given back";
    EXPECT_EQ(after.second, before_.second) << "the canvas was given blocks it did not make";
  }

 private:
  std::pair<int, int> before_;
};

// The request as the canvas reads it from the UTF-8 text.
inline canvas::request_t read(const std::string& text) { return canvas::read_request(text.data(), text.size()); }

#endif
