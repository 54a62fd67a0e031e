#include "generation/batchlist.h"
#include "generation/batchrun.h"
#include "generation/speakcommand.h"
#include "platform/desktophttpclient.h"
#include "service/speechservice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velanote;

namespace {

// A list with what people really type: quotes, commas and line breaks in messages, a byte-order
// mark, CRLF line ends, duplicate recipients, a file column with characters no file may hold.
const QByteArray mixedList = "\xEF\xBB\xBFsender,recipient,relation,message,file\r\n"
                             "小明,奶奶,孙子,\"新年快乐,身体健康\",\r\n"
                             "小明,张三,朋友,\"第一行\n第二行 \"\"引号\"\"\",\r\n"
                             "小明,张三,朋友,再次问候,\r\n"
                             "\r\n"
                             ",李四,同事,没有发送人,\r\n"
                             "小明,王五,同事,只有四列\r\n"
                             "小明,赵六,老师,感谢,\"a/b:c*?.mp3\"\r\n"
                             "小明,孙七,同学,\"" +
                             // 101 characters, one over the limit
                             QByteArray(303, 'x').replace("xxx", "好") +
                             "\",\r\n"
                             "小明,..,邻居,你好,\r\n"
                             "小明,周八,\"同\x01事\",你好,\r\n";

} // namespace

TEST(BatchList, ChecksEveryRowAndNamesTheFilesApart) {
    const BatchList list = BatchList::parse(mixedList);
    ASSERT_TRUE(list.fileProblem().isEmpty()) << list.fileProblem().toStdString();
    struct Expected {
        int line;
        const char* recipient;
        const char* fileName; // empty for a bad row
    };
    const Expected expected[] = {
        {2, "奶奶", "奶奶.mp3"},
        {3, "张三", "张三.mp3"},
        {5, "张三", "张三 (2).mp3"},
        {7, "李四", ""},
        {8, "", ""},
        {9, "赵六", "a_b_c__.mp3"},
        {10, "孙七", ""},
        {11, "..", "第11行.mp3"},
        {12, "周八", ""},
    };
    ASSERT_EQ(list.rows().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const BatchList::Row& row = list.rows().at(static_cast<qsizetype>(i));
        SCOPED_TRACE(row.line);
        EXPECT_EQ(row.line, expected[i].line);
        EXPECT_EQ(row.inputs.recipient, QString::fromUtf8(expected[i].recipient));
        EXPECT_EQ(row.fileName, QString::fromUtf8(expected[i].fileName));
        EXPECT_EQ(row.problem.isEmpty(), *expected[i].fileName != '\0');
    }
    EXPECT_EQ(list.rows().at(0).inputs.message, QStringLiteral("新年快乐,身体健康"));
    EXPECT_EQ(list.rows().at(1).inputs.message, QStringLiteral("第一行\n第二行 \"引号\""));
    EXPECT_EQ(list.problems(),
              QStringList({QStringLiteral("第7行: 请输入您的名字[即发送人]"),
                           QStringLiteral("第8行: 有4列,应为5列"),
                           QStringLiteral("第10行: 为了防止程序错误!请您输入在100字以内的祝福语"),
                           QStringLiteral("第12行: relation 列含有控制字符,无法朗读")}));
}

TEST(BatchList, RefusesAFileItCannotRead) {
    const std::pair<QByteArray, QString> cases[] = {
        {"", QStringLiteral("名单文件是空的,第一行应为列名 sender,recipient,relation,message[,file]")},
        {"sender,recipient,relation\na,b,c\n", QStringLiteral("第1行: 缺少列 message")},
        {"sender,recipient,relation,message,name\n",
         QStringLiteral("第1行: 列名 \"name\" 无法识别或重复,应为 sender,recipient,relation,message[,file]")},
        {"recipient,sender,relation,message\na,b,c,\"d\ne\nf,g\n", QStringLiteral("第2行: 引号没有闭合")},
        {"sender,recipient,relation,message\n\xFF\n", QStringLiteral("名单文件不是UTF-8文本")},
    };
    for (const auto& [csv, problem] : cases) {
        EXPECT_EQ(BatchList::parse(csv).problems(), QStringList{problem}) << csv.toStdString();
    }
    // Columns may come in any order.
    const BatchList reordered = BatchList::parse("message,relation,recipient,sender\n你好,朋友,乙,甲");
    ASSERT_EQ(reordered.rows().size(), 1);
    EXPECT_EQ(reordered.rows().at(0).inputs.sender, QStringLiteral("甲"));
    EXPECT_EQ(reordered.rows().at(0).fileName, QStringLiteral("乙.mp3"));
}

