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

TEST(VoiceText, RewritesOnlyWhatTheVoiceWouldReadInAnotherLanguage) {
    FakeVoice voice;
    const VoiceText text([&voice](const std::string& piece) { return voice.staysMandarin(piece); });

    EXPECT_EQ(text.prepare(U"亲爱的妈妈，親愛的媽媽！"), "亲爱的妈妈，親愛的媽媽！");
    EXPECT_TRUE(voice.asked.empty()) << "Chinese alone needs no check";
    EXPECT_EQ(text.prepare(U"ni hao CCTV"), "ni hao CCTV");

    EXPECT_EQ(text.prepare(U"Tom你好"), "T o m你好");
    EXPECT_EQ(text.prepare(U"Hello, Tom!"), "H e l l o , T o m !");
    EXPECT_EQ(text.prepare(U"好Ω好"), "好 好");
    // Line breaks become blanks.
    EXPECT_EQ(text.prepare(U"ABC\n好"), "ABC 好");
}

TEST(EspeakEngine, SpeaksChineseTraditionalLatinAndSymbolsInMandarin) {
    auto& engine = velanote::EspeakEngine::instance();
    ASSERT_TRUE(engine.warmUp().get());
    const std::regex languageSwitch(R"(\([a-z-]+\))");
    const std::regex mandarinTone("(55|35|214|51)");

    const std::string simplified = engine.spokenPhonemes(U"亲爱的妈妈，祝您生日快乐，万事如意").get();
    const std::string traditional = engine.spokenPhonemes(U"親愛的媽媽，祝您生日快樂，萬事如意").get();
    EXPECT_EQ(simplified, traditional);

    for (const std::u32string& text :
         {std::u32string(U"亲爱的妈妈，祝您生日快乐，万事如意"), std::u32string(U"親愛的媽媽，祝您生日快樂"),
          std::u32string(U"我是Tom，用iPhone和ABC，1+1=2，100%开心，邮箱tom@qq.com"),
          std::u32string(U"Hello world, good morning 你好"), std::u32string(U"α和Ω，~#*&")}) {
        const std::string phonemes = engine.spokenPhonemes(text).get();
        EXPECT_FALSE(std::regex_search(phonemes, languageSwitch)) << phonemes;
        EXPECT_TRUE(std::regex_search(phonemes, mandarinTone)) << phonemes;
    }
    // An English word is spelled with the voice's own letter names.
    EXPECT_EQ(engine.spokenPhonemes(U"Tom").get(), engine.spokenPhonemes(U"T o m").get());
    EXPECT_NE(engine.spokenPhonemes(U"Tom").get(), "");
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
