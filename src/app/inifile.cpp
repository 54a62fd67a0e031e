#include "app/inifile.h"

#include "platform/atomicfile.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>
#include <vector>

namespace velanote {

namespace {

// The desktop's profile functions hand back at most this many bytes of a value.
constexpr qsizetype MaxValueBytes = 254;

// Looking a codec up by name costs far more than a line's conversion, so each thread keeps one
// converter of each kind; stateless, so no call sees what an earlier one left over.
QByteArray toGbk(const QString& text) {
    thread_local QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString fromGbk(const QByteArray& bytes) {
    thread_local QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

QByteArray trimmedBytes(QByteArray bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(bytes[end - 1])) {
        --end;
    }
    return bytes.mid(begin, end - begin);
}

// Cuts to the byte limit without leaving half of a double-byte character at the end.
QByteArray cutToLimit(const QByteArray& bytes) {
    if (bytes.size() <= MaxValueBytes) {
        return bytes;
    }
    qsizetype i = 0;
    while (i < MaxValueBytes) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const qsizetype width = (b >= 0x81 && b <= 0xFE) ? 2 : 1;
        if (i + width > MaxValueBytes) {
            break;
        }
        i += width;
    }
    return bytes.left(i);
}

// A value in enclosing quotes of the same kind is read without them.
QByteArray withoutQuotes(const QByteArray& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

// One line of the file as bytes: [begin, end) is its text, [end, next) its line break.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

// Where the line break starting at or after `from` begins, or -1 when none follows.
qsizetype nextBreak(const QByteArray& data, qsizetype from) {
    for (qsizetype i = from; i < data.size(); ++i) {
        if (data[i] == '\n' || data[i] == '\r') {
            return i;
        }
    }
    return -1;
}

// Lines end at LF, CR LF or a lone CR.
std::vector<Line> splitLines(const QByteArray& data) {
    std::vector<Line> lines;
    qsizetype pos = 0;
    while (pos < data.size()) {
        const qsizetype brk = nextBreak(data, pos);
        Line line;
        line.begin = pos;
        line.end = brk < 0 ? data.size() : brk;
        line.next = line.end;
        if (brk >= 0) {
            const bool crlf = data[brk] == '\r' && brk + 1 < data.size() && data[brk + 1] == '\n';
            line.next = brk + (crlf ? 2 : 1);
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

enum class LineKind { Other, Section, Key };

// What a line is, with the name it carries. For a key line, `valueBegin` is the byte offset in
// the file where its value starts (after '=' and any blanks), or -1 when the line has no '='.
struct ParsedLine {
    LineKind kind = LineKind::Other;
    QString name;
    qsizetype valueBegin = -1;
};

// The line break bytes of GBK never appear as the second byte of a character, and neither does
// '=' (trail bytes start at 0x40), so those are found in the raw bytes; the brackets can, so a
// section header is parsed after decoding.
ParsedLine parseLine(const QByteArray& data, const Line& line) {
    ParsedLine parsed;
    const QByteArray text = data.mid(line.begin, line.end - line.begin);
    const QByteArray trimmed = trimmedBytes(text);
    if (trimmed.isEmpty() || trimmed.front() == ';') {
        return parsed;
    }
    if (trimmed.front() == '[') {
        const QString header = fromGbk(trimmed);
        const qsizetype close = header.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            parsed.kind = LineKind::Section;
            parsed.name = header.mid(1, close - 1).trimmed();
        }
        return parsed;
    }
    parsed.kind = LineKind::Key;
    const qsizetype eq = text.indexOf('=');
    if (eq < 0) {
        parsed.name = fromGbk(trimmed);
        return parsed;
    }
    parsed.name = fromGbk(trimmedBytes(text.left(eq)));
    qsizetype v = line.begin + eq + 1;
    while (v < line.end && isBlank(data[v])) {
        ++v;
    }
    parsed.valueBegin = v;
    return parsed;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a key was found: the index of its section's header line, and of its own line if present.
struct Location {
    std::optional<size_t> section;
    std::optional<size_t> key;
    size_t lastLineOfSection = 0; // the last non-blank line that belongs to the section
};

Location locate(const QByteArray& data, const std::vector<Line>& lines, const QString& section,
                const QString& key) {
    Location where;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(data, lines[i]);
        if (!where.section) {
            if (parsed.kind == LineKind::Section && sameName(parsed.name, section)) {
                where.section = i;
                where.lastLineOfSection = i;
            }
            continue;
        }
        if (parsed.kind == LineKind::Section) {
            break; // only the first section of that name counts
        }
        if (!trimmedBytes(data.mid(lines[i].begin, lines[i].end - lines[i].begin)).isEmpty()) {
            where.lastLineOfSection = i;
        }
        if (parsed.kind == LineKind::Key && !where.key && sameName(parsed.name, key)) {
            where.key = i;
        }
    }
    return where;
}

// The file's own line break (its first one), CR LF for a file without any.
QByteArray lineBreakOf(const QByteArray& data) {
    const qsizetype brk = nextBreak(data, 0);
    if (brk < 0) {
        return "\r\n";
    }
    if (data[brk] == '\n') {
        return "\n";
    }
    return brk + 1 < data.size() && data[brk + 1] == '\n' ? QByteArray("\r\n") : QByteArray("\r");
}

// Whether `name` can be written and found again: free of line breaks, NUL and the characters
// that end it on its line (even where trimming would drop them), not empty once trimmed, and
// stored in GBK without loss.
bool isUsableName(const QString& name, const QString& forbidden) {
    for (const QChar c : name) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.isNull() || forbidden.contains(c)) {
            return false;
        }
    }
    const QString trimmed = name.trimmed();
    return !trimmed.isEmpty() && fromGbk(toGbk(trimmed)) == trimmed;
}

bool isUsableSection(const QString& name) {
    return isUsableName(name, QStringLiteral("]"));
}

// A key may not start a line the way a section header or a comment does.
bool isUsableKey(const QString& name) {
    const QString trimmed = name.trimmed();
    return isUsableName(name, QStringLiteral("=")) && !trimmed.startsWith(QLatin1Char('[')) &&
           !trimmed.startsWith(QLatin1Char(';'));
}

// The default as the desktop's function returns it: trailing blanks dropped, cut to the limit.
QString defaultResult(const QString& defaultValue) {
    QByteArray bytes = toGbk(defaultValue);
    while (!bytes.isEmpty() && isBlank(bytes.back())) {
        bytes.chop(1);
    }
    return fromGbk(cutToLimit(bytes));
}

} // namespace

QString readSetting(const QString& section, const QString& key, const QString& defaultValue,
                    const QString& file) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    QByteArray data;
    if (!isUsableSection(section) || !isUsableKey(key) || !QFileInfo(file).isFile() ||
        !readWholeFile(file, data)) {
        return defaultResult(defaultValue);
    }
    const std::vector<Line> lines = splitLines(data);
    const Location where = locate(data, lines, sectionName, keyName);
    if (!where.key) {
        return defaultResult(defaultValue);
    }
    const Line& line = lines[*where.key];
    const ParsedLine parsed = parseLine(data, line);
    if (parsed.valueBegin < 0) {
        return defaultResult(defaultValue); // a name without '=' holds no value
    }
    const QByteArray value = trimmedBytes(data.mid(parsed.valueBegin, line.end - parsed.valueBegin));
    return fromGbk(cutToLimit(withoutQuotes(value)));
}

bool writeSetting(const QString& section, const QString& key, const QString& value, const QString& file) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (!isUsableSection(section) || !isUsableKey(key)) {
        return false;
    }
    QByteArray data;
    const QFileInfo info(file);
    if (info.exists() && (!info.isFile() || !readWholeFile(file, data))) {
        return false; // never replace what could not be read
    }

