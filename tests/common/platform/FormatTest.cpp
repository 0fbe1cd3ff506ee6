#include "common/Format.h"

#include <gtest/gtest.h>
#include <limits>

using namespace cw;

TEST(Format, Pictures) {
    EXPECT_EQ(formatPicture(0, "###,###", ","), "");
    EXPECT_EQ(formatPicture(1234567, "###,###", ","), "1,234,567");
    EXPECT_EQ(formatPicture(999, "###,###", ","), "999");
    EXPECT_EQ(formatPicture(1000, "###,###", "."), "1.000");
    EXPECT_EQ(formatPicture(0, "##,##0", ","), "0");
    EXPECT_EQ(formatPicture(7, "###,#00", ","), "07");
    EXPECT_EQ(formatPicture(-1234, "##,##0", ","), "-1,234");
    EXPECT_EQ(formatPicture(12345, "#####", ","), "12345");
    EXPECT_EQ(formatPicture(std::numeric_limits<std::int64_t>::min(), "0", ","),
              "-9223372036854775808");
    EXPECT_EQ(formatPicture(5000000000LL, "###,###", ","), "5,000,000,000");
    EXPECT_FALSE(groupSeparator().empty());
}

TEST(Format, Fields) {
    EXPECT_EQ(getField("a|b|c", "|", 1), "a");
    EXPECT_EQ(getField("a|b|c", "|", 3), "c");
    EXPECT_EQ(getField("a|b|", "|", 3), "");
    EXPECT_EQ(getField("a|b", "|", 4), "");
    EXPECT_EQ(getField("a|b", "|", 0), "");
    EXPECT_EQ(getField("", "|", 1), "");
    EXPECT_EQ(getField("a::b", "::", 2), "b");
}

TEST(Format, LeadingNumbers) {
    EXPECT_EQ(leadingNumber("  42 files"), 42);
    EXPECT_EQ(leadingNumber("-17x"), -17);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("12.9"), 12);
    EXPECT_EQ(leadingNumber("99999999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(leadingNumber("-99999999999999999999999"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(leadingNumber("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
}
