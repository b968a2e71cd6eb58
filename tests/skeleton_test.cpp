#include "link/unit_frame.h"
#include <gtest/gtest.h>

TEST(UnitFrame, ChecksumWrapsAtEightBits)
{
    const std::uint8_t stop[] = {42, 0, 1, 2, 13, 1};
    EXPECT_EQ(vantora::Checksum8(stop, sizeof stop), 59);
    const std::uint8_t big[] = {200, 100};
    EXPECT_EQ(vantora::Checksum8(big, sizeof big), 44);
}
