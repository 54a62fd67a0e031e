#include "generation/batchlist.h"

#include "platform/atomicfile.h"

#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace velanote {

namespace {

// Largest batch file read.
constexpr qint64 MaxListBytes = qint64{16} * 1024 * 1024;
// Longest file name made from a recipient, in characters, before ".mp3".
constexpr qsizetype MaxNameLength = 80;

struct Record {
    int line = 0;
    QStringList fields;
};

// Splits RFC 4180 text into records; nothing when a quoted field never closes (`openLine` then
// tells where it opened).
std::optional<QList<Record>> splitRecords(const QString& text, int& openLine) {
    QList<Record> records;
    Record record{1, {}};
    QString field;
    int line = 1;
    bool quoted = false;
    bool fieldStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                line += c == QLatin1Char('\n') ? 1 : 0;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            openLine = line;
        } else if (c == QLatin1Char(',')) {
            record.fields.append(field);
            field.clear();
            fieldStarted = false;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
            record.fields.append(field);
            records.append(record);
            field.clear();
            fieldStarted = false;
            record = Record{++line, {}};
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (fieldStarted || !record.fields.isEmpty()) {
        record.fields.append(field);
        records.append(record);
    }
    return records;
}

bool isBlankRecord(const Record& record) {
    return record.fields.size() == 1 && record.fields.constFirst().trimmed().isEmpty();
}

} // namespace

QString BatchList::safeFileName(const QString& text) {
    QString name;
    for (const QChar c : text) {
        const bool refused =
            c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("/\\\\:*?\"<>|").contains(c);
        name += refused ? QLatin1Char('_') : c;
    }
    while (!name.isEmpty() && (name.front().isSpace() || name.front() == QLatin1Char('.'))) {
        name.remove(0, 1);
    }
    while (!name.isEmpty() && (name.back().isSpace() || name.back() == QLatin1Char('.'))) {
        name.chop(1);
    }
    return name.left(MaxNameLength);
}

BatchList BatchList::load(const QString& path) {
    QByteArray bytes;
    switch (readRegularFile(path, MaxListBytes, bytes)) {
    case ReadOutcome::Read:
        return parse(bytes);
    case ReadOutcome::TooLarge: {
        BatchList list;
        list.fileProblem_ = QStringLiteral("名单文件超过16MB: ") + path;
        return list;
    }
    case ReadOutcome::NotARegularFile:
    case ReadOutcome::Failed:
        break;
    }
    BatchList list;
    list.fileProblem_ = QStringLiteral("无法读取名单文件: ") + path;
    return list;
}

BatchList BatchList::parse(const QByteArray& csv) {
    BatchList list;
    const QByteArray body = csv.startsWith("\xEF\xBB\xBF") ? csv.mid(3) : csv;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(body);
    if (decoder.hasError()) {
        list.fileProblem_ = QStringLiteral("名单文件不是UTF-8文本");
        return list;
    }
    int openLine = 0;
    std::optional<QList<Record>> records = splitRecords(text, openLine);
    if (!records) {
        list.fileProblem_ = QStringLiteral("第%1行: 引号没有闭合").arg(openLine);
        return list;
    }
    records->removeIf(isBlankRecord);
    if (records->isEmpty()) {
        list.fileProblem_ =
            QStringLiteral("名单文件是空的,第一行应为列名 sender,recipient,relation,message[,file]");
        return list;
    }
    const Record header = records->takeFirst();
    const QStringList known = {QStringLiteral("sender"), QStringLiteral("recipient"),
                               QStringLiteral("relation"), QStringLiteral("message"), QStringLiteral("file")};
    QList<qsizetype> column(known.size(), -1);
    for (qsizetype i = 0; i < header.fields.size(); ++i) {
        const qsizetype which = known.indexOf(header.fields.at(i).trimmed().toLower());
        if (which < 0 || column[which] >= 0) {
            list.fileProblem_ =
                QStringLiteral(
                    "第%1行: 列名 \"%2\" 无法识别或重复,应为 sender,recipient,relation,message[,file]")
                    .arg(header.line)
                    .arg(header.fields.at(i));
            return list;
        }
        column[which] = i;
    }
    for (qsizetype i = 0; i < 4; ++i) {
        if (column[i] < 0) {
            list.fileProblem_ = QStringLiteral("第%1行: 缺少列 %2").arg(header.line).arg(known.at(i));
            return list;
        }
    }
    for (const Record& record : *records) {
        Row row;
        row.line = record.line;
        if (record.fields.size() != header.fields.size()) {
            row.problem =
                QStringLiteral("有%1列,应为%2列").arg(record.fields.size()).arg(header.fields.size());
        } else {
            const auto at = [&record, &column](qsizetype i) {
                return column[i] < 0 ? QString() : record.fields.at(column[i]);
            };
            row.inputs = MessageInputs{at(0), at(1), at(2), at(3)};
            row.fileName = at(4).trimmed();
        }
        list.rows_.append(row);
    }
    list.checkRows();
    return list;
}

void BatchList::checkRows() {
    QSet<QString> taken; // file names in lower case
    for (Row& row : rows_) {
        if (row.problem.isEmpty()) {
            if (const std::optional<InputCheckFailure> failure = MessageComposer::check(row.inputs)) {
                row.problem = failure->status;
            } else if (const auto fault = MessageComposer::unspeakable(
                           row.inputs, MessageComposer::finalSentence(row.inputs))) {
                row.problem = fault->tooLong ? QStringLiteral("语音文本超过%1个字符,请缩短 %2 列")
                                                   .arg(fault->limit)
                                                   .arg(fault->field)
                                             : QStringLiteral("%1 列含有控制字符,无法朗读").arg(fault->field);
            }
        }
        if (!row.problem.isEmpty()) {
            row.fileName.clear();
            continue;
        }
        QString stem = safeFileName(row.fileName.isEmpty() ? row.inputs.recipient : row.fileName);
        if (stem.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive)) {
            stem.chop(4);
        }
        if (stem.isEmpty()) {
            stem = QStringLiteral("第%1行").arg(row.line);
        }
        QString name = stem + QStringLiteral(".mp3");
        for (int n = 2; taken.contains(name.toLower()); ++n) {
            name = QStringLiteral("%1 (%2).mp3").arg(stem).arg(n);
        }
        taken.insert(name.toLower());
        row.fileName = name;
    }
}

QStringList BatchList::problems() const {
    QStringList all;
    if (!fileProblem_.isEmpty()) {
        all.append(fileProblem_);
    }
    for (const Row& row : rows_) {
        if (!row.problem.isEmpty()) {
            all.append(QStringLiteral("第%1行: %2").arg(row.line).arg(row.problem));
        }
    }
    return all;
}

qsizetype BatchList::badRowCount() const {
    return std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return !row.problem.isEmpty(); });
}

} // namespace velanote
