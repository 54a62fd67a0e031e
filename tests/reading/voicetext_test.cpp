#include "reading/voicetext.h"
#include "synthesis/espeakengine.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

using velanote::VoiceText;

namespace {

// Stands in for the voice: pieces holding an English word or one of a few symbols "switch language".
struct FakeVoice {
    std::vector<std::string> asked;
    bool staysMandarin(const std::string& piece) {
        asked.push_back(piece);
        for (const char* foreign : {"Tom", "Hello", "+", "=", "%", "@", "\xCE\xA9" /* Ω */}) {
            if (piece.find(foreign) != std::string::npos) {
                return false;
            }
        }
        return true;
    }
};

} // namespace

TEST(VoiceText, SpellsAbbreviationsKeepsEnglishWordsAndPausesForForeignSymbols) {
    FakeVoice voice;
    const VoiceText text([&voice](const std::string& piece) { return voice.staysMandarin(piece); },
                         [](std::u32string_view word) { return word == U"iPhone" ? "ai4 feng4" : ""; });

    EXPECT_EQ(text.prepare(U"亲爱的妈妈，親愛的媽媽！"), "亲爱的妈妈，親愛的媽媽！");
    EXPECT_TRUE(voice.asked.empty()) << "Chinese alone needs no check";
    // Two to five capitals and a few lower-case abbreviations are said letter by letter.
    EXPECT_EQ(text.prepare(U"CCTV和NBA，vip，Atm，HELLO，HAPPYS，A"),
              "C-C-T-V和N-B-A，V-I-P，A-T-M，H-E-L-L-O，HAPPYS，A");
    EXPECT_EQ(text.prepare(U"Hello, Tom! don't"), "Hello, Tom! don't");
    EXPECT_EQ(text.prepare(U"我的iPhone"), "我的ai4 feng4");
    EXPECT_EQ(text.prepare(U"好Ω好"), "好 好");
    EXPECT_EQ(text.prepare(U"ABC\n好"), "A-B-C 好"); // line breaks become blanks
}

TEST(VoiceText, GivesLatinWordsToTheEnglishVoiceAndSyllablesToTheMandarinOne) {
    const auto runs = VoiceText::languageRuns("wo3 yong4 iPhone, N-B-A，hen3 hao3 lv4 nu:3 Tom");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, "wo3 yong4 ");
    EXPECT_EQ(runs[1].text, "iPhone, N-B-A");
    EXPECT_EQ(runs[2].text, "，hen3 hao3 lv4 nu:3 ");
    EXPECT_EQ(runs[3].text, "Tom");
    EXPECT_TRUE(runs[1].english && runs[3].english && !runs[0].english && !runs[2].english);
}

TEST(EspeakEngine, SpeaksChineseInMandarinAndLatinWordsInEnglish) {
    auto& engine = velanote::EspeakEngine::instance();
    ASSERT_TRUE(engine.warmUp().get());
    const std::regex languageSwitch(R"(\([a-z-]+\))");
    const std::regex mandarinTone("(55|35|214|51)");

    const std::string simplified = engine.spokenPhonemes(U"亲爱的妈妈，祝您生日快乐，万事如意").get();
    const std::string traditional = engine.spokenPhonemes(U"親愛的媽媽，祝您生日快樂，萬事如意").get();
    EXPECT_EQ(simplified, traditional);

    for (const std::u32string& text :
         {std::u32string(U"亲爱的妈妈，祝您生日快乐，万事如意"), std::u32string(U"1+1=2，100%开心，-5℃"),
          std::u32string(U"α和Ω，~#*&")}) {
        const std::string phonemes = engine.spokenPhonemes(text).get();
        EXPECT_FALSE(std::regex_search(phonemes, languageSwitch)) << phonemes;
        EXPECT_TRUE(std::regex_search(phonemes, mandarinTone)) << phonemes;
    }
    // Latin words by the English voice's rules, abbreviations as English letter names.
    const std::string mixed = engine.spokenPhonemes(U"我是Tom，用iPhone和VIP").get();
    EXPECT_NE(mixed.find("(en)t'0m(cmn)"), std::string::npos) << mixed;
    EXPECT_NE(mixed.find("(en)'aI f'oUn(cmn)"), std::string::npos) << mixed;
    EXPECT_NE(mixed.find("(en)v'i:;aIp'i:(cmn)"), std::string::npos) << mixed; // not the word v'Ip
    EXPECT_TRUE(std::regex_search(mixed, mandarinTone)) << mixed;
}

TEST(EspeakEngine, StreamsSpeechAtTwiceTheMp3Rate) {
    const auto stream = velanote::EspeakEngine::instance().speak(U"你好，世界");
    const std::vector<std::int16_t> samples = stream->readAll();
    EXPECT_EQ(stream->sampleRate(), 22050);
    // Four syllables last somewhere between half a second and three seconds.
    EXPECT_GT(samples.size(), 22050u / 2);
    EXPECT_LT(samples.size(), 22050u * 3);
    const auto loudest = std::max_element(samples.begin(), samples.end());
    EXPECT_GT(*loudest, 3000) << "speech, not silence";
}

// A Latin word inside Chinese is spoken in the same clip, joined without the pauses each voice
// would add around an utterance of its own.
TEST(EspeakEngine, JoinsTheEnglishVoiceIntoTheSameClipWithoutAGap) {
    auto& engine = velanote::EspeakEngine::instance();
    const std::vector<std::int16_t> mixed = engine.speak(U"我的iPhone很好")->readAll();
    const std::size_t withoutEnglish = engine.speak(U"我的很好")->readAll().size();
    // The longest quiet stretch between the first and the last sound.
    const auto longestPause = [](const std::vector<std::int16_t>& samples) {
        const auto loud = [](std::int16_t s) { return s > 300 || s < -300; };
        const auto first = std::find_if(samples.begin(), samples.end(), loud);
        const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
        std::size_t longest = 0;
        std::size_t run = 0;
        for (auto it = first; it < last; ++it) {
            run = loud(*it) ? 0 : run + 1;
            longest = std::max(longest, run);
        }
        return longest;
    };
    EXPECT_GT(mixed.size(), withoutEnglish + 22050 / 4) << "the English word is in the clip";
    EXPECT_LT(longestPause(mixed), 22050u / 5) << "no pause of 200 ms or more inside the clip";
}
