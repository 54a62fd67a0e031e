#include "generation/serviceclient.h"

#include "support/fakeplatform.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace velanote;

TEST(UTF8EncodeURI, EncodesEachUnitAndEscapesAsciiPunctuation) {
    EXPECT_EQ(UTF8EncodeURI(QString()), QString());
    EXPECT_EQ(UTF8EncodeURI(QStringLiteral("AZaz09-_.~")), QStringLiteral("AZaz09-_.~"));
    EXPECT_EQ(UTF8EncodeURI(QStringLiteral("你")), QStringLiteral("%E4%BD%A0"));
    EXPECT_EQ(UTF8EncodeURI(QString(QChar(0x00E9))), QStringLiteral("%C3%A9"));
    EXPECT_EQ(UTF8EncodeURI(QString(QChar(0x07FF))), QStringLiteral("%DF%BF"));
    EXPECT_EQ(UTF8EncodeURI(QString(QChar(0x0800))), QStringLiteral("%E0%A0%80"));
    EXPECT_EQ(UTF8EncodeURI(QString(QChar(0x0080))), QStringLiteral("%C2%80"));
    EXPECT_EQ(UTF8EncodeURI(QString(QChar(0xFFFF))), QStringLiteral("%EF%BF%BF"));
    // Characters that would cut or rewrite the query are escaped, upper-case.
    EXPECT_EQ(UTF8EncodeURI(QStringLiteral("a b&c=d?e#f%g+h\"/'")),
              QStringLiteral("a%20b%26c%3Dd%3Fe%23f%25g%2Bh%22%2F%27"));
    EXPECT_EQ(UTF8EncodeURI(QString(QChar(0x7F)) + QChar(0x01) + QChar(0)), QStringLiteral("%7F%01%00"));
    // A character beyond U+FFFF goes as two three-byte groups, one per surrogate.
    EXPECT_EQ(UTF8EncodeURI(QString::fromUcs4(U"\U0001F600")), QStringLiteral("%ED%A0%BD%ED%B8%80"));
}

TEST(decodeGbk, DecodesGb2312AndOtherCharsets) {
    const QByteArray gbk = QStringEncoder("GBK").encode(QStringLiteral("生日快乐 outurl=./a.mp3"));
    EXPECT_EQ(decodeGbk(gbk, "GB2312"), QStringLiteral("生日快乐 outurl=./a.mp3"));
    EXPECT_EQ(decodeGbk(gbk, "gb2312"), QStringLiteral("生日快乐 outurl=./a.mp3"));
    // A character of GBK beyond GB2312 still decodes.
    EXPECT_EQ(decodeGbk(QStringEncoder("GBK").encode(QStringLiteral("聲")), "GB2312"), QStringLiteral("聲"));
    EXPECT_EQ(decodeGbk(QStringLiteral("é").toUtf8(), "UTF-8"), QStringLiteral("é"));
    EXPECT_EQ(decodeGbk(QByteArray(), "GB2312"), QString());
}

TEST(SpeechReply, OnlyAnOuturlFirstFieldIsAResult) {
    const QString base = QStringLiteral(" http://tts.example");
    EXPECT_EQ(SpeechRequest::address(base, "%E4%BD%A0"),
              QStringLiteral(" http://tts.example/text2speech.php?&text=%E4%BD%A0"));
    EXPECT_EQ(SpeechRequest::parseReply("outurl=./tts/a1b2.mp3&x=1", base),
              QStringLiteral(" http://tts.example/tts/a1b2.mp3"));
    EXPECT_EQ(SpeechRequest::parseReply("outurl=./x.mp3", base), QStringLiteral(" http://tts.example/x.mp3"));
    EXPECT_EQ(SpeechRequest::parseReply("outurl=./a/outurl=./b.mp3&outurl=./c", base),
              QStringLiteral(" http://tts.example/a/ http://tts.example/b.mp3"));
    EXPECT_FALSE(SpeechRequest::parseReply("", base));
    EXPECT_FALSE(SpeechRequest::parseReply("<html>404 Not Found</html>", base));
    EXPECT_FALSE(SpeechRequest::parseReply("x=1&outurl=./a.mp3", base));
    EXPECT_FALSE(SpeechRequest::parseReply("OUTURL=./a.mp3", base));
    EXPECT_FALSE(SpeechRequest::parseReply(" outurl=./a.mp3", base));
}

TEST(SpeechReply, RequestNeedsACompleted2xxReply) {
    fakes::FakeHttpClient http;
    const QString base = QStringLiteral(" http://tts.example");
    const QString good = SpeechRequest::address(base, "ok");
    const QString error = SpeechRequest::address(base, "err");
    const QString empty = SpeechRequest::address(base, "empty");
    http.replies.insert(good.trimmed(), HttpResult{true, 200, "outurl=./s/1.mp3&len=3"});
    http.replies.insert(error.trimmed(), HttpResult{true, 500, "outurl=./s/err.mp3"});
    http.replies.insert(empty.trimmed(), HttpResult{true, 200, ""});

    EXPECT_EQ(SpeechRequest::messageAddress(http, good, base), QStringLiteral(" http://tts.example/s/1.mp3"));
    EXPECT_FALSE(SpeechRequest::messageAddress(http, error, base));
    EXPECT_FALSE(SpeechRequest::messageAddress(http, empty, base));
    EXPECT_FALSE(SpeechRequest::messageAddress(http, SpeechRequest::address(base, "unreachable"), base));
    // The address reaches the client without its leading blank.
    EXPECT_EQ(http.requests.first(), good.trimmed());

    http.replies.insert("http://tts.example/s/1.mp3", HttpResult{true, 200, "ID3data"});
    http.replies.insert("http://tts.example/s/0.mp3", HttpResult{true, 200, ""});
    EXPECT_EQ(SpeechRequest::fetchSpeech(http, " http://tts.example/s/1.mp3"), QByteArray("ID3data"));
    EXPECT_FALSE(SpeechRequest::fetchSpeech(http, " http://tts.example/s/0.mp3"));
    EXPECT_FALSE(SpeechRequest::fetchSpeech(http, " http://tts.example/s/err.mp3"));
}
