#include "reading/utf8.h"
#include "service/speechquery.h"

#include <gtest/gtest.h>

using velanote::SpeechQuery;

TEST(SpeechQuery, DecodesTheWayWebFormsEncode) {
    EXPECT_EQ(SpeechQuery::decodeComponent("a+b%2Bc%26d%3De%25"), "a b+c&d=e%");
    EXPECT_EQ(SpeechQuery::decodeComponent("%e4%bd%a0%E5%A5%BD"), "你好");
    // A "%" without two hex digits stands for itself.
    EXPECT_EQ(SpeechQuery::decodeComponent("100%"), "100%");
    EXPECT_EQ(SpeechQuery::decodeComponent("%zz%4"), "%zz%4");
    EXPECT_EQ(SpeechQuery::decodeComponent("%00"), std::string(1, '\0'));
}

TEST(SpeechQuery, EncodesEveryByteButTheUnreservedOnesAndDecodesBack) {
    EXPECT_EQ(SpeechQuery::encodeComponent("aZ9-_.~ +&%\"你"), "aZ9-_.~%20%2B%26%25%22%E4%BD%A0");
    const std::string all = [] {
        std::string bytes;
        for (int b = 0; b < 256; ++b) {
            bytes.push_back(static_cast<char>(b));
        }
        return bytes;
    }();
    EXPECT_EQ(SpeechQuery::decodeComponent(SpeechQuery::encodeComponent(all)), all);
}

TEST(SpeechQuery, ReadsTheFirstTextParameter) {
    EXPECT_EQ(SpeechQuery::parse("&text=%E4%BD%A0%E5%A5%BD").text, U"你好");
    EXPECT_EQ(SpeechQuery::parse("text=a&text=b").text, U"a");
    EXPECT_EQ(SpeechQuery::parse("&texts=x&y&text=1%2B1%3D2%26ok").text, U"1+1=2&ok");
    EXPECT_EQ(SpeechQuery::parse("&text=%F0%9F%98%80%E8%A6%AA").text, U"😀親");
    EXPECT_TRUE(SpeechQuery::parse("&text=a%09b").error.empty());
}

TEST(SpeechQuery, RefusesTextThatCannotBeSpoken) {
    EXPECT_EQ(SpeechQuery::parse("").error, "missing text");
    EXPECT_EQ(SpeechQuery::parse("&").error, "missing text");
    EXPECT_EQ(SpeechQuery::parse("&tex=1").error, "missing text");
    EXPECT_EQ(SpeechQuery::parse("&text=").error, "empty text");
    EXPECT_EQ(SpeechQuery::parse("&text").error, "empty text");
    EXPECT_EQ(SpeechQuery::parse("&text=+%20%E3%80%80").error, "empty text");
    for (const char* bad : {"%FF", "%C0%AF", "%ED%A0%80", "%E4%BD", "%F4%90%80%80", "a%80b"}) {
        EXPECT_EQ(SpeechQuery::parse(std::string("&text=") + bad).error, "text is not valid UTF-8") << bad;
    }
    EXPECT_EQ(SpeechQuery::parse("&text=a%00b").error, "text contains control characters");
    EXPECT_EQ(SpeechQuery::parse("&text=a%1Bb").error, "text contains control characters");

    std::string thousand;
    for (int i = 0; i < 1000; ++i) {
        thousand += "%E5%AD%97"; // 字
    }
    EXPECT_TRUE(SpeechQuery::parse("&text=" + thousand).error.empty());
    EXPECT_EQ(SpeechQuery::parse("&text=" + thousand).text.size(), 1000u);
    EXPECT_EQ(SpeechQuery::parse("&text=" + thousand + "a").error, "text longer than 1000 characters");
}

TEST(SpeechQuery, ReadsTheVoiceSettingsAndNamesTheRangeOfABadOne) {
    const SpeechQuery query = SpeechQuery::parse("&text=a&rate=150&pitch=60&volume=200&voice=female&rate=51");
    EXPECT_EQ(query.voice.query(), "&rate=150&pitch=60&volume=200&voice=female");
    EXPECT_EQ(SpeechQuery::parse("&text=a&rate=49").error, "rate takes 50 to 200");
    EXPECT_EQ(SpeechQuery::parse("&text=a&pitch=%31%35%31").error, "pitch takes 50 to 150");
    EXPECT_EQ(SpeechQuery::parse("&text=a&volume=x").error, "volume takes 10 to 200");
    EXPECT_EQ(SpeechQuery::parse("&text=a&voice=").error, "voice takes male or female");
}

TEST(Utf8, RoundTripsEveryEncodedLength) {
    const std::u32string text = U"a\u00e9\u4f60\U0001F600";
    const std::string bytes = velanote::utf8::encode(text);
    EXPECT_EQ(bytes, "a\xC3\xA9\xE4\xBD\xA0\xF0\x9F\x98\x80");
    EXPECT_EQ(velanote::utf8::decode(bytes), text);
}
