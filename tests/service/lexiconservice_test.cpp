#include "reading/readingsource.h"
#include "service/loopbackclient.h"
#include "service/speechservice.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velanote::ReadingSource;

// A user who edits the lexicon while the service runs hears the change at once: the clip id
// moves with the readings, so no stored clip of the old reading is served.
TEST(ReadingSource, ServiceSpeaksTheEditedLexiconAndLogsBadLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(ReadingSource::fileName());
    velanote::SpeechService::Options options;
    options.lexiconPath = path;
    velanote::SpeechService service(options);
    ASSERT_TRUE(service.start());
    velanote::testing::LoopbackClient client(service.port());
    const auto clipOf = [&client](const std::string& text) {
        const auto reply = client.speak(text);
        EXPECT_EQ(reply.status, 200) << reply.body;
        return reply.body.substr(0, reply.body.find('&'));
    };
    const std::string before = clipOf("去银行");
    EXPECT_EQ(clipOf("去银行"), before);
    EXPECT_EQ(service.synthesisCount(), 1u);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("银行\tyin2 xing2\n银行\tyin2\n");
    file.close();
    ::testing::internal::CaptureStderr();
    const std::string after = clipOf("去银行");
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(after, before);
    EXPECT_EQ(service.synthesisCount(), 2u);
    EXPECT_NE(log.find(path.toStdString() + ":2: "), std::string::npos) << log;
}
