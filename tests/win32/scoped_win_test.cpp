// A COM reference held by an owner is given back once, however the owner
// lets go of it.
#include "app/win32/scoped_win.h"

#include <gtest/gtest.h>

#include <utility>

namespace fablewick::win32 {
namespace {

struct Counted {
  int released = 0;
  unsigned long Release() { return static_cast<unsigned long>(++released); }
};

TEST(ComPtr, GivesBackEachReferenceOnceThroughMovesReplacementAndReceive) {
  Counted first, second, third;
  {
    ComPtr<Counted> held(&first);
    ComPtr<Counted> taker(std::move(held));
    taker = ComPtr<Counted>(&second);
    *taker.Receive() = &third;
    ComPtr<Counted>& same = taker;
    taker = std::move(same);
    EXPECT_EQ(taker.Get(), &third);
  }
  EXPECT_EQ(first.released, 1);
  EXPECT_EQ(second.released, 1);
  EXPECT_EQ(third.released, 1);
}

} // namespace
} // namespace fablewick::win32
