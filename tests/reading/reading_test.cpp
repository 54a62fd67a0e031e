#include "reading/mandarinreader.h"
#include "reading/readingsource.h"
#include "reading/readingtable.h"
#include "reading/userlexicon.h"
#include "reading/utf8.h"
#include "support/readingcases.h"
#include "synthesis/espeakengine.h"
#include "synthesis/speechsynthesizer.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <regex>
#include <thread>

using velanote::MandarinReader;
using velanote::ReadingSource;
using velanote::ReadingTable;
using velanote::UserLexicon;

namespace {

std::string readWith(const MandarinReader& reader, const std::u32string& text) {
    return reader.read(text);
}

std::string readBuiltIn(const std::u32string& text) {
    return readWith(*MandarinReader::builtIn(), text);
}

UserLexicon parseLexicon(const std::string& text) {
    return UserLexicon::parse(text, ReadingTable::builtIn());
}

} // namespace

// The hand-checked table, read the whole way the voice gets it (text checks, then readings).
TEST(MandarinReader, ReadsTheHandCheckedTable) {
    const auto cases = velanote::testing::readingCases();
    ASSERT_GE(cases.size(), 200u);
    std::map<std::string, std::pair<int, int>> byGroup; // right, all
    int right = 0;
    for (const auto& c : cases) {
        const std::string got = velanote::EspeakEngine::instance().spokenText(c.text.toStdU32String()).get();
        const bool ok = got == c.reading;
        right += ok;
        auto& [groupRight, groupAll] = byGroup[c.group];
        groupRight += ok;
        ++groupAll;
        if (!ok) {
            std::printf("[%s] %s\n  got:      %s\n  expected: %s\n", c.group.c_str(),
                        c.text.toStdString().c_str(), got.c_str(), c.reading.c_str());
        }
    }
    EXPECT_EQ(byGroup["core"].second, 50);
    EXPECT_EQ(byGroup["core"].first, 50) << "every core word must read right";
    EXPECT_GE(byGroup["phrase library"].second, 40);
    EXPECT_EQ(right, static_cast<int>(cases.size())) << "every row must read right";
}

