// Test programs link a static copy of the display library; this sets it up as the library's
// entry routine would and tears it down at the end.
#include <gtest/gtest.h>

#include "frame/library_state.h"

namespace {
class StaticLibraryEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(FrameProcessAttach(nullptr), 1); }
  void TearDown() override { FrameProcessDetach(); }
};
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new StaticLibraryEnvironment);
  return RUN_ALL_TESTS();
}
