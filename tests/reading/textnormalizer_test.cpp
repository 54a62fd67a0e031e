#include "reading/chinesenumber.h"
#include "reading/textnormalizer.h"
#include "support/readingcases.h"
#include "synthesis/espeakengine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>

using velanote::TextNormalizer;

namespace {

std::string normalized(const std::u32string& text) {
    return QString::fromStdU32String(TextNormalizer::normalize(text)).toStdString();
}

// Reads Chinese number words back as a number: a quantity (一千零一) or digits one by one (一三八).
std::optional<std::uint64_t> valueOf(std::u32string_view words) {
    static const std::u32string_view digits = U"零一二三四五六七八九";
    const bool spelled = words.find_first_of(U"十百千万亿") == std::u32string_view::npos;
    std::uint64_t done = 0;    // whole multiples of 亿
    std::uint64_t wan = 0;     // whole multiples of 万 below 亿
    std::uint64_t section = 0; // below 万
    std::uint64_t digit = 0;
    for (const char32_t c : words) {
        const std::size_t d = digits.find(c);
        if (d != std::u32string_view::npos || c == U'两') {
            const std::uint64_t value = c == U'两' ? 2 : d;
            if (spelled) {
                done = done * 10 + value;
            } else {
                digit = value;
            }
        } else if (c == U'十' || c == U'百' || c == U'千') {
            const std::uint64_t unit = c == U'十' ? 10 : c == U'百' ? 100 : 1000;
            section += (digit == 0 && c == U'十' ? 1 : digit) * unit;
            digit = 0;
        } else if (c == U'万') {
            wan = (wan + section + digit) * 10000;
            section = digit = 0;
        } else if (c == U'亿') {
            done = (done + wan + section + digit) * 100000000;
            wan = section = digit = 0;
        } else {
            return std::nullopt;
        }
    }
    return done + wan + section + digit;
}

} // namespace

// The hand-checked table: every row must be said as written.
TEST(TextNormalizer, SaysTheHandCheckedTable) {
    const auto cases = velanote::testing::readingCases("normalizer.tsv");
    ASSERT_GE(cases.size(), 150u);
    for (const auto& c : cases) {
        EXPECT_EQ(normalized(c.text.toStdU32String()), c.reading)
            << "[" << c.group << "] " << c.text.toStdString();
    }
}

// Every number of 1 to 16 digits is said in number words only, and those words mean the number.
TEST(TextNormalizer, SaysNumbersAsWordsThatMeanTheSameValue) {
    std::mt19937_64 random(20261208);
    for (int round = 0; round < 10000; ++round) {
        const int length = 1 + round % 16;
        std::string digits(1, static_cast<char>('1' + random() % 9));
        for (int i = 1; i < length; ++i) {
            digits.push_back(static_cast<char>('0' + random() % 10));
        }
        const std::u32string words = TextNormalizer::normalize(std::u32string(digits.begin(), digits.end()));
        const std::optional<std::uint64_t> value = valueOf(words);
        ASSERT_TRUE(value.has_value())
            << digits << " said " << QString::fromStdU32String(words).toStdString();
        EXPECT_EQ(*value, std::stoull(digits)) << QString::fromStdU32String(words).toStdString();
    }
    EXPECT_EQ(velanote::ChineseNumber::cardinal("10000000000000000"), U"一亿亿");
}

// Random digits, symbols and letters never crash it, leave no digit unsaid, and take far less
// than a millisecond per character (a loose guard; the speed itself is the benchmark's).
TEST(TextNormalizer, SurvivesRandomDigitsSymbolsAndLetters) {
    const std::u32string alphabet =
        U"0123456789012345678901234567890123456789.,:/-~+=%‰#&@*x ×÷±°℃²$¥￥€£年月日号点分秒个天周第后元"
        U"kgmhsKMGBLVIPabcAM：．－～％１２３ＡＢ";
    std::mt19937 random(8);
    std::size_t characters = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 300; ++round) {
        std::u32string text(random() % 1001, U' ');
        for (char32_t& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        characters += text.size();
        const std::u32string words = TextNormalizer::normalize(text);
        EXPECT_EQ(words.find_first_of(U"0123456789０１２３４５６７８９"), std::u32string::npos)
            << QString::fromStdU32String(text).toStdString();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds * 1000, static_cast<double>(characters));
}

// The voice is given the normalised text, read as words with the tone changes of 一.
TEST(TextNormalizer, RunsBeforeTheReadingFrontEnd) {
    auto& engine = velanote::EspeakEngine::instance();
    EXPECT_EQ(engine.spokenText(U"我们2个人").get(), "wo3 men5 liang3 ge4 ren2");
    EXPECT_EQ(engine.spokenText(U"2027年").get(), "er4 ling2 er4 qi1 nian2");
    EXPECT_EQ(engine.spokenText(U"1000元").get(), "yi4 qian1 yuan2");
}