TEST(MandarinReader, KeepsOtherTextAndSeparatesSyllablesFromIt) {
    struct Case {
        std::u32string text;
        std::string reading;
    };
    const Case cases[] = {
        {U"我有3个apple, 你呢?", "wo3 you3 3 ge4 apple, ni3 ne5?"},
        {U"abc银行123", "abc yin2 hang2 123"},
        // A mark set around a character does not part the word it stands in.
        {U"我▁长▁大了", "wo3 ▁ zhang3 ▁ da4 le5"},
        {U"「你好」", "「ni3 hao3」"},
        {U"  你 好  ", "  ni3 hao3  "},
        // A character no lexicon holds passes through as it is, apart from its neighbours.
        {U"你\U00030000好\u9FFF", "ni3 \U00030000 hao3 \u9FFF"},
        {U"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readBuiltIn(c.text), c.reading) << velanote::utf8::encode(c.text);
    }
}

TEST(MandarinReader, ReadsALongTextSyllableForCharacter) {
    std::u32string text;
    for (const auto& c : velanote::testing::readingCases()) {
        if (c.group == "phrase library") {
            text += c.text.toStdU32String();
        }
    }
    while (text.size() < 1000) {
        text += U"祝你生日快乐，身体健康。";
    }
    text.resize(1000);
    std::size_t ideographs = 0;
    for (const char32_t c : text) {
        ideographs += MandarinReader::isIdeograph(c);
    }
    const std::string reading = readBuiltIn(text);
    static const std::regex syllable("[a-z]+[1-5]");
    std::size_t syllables = 0;
    for (auto it = std::sregex_iterator(reading.begin(), reading.end(), syllable);
         it != std::sregex_iterator(); ++it) {
        ++syllables;
    }
    EXPECT_EQ(syllables, ideographs);
    EXPECT_EQ(reading.find("  "), std::string::npos);
}

TEST(UserLexicon, TakesGoodLinesAndReportsEachBadOneByNumber) {
    const UserLexicon lexicon = parseLexicon("\xEF\xBB\xBF# 我的读音\n"
                                             "银行\tyin2 xing2\n"
                                             "\n"
                                             "乐乐\tle4 le4   # 小名\n"
                                             "绿地\tlü4 di4\n"
                                             "长大\tzhang3\n"
                                             "长大\tzhang3 dax4\n"
                                             "长大\tzhang3 da6\n"
                                             "长大\tzhang da4\n"
                                             "长大zhang3 da4\n"
                                             "OK\tou1 ke4\n"
                                             "WiFi\twai fai\n"
                                             "Wi-Fi\twai fai\n"
                                             "\xE9\x95\xBF\xFF\tchang2\n"
                                             "女儿 NU:3 er2\r\n"
                                             "公园\xE3\x80\x80gong1\xE3\x80\x80yuan2\n");
    ASSERT_EQ(lexicon.words.size(), 5u);
    EXPECT_EQ(lexicon.words[0].text, U"银行");
    EXPECT_EQ(lexicon.words[1].text, U"乐乐");
    EXPECT_EQ(ReadingTable::builtIn().spell(lexicon.words[2].readings[0]), "lv4");
    EXPECT_EQ(ReadingTable::builtIn().spell(lexicon.words[3].readings[0]), "nv3"); // blanks for the tab
    EXPECT_EQ(lexicon.words[4].readings.size(), 2u);                               // full-width blanks
    std::vector<int> lines;
    for (const auto& p : lexicon.problems) {
        lines.push_back(p.line);
        EXPECT_FALSE(p.reason.empty());
    }
    EXPECT_EQ(lines, (std::vector<int>{6, 7, 8, 9, 10, 13, 14}));
    // Latin words take any number of syllables, or English words for their sound.
    ASSERT_EQ(lexicon.latinWords.size(), 2u);
    EXPECT_EQ(lexicon.latinWords[0].said, "ou1 ke4");
    EXPECT_EQ(lexicon.latinWords[1].said, "wai fai");
}

TEST(UserLexicon, OverridesTheBuiltInReadingsAndChangesTheDigest) {
    const MandarinReader user(ReadingTable::builtIn(),
                              parseLexicon("银行\tyin2 xing2\n乐乐\tle4 le4\n一\tyi1\n"));
    EXPECT_EQ(readWith(user, U"去银行"), "qu4 yin2 xing2");
    EXPECT_EQ(readWith(user, U"去銀行"), "qu4 yin2 xing2"); // traditional text finds simplified entries
    EXPECT_EQ(readWith(user, U"乐乐快乐"), "le4 le4 kuai4 le4");
    EXPECT_EQ(readWith(user, U"一本"), "yi1 ben3"); // the user's reading is not changed by rules
    EXPECT_EQ(readBuiltIn(U"去银行"), "qu4 yin2 hang2");
    EXPECT_NE(user.digest(), MandarinReader::builtIn()->digest());
    // A Latin word the user reads overrides both its English reading and its spelling.
    const auto latin = std::make_shared<const MandarinReader>(
        ReadingTable::builtIn(), parseLexicon("iPhone\tai4 feng4\nVIP\twei1 ai1 pi1\n"));
    auto& engine = velanote::EspeakEngine::instance();
    EXPECT_EQ(engine.spokenText(U"我的iPhone是VIP的", latin).get(),
              "wo3 de5 ai4 feng4 shi4 wei1 ai1 pi1 de5");
    EXPECT_EQ(engine.spokenText(U"我的iPhone是VIP的").get(), "wo3 de5 iPhone shi4 V-I-P de5");
    EXPECT_NE(latin->digest(), MandarinReader::builtIn()->digest());
    EXPECT_EQ(MandarinReader(ReadingTable::builtIn()).digest(), MandarinReader::builtIn()->digest());
    EXPECT_EQ(MandarinReader::builtIn()->digest().size(), 40u);
}

TEST(MandarinReader, EveryCorrectionSpellsOneKnownSyllablePerCharacter) {
    const ReadingTable& table = ReadingTable::builtIn();
    for (const auto& c : MandarinReader::corrections()) {
        const UserLexicon asLine = parseLexicon(std::string(c.word) + "\t" + c.reading + "\n");
        EXPECT_TRUE(asLine.problems.empty()) << c.word;
        EXPECT_EQ(readBuiltIn(asLine.words.empty() ? U"" : asLine.words[0].text), c.reading) << c.word;
        EXPECT_FALSE(std::string(c.reason).empty());
    }
    EXPECT_GT(table.bytes(), 1000000u);
}

TEST(ReadingTable, RefusesDamagedBytes) {
    const ReadingTable& built = ReadingTable::builtIn();
    ASSERT_FALSE(built.empty());
    EXPECT_EQ(built.fold(U'銀'), U'银');
    EXPECT_EQ(built.fold(U'a'), U'a');
    std::string bytes(64, '\0');
    EXPECT_TRUE(ReadingTable(bytes).empty()); // no magic
    velanote::readingtable::Header header{};
    std::memcpy(header.magic, velanote::readingtable::kMagic, sizeof header.magic);
    header.totalBytes = static_cast<std::uint32_t>(bytes.size());
    header.entryOffset = sizeof header;
    header.entryCount = 1000; // more entries than the bytes hold
    std::memcpy(bytes.data(), &header, sizeof header);
    EXPECT_TRUE(ReadingTable(bytes).empty());
    EXPECT_TRUE(ReadingTable(std::string_view()).empty());
    EXPECT_EQ(ReadingTable(bytes).digest(), "none");
    std::vector<ReadingTable::Match> matches;
    ReadingTable(bytes).prefixes(U"银行", matches);
    EXPECT_TRUE(matches.empty());
}

TEST(ReadingSource, ReadsTheFileAgainWhenItChangesAndReportsOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath(ReadingSource::fileName());
    std::vector<std::string> reports;
    ReadingSource source(path, [&reports](const std::string& line) { reports.push_back(line); });
    EXPECT_EQ(source.current(), MandarinReader::builtIn()); // no file yet

    const auto write = [&path](const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    write("银行\tyin2 xing2\n长大\tzhang3\n");
    const auto first = source.current();
    EXPECT_EQ(readWith(*first, U"银行"), "yin2 xing2");
    EXPECT_EQ(source.current(), first); // unchanged file, same reader
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(":2: "), std::string::npos) << reports[0];

    write("银行\tyin2 hang2\n# 改回来了, 多写几个字让大小也变\n");
    const auto second = source.current();
    EXPECT_NE(second->digest(), first->digest());
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_NE(velanote::SpeechSynthesizer::clipId("银行", first->digest()),
              velanote::SpeechSynthesizer::clipId("银行", second->digest()));

    QFile::remove(path);
    EXPECT_EQ(source.current(), MandarinReader::builtIn());
}

TEST(ReadingSource, NoticesAReplacementOfTheSameSizeAndTimeAndCapsItsReport) {
    QTemporaryDir dir;
    const QString path = dir.filePath(ReadingSource::fileName());
    std::vector<std::string> reports;
    ReadingSource source(
        path, [&reports](const std::string& line) { reports.push_back(line); }, std::chrono::seconds(0));
    const auto write = [&path](const QByteArray& bytes, const QDateTime& time) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    };
    const QDateTime time = QDateTime::currentDateTime().addSecs(-3600);
    write("银行\tyin2 xing2\n", time);
    EXPECT_EQ(readWith(*source.current(), U"银行"), "yin2 xing2");
    write("银行\tyin2 hang2\n", time);
    EXPECT_EQ(readWith(*source.current(), U"银行"), "yin2 hang2");

    QByteArray bad;
    for (int i = 0; i < 30; ++i) {
        bad += "坏行\n";
    }
    write(bad, time);
    const auto reader = source.current();
    ASSERT_EQ(reports.size(), ReadingSource::reportedProblems + 1);
    EXPECT_NE(reports[19].find(":20: "), std::string::npos) << reports[19];
    EXPECT_NE(reports.back().find("另有 10 行已跳过"), std::string::npos) << reports.back();
    EXPECT_EQ(source.current(), reader) << "the same content is neither read into a new reader nor reported";
    EXPECT_EQ(reports.size(), ReadingSource::reportedProblems + 1);
}

