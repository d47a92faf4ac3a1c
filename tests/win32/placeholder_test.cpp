#include <gtest/gtest.h>
#include <windows.h>
TEST(Placeholder, RunsUnderWine) { EXPECT_NE(GetCurrentProcessId(), 0u); }