    // A line break inside the value would start a line of its own; the value ends there.
    QByteArray valueBytes = toGbk(value);
    for (qsizetype i = 0; i < valueBytes.size(); ++i) {
        if (valueBytes[i] == '\n' || valueBytes[i] == '\r') {
            valueBytes.truncate(i);
            break;
        }
    }
    while (!valueBytes.isEmpty() && isBlank(valueBytes.front())) {
        valueBytes.remove(0, 1);
    }

    const QByteArray eol = lineBreakOf(data);
    const QByteArray keyLine = toGbk(keyName) + '=' + valueBytes;
    const std::vector<Line> lines = splitLines(data);
    const Location where = locate(data, lines, sectionName, keyName);

    QByteArray updated;
    if (where.key) {
        const Line& line = lines[*where.key];
        const ParsedLine parsed = parseLine(data, line);
        if (parsed.valueBegin >= 0) {
            updated = data.left(parsed.valueBegin) + valueBytes + data.mid(line.end);
        } else {
            updated = data.left(line.end) + '=' + valueBytes + data.mid(line.end);
        }
    } else if (where.section) {
        const Line& last = lines[where.lastLineOfSection];
        const bool lastHasBreak = last.next > last.end;
        updated =
            data.left(last.next) + (lastHasBreak ? QByteArray() : eol) + keyLine + eol + data.mid(last.next);
    } else {
        updated = data;
        if (!updated.isEmpty() && !updated.endsWith('\n') && !updated.endsWith('\r')) {
            updated += eol;
        }
        updated += '[' + toGbk(sectionName) + ']' + eol + keyLine + eol;
    }

    if (info.exists() && updated == data) {
        return true;
    }
    return writeFileAtomically(file, updated);
}

} // namespace velanote