// A model made by hand that tells 长 by its left neighbour: zhang3 after 校, chang2 after 很.
TEST(PolyphoneModel, ChoosesByContextAndLeavesAloneWhatItDoesNotKnow) {
    using velanote::PolyphoneModel;
    const auto contextOf = [](std::u32string_view run, std::size_t at, std::string_view lexicon,
                              std::size_t wordLength = 1) {
        PolyphoneModel::Context x;
        x.run = run;
        x.at = at;
        x.wordStart = at;
        x.wordLength = wordLength;
        x.lexiconReading = lexicon;
        x.textLength = 20;
        return x;
    };
    std::vector<PolyphoneModel::Entry> entries;
    std::vector<std::uint64_t> keys;
    PolyphoneModel::features(contextOf(U"校长", 1, "zhang3"), keys);
    entries.push_back({keys[0], "zhang3", 0});
    entries.push_back({keys[0], "chang2", 0.5f}); // the bias: the readings 长 has
    entries.push_back({keys[1], "zhang3", 2});    // left neighbour 校
    PolyphoneModel::features(contextOf(U"很长", 1, "zhang3"), keys);
    entries.push_back({keys[1], "chang2", 2}); // left neighbour 很
    auto beforeFullStop = contextOf(U"那长", 1, "chang2");
    beforeFullStop.after = U'。';
    PolyphoneModel::features(beforeFullStop, keys);
    entries.push_back({keys[keys.size() - 2], "zhang3", 3}); // last in a sentence
    const std::string bytes = PolyphoneModel::compile(entries);
    const PolyphoneModel model(bytes);
    ASSERT_FALSE(model.empty());

    EXPECT_EQ(model.choose(contextOf(U"校长", 1, "chang2")), "zhang3");
    EXPECT_EQ(model.choose(contextOf(U"很长", 1, "zhang3")), "chang2");
    EXPECT_EQ(model.choose(contextOf(U"那长", 1, "zhang3")), "chang2"); // the bias alone
    EXPECT_EQ(model.choose(contextOf(U"很好", 1, "hao3")), "");         // a character it never saw
    // A word reading the character as the model never saw it: the word knows better.
    EXPECT_EQ(model.choose(contextOf(U"很长", 1, "zhang4", 2)), "");
    // A short text gives too little context to overrule the lexicon on a weak preference.
    auto shortText = contextOf(U"那长", 1, "zhang3");
    shortText.textLength = 2;
    EXPECT_EQ(model.choose(shortText), "zhang3");

    const MandarinReader reader(ReadingTable::builtIn(), {}, &model);
    EXPECT_EQ(reader.read(U"他很长，我的校长"), "ta1 hen3 chang2，wo3 de5 xiao4 zhang3");
    // What stands past the run counts, and only at its edge.
    const std::string sentenceEnd = reader.read(U"我们都看见了那长。");
    EXPECT_EQ(sentenceEnd.substr(sentenceEnd.rfind(' ') + 1), "zhang3。");
    EXPECT_EQ(reader.syllables(U"我们都看见了那长的")[7], "chang2");
    EXPECT_EQ(reader.syllables(U"我们都看见了那长,")[7], "chang2");
    EXPECT_NE(reader.digest(), MandarinReader(ReadingTable::builtIn(), {}, nullptr).digest());

    EXPECT_TRUE(PolyphoneModel(std::string_view(bytes).substr(0, bytes.size() - 1)).empty());
    EXPECT_TRUE(PolyphoneModel(std::string_view()).empty());
}
