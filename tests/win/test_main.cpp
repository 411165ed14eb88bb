// Entry point of the Windows test executable: the build links every program
// with a wide-character entry point, which gtest_main does not provide.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
