#include "procedure/GraduationCache.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

namespace kront::test
{

TEST(GraduationCache, ASettledReadingReadsTheTableOnceAndFailuresAreNotKept)
{
    FakeClock clock;
    int calls = 0;
    bool readable = false;
    GraduationCache cache([&](qint32 id, double emf) -> std::optional<GraduationPoint> {
        ++calls;
        if (!readable)
            return std::nullopt;
        return GraduationPoint{emf + id, 400};
    });
    EXPECT_FALSE(cache(1, 3.26).has_value());
    // An unreadable table is asked again only after a pause: every new reference reading
    // meanwhile would show the operator the same message once more.
    clock.advanceMs(GraduationCache::kRetryAfterMs - 1);
    EXPECT_FALSE(cache(1, 3.27).has_value());
    EXPECT_FALSE(cache(2, 3.28).has_value());
    EXPECT_EQ(calls, 1);
    clock.advanceMs(1);
    EXPECT_FALSE(cache(1, 3.26).has_value());
    EXPECT_EQ(calls, 2);
    clock.advanceMs(GraduationCache::kRetryAfterMs);
    readable = true;
    for (int i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(cache(1, 3.26)->emf, 4.26);
    EXPECT_EQ(calls, 3);
    EXPECT_DOUBLE_EQ(cache(2, 3.26)->emf, 5.26); // per reference sensor
    EXPECT_DOUBLE_EQ(cache(1, 3.261)->emf, 4.261);
    EXPECT_EQ(calls, 5);
}

} // namespace kront::test
