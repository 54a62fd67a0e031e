#include "speech/clipcache.h"

#include <gtest/gtest.h>

using velanote::ClipCache;
using velanote::SpeechClip;

namespace {

SpeechClip clip(const std::string& id, std::size_t bytes) {
    return SpeechClip{id, std::make_shared<const std::string>(bytes, 'x'), 100};
}

} // namespace

TEST(ClipCache, DropsTheLeastRecentlyUsedOnceOverTheCap) {
    ClipCache cache(100);
    cache.insert(clip("a", 40));
    cache.insert(clip("b", 40));
    ASSERT_TRUE(cache.find("a")); // a is now more recent than b
    cache.insert(clip("c", 40));
    EXPECT_TRUE(cache.find("a"));
    EXPECT_FALSE(cache.find("b"));
    EXPECT_TRUE(cache.find("c"));
    EXPECT_EQ(cache.bytes(), 80u);

    // Storing an id again replaces it rather than counting it twice.
    cache.insert(clip("c", 50));
    EXPECT_EQ(cache.bytes(), 90u);
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.find("c")->mp3->size(), 50u);

    // A clip larger than the cap stays, alone, so that it can still be fetched once.
    cache.insert(clip("huge", 150));
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_TRUE(cache.find("huge"));
    cache.insert(clip("d", 10));
    EXPECT_FALSE(cache.find("huge"));
    EXPECT_EQ(cache.bytes(), 10u);
}

TEST(ClipCache, AnEvictedClipStaysValidForWhoeverHoldsIt) {
    ClipCache cache(10);
    cache.insert(clip("a", 10));
    const auto held = cache.find("a");
    cache.insert(clip("b", 10));
    ASSERT_TRUE(held);
    EXPECT_EQ(*held->mp3, std::string(10, 'x'));
    EXPECT_FALSE(cache.find("a"));
}
