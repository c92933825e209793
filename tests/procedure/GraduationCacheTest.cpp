#include "procedure/GraduationCache.h"

#include <gtest/gtest.h>

namespace kront::test
{

TEST(GraduationCache, ASettledReadingReadsTheTableOnceAndFailuresAreNotKept)
{
    int calls = 0;
    bool readable = false;
    GraduationCache cache([&](qint32 id, double emf) -> std::optional<GraduationPoint> {
        ++calls;
        if (!readable)
            return std::nullopt;
        return GraduationPoint{emf + id, 400};
    });
    EXPECT_FALSE(cache(1, 3.26).has_value());
    EXPECT_FALSE(cache(1, 3.26).has_value());
    EXPECT_EQ(calls, 2); // an unreadable table is asked again
    readable = true;
    for (int i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(cache(1, 3.26)->emf, 4.26);
    EXPECT_EQ(calls, 3);
    EXPECT_DOUBLE_EQ(cache(2, 3.26)->emf, 5.26); // per reference sensor
    EXPECT_DOUBLE_EQ(cache(1, 3.261)->emf, 4.261);
    EXPECT_EQ(calls, 5);
}

} // namespace kront::test
