// The README's tour, followed step by step on a copy of the sample application: what comes
// back is what was there, the system folder of the build aside.
#include "tests/road/Tour.h"

namespace road {
namespace {

TEST_F(TourTest, TheReadmeTourBringsTheSampleBackWhole) {
    buildProfile();
    backUp();
    restore();
    int status = -1;
    EXPECT_EQ(compare(status), "");
    EXPECT_EQ(status, 0);
}

} // namespace
} // namespace road
