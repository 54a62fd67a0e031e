#pragma once
#include "generation/composition.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace velanote {

// The recipients of a batch, read from a UTF-8 CSV file (RFC 4180: fields in double quotes may hold
// commas, line breaks and doubled quotes; lines end in CRLF or LF). The first row names the
// columns: sender, recipient, relation and message, and optionally file, in any order. Each row
// is checked as the main window checks its inputs; a good row gets a file name of its own.
class BatchList {
public:
    struct Row {
        int line = 0; // where the row starts in the file, from 1
        MessageInputs inputs;
        QString fileName; // the MP3's name in the output folder, unique in the list; good rows only
        QString problem;  // why the row cannot be made; empty for a good row
    };

    // Reads the file's bytes. A fault of the whole file (no header, a missing column, a quote
    // that never closes) is in fileProblem(); a bad row is listed with its problem.
    static BatchList parse(const QByteArray& csv);
    static BatchList load(const QString& path);

    const QList<Row>& rows() const { return rows_; }
    const QString& fileProblem() const { return fileProblem_; }
    // Every problem, one line each: the file's own, then "第N行: …" for each bad row.
    QStringList problems() const;
    qsizetype badRowCount() const;

    // `text` made fit to name a file: characters that file systems refuse or treat specially
    // become "_", blanks and dots are trimmed from the ends, and the length is capped.
    static QString safeFileName(const QString& text);

private:
    void checkRows();

    QList<Row> rows_;
    QString fileProblem_;
};

} // namespace velanote