TEST(BatchRun, MakesEveryRowItCanAndNamesTheOneThatFailed) {
    SpeechService service;
    ASSERT_TRUE(service.start());
    QTemporaryDir dir;
    // A folder where a row's file should go: that row fails, the others are made.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("丙.mp3")));
    const BatchList list = BatchList::parse("sender,recipient,relation,message\n"
                                            "甲,乙,朋友,新年快乐\n"
                                            "甲,丙,朋友,一路平安\n"
                                            "甲,乙,朋友,万事如意\n"
                                            "甲,丁,朋友,身体健康\n");
    BatchRun::Setup setup;
    setup.folder = dir.path();
    setup.serviceBases = {QStringLiteral(" http://127.0.0.1:%1").arg(service.port())};
    setup.workers = 2;
    setup.prefix = "PREFIX";
    setup.voice.rate = 150;
    setup.makeClient = [] { return std::make_unique<CurlHttpClient>(); };
    std::atomic<bool> cancel{false};
    QList<int> progress;
    const QList<BatchRun::Outcome> outcomes =
        BatchRun::run(list, setup, cancel, [&progress](const BatchRun::Outcome&, int done, int total) {
            EXPECT_EQ(total, 4);
            progress.append(done);
        });
    EXPECT_EQ(progress, QList<int>({1, 2, 3, 4}));
    ASSERT_EQ(outcomes.size(), 4);
    for (const BatchRun::Outcome& outcome : outcomes) {
        SCOPED_TRACE(outcome.line);
        EXPECT_EQ(outcome.failure.isEmpty(), outcome.line != 3);
        EXPECT_FALSE(outcome.serviceFailed);
        QFile made(outcome.path);
        EXPECT_EQ(made.open(QIODevice::ReadOnly), outcome.line != 3);
        if (made.isOpen()) {
            EXPECT_TRUE(made.read(6) == "PREFIX" && made.size() > 1000);
        }
    }
    EXPECT_TRUE(outcomes.at(1).failure.startsWith(QStringLiteral("音信文件保存失败!")));
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::Files),
        QStringList({QStringLiteral("丁.mp3"), QStringLiteral("乙 (2).mp3"), QStringLiteral("乙.mp3")}));

    // A cancelled run begins no row.
    cancel = true;
    EXPECT_TRUE(BatchRun::run(list, setup, cancel).isEmpty());
}

TEST(BatchRun, ProgressTellsTheTimeLeft) {
    EXPECT_EQ(batchProgressText(0, 50, 0), QStringLiteral("0/50 已用 0:00"));
    EXPECT_EQ(batchProgressText(10, 50, 20000), QStringLiteral("10/50 已用 0:20 剩余约 1:20"));
    EXPECT_EQ(batchProgressText(50, 50, 100000), QStringLiteral("50/50 已用 1:40"));
}

TEST(SpeakCommand, BatchReportsBadRowsAndMakesNothingUnlessTold) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("list.csv");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("sender,recipient,relation,message\n甲,乙,朋友,新年快乐\n甲,,朋友,没有接收人\n");
    file.close();
    const QString out = dir.filePath("out");
    QString err;
    QString said;
    SpeakCommand command([&said](const QString& l) { said += l + '\n'; },
                         [&err](const QString& l) { err += l + '\n'; });
    EXPECT_EQ(command.run({"--batch", csv, "--output-dir", out}), 2);
    EXPECT_TRUE(err.startsWith(QStringLiteral("第3行: 请输入对方的名字[即接收人]\n名单中有1行有误")));
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(command.run({"--batch", csv, "--output", "x.mp3"}), 2);
    EXPECT_EQ(command.run({"--batch", csv, "--output-dir", out, "--jobs", "0"}), 2);

    // Skipping the bad row makes the good one; the exit code still says not every row was made.
    err.clear();
    EXPECT_EQ(
        command.run({"--batch", csv, "--output-dir", out, "--skip-bad", "--jobs", "1", "--voice", "female"}),
        2);
    EXPECT_TRUE(QFileInfo(out + QStringLiteral("/乙.mp3")).size() > 1000) << err.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("已生成 1/2 行")));
    EXPECT_TRUE(err.contains(QStringLiteral("跳过的有误行: 1行")));
}
