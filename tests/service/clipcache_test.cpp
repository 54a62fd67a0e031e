#include "service/clipcache.h"

#include <gtest/gtest.h>

using velanote::ClipCache;
using velanote::SpeechClip;

namespace {

SpeechClip clip(const std::string& id, std::size_t bytes) {
    return SpeechClip{id, std::make_shared<const std::string>(bytes, 'x'), 100};
}

} // namespace

TEST(ClipCache, DropsTheLeastRecentlyUsedOnceOverTheCap) {
    const std::size_t unit = ClipCache::footprint(clip("a", 40));
    ClipCache cache(2 * unit + unit / 2);
    cache.insert(clip("a", 40));
    cache.insert(clip("b", 40));
    ASSERT_TRUE(cache.find("a")); // a is now more recent than b
    cache.insert(clip("c", 40));
    EXPECT_TRUE(cache.find("a"));
    EXPECT_FALSE(cache.find("b"));
    EXPECT_TRUE(cache.find("c"));
    EXPECT_EQ(cache.bytes(), 2 * unit);

    // Storing an id again replaces it rather than counting it twice.
    cache.insert(clip("c", 50));
    EXPECT_EQ(cache.bytes(), unit + ClipCache::footprint(clip("c", 50)));
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.find("c")->mp3->size(), 50u);

    // A clip larger than the cap stays, alone, so that it can still be fetched once.
    cache.insert(clip("huge", 3 * unit));
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_TRUE(cache.find("huge"));
    cache.insert(clip("d", 10));
    EXPECT_FALSE(cache.find("huge"));
    EXPECT_EQ(cache.bytes(), ClipCache::footprint(clip("d", 10)));
}

TEST(ClipCache, CountsTheMemoryAClipHoldsNotJustItsLength) {
    auto grown = std::make_shared<std::string>(100, 'x');
    grown->reserve(10000); // as an encoder's buffer that grew ahead of need
    ClipCache cache(5000);
    cache.insert(SpeechClip{"a", grown, 100});
    cache.insert(clip("b", 100));
    EXPECT_LE(cache.bytes(), 5000u);
    EXPECT_FALSE(cache.find("a")) << "10 kB held do not fit a 5 kB cap";
    EXPECT_TRUE(cache.find("b"));
}

TEST(ClipCache, AnEvictedClipStaysValidForWhoeverHoldsIt) {
    ClipCache cache(ClipCache::footprint(clip("a", 10)));
    cache.insert(clip("a", 10));
    const auto held = cache.find("a");
    cache.insert(clip("b", 10));
    ASSERT_TRUE(held);
    EXPECT_EQ(*held->mp3, std::string(10, 'x'));
    EXPECT_FALSE(cache.find("a"));
}
