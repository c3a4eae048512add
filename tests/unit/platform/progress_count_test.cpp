#include <gtest/gtest.h>

#include <chrono>

#include "platform/progress_count.h"

namespace tessary::platform {
namespace {

using namespace std::chrono_literals;

TEST(ProgressLook, TheTimeWithoutProgressRestartsAtTheFirstLookThatFindsNewMarks) {
    ProgressCount count;
    count.Mark();  // before the watcher started: no progress it has seen
    const ProgressLook::Clock::time_point start{100s};
    ProgressLook look(count, start);
    EXPECT_EQ(look.SinceProgress(start + 2s), 2s);

    count.Mark();
    count.Mark();
    EXPECT_EQ(look.SinceProgress(start + 3s), 0s);
    EXPECT_EQ(look.SinceProgress(start + 5s), 2s);
    count.Mark();
    EXPECT_EQ(look.SinceProgress(start + 9s), 0s);
    EXPECT_EQ(look.SinceProgress(start + 9500ms), 500ms);
}

}  // namespace
}  // namespace tessary::platform
