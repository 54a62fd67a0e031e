#include "cosmetics/skinfile.h"

#include <QStringDecoder>

#include <zlib.h>

namespace velanote {

QByteArray encodeSkinFile(const QString& styleSheet) {
    QByteArray out(SkinFile::Magic, SkinFile::MagicSize);
    out += qCompress(styleSheet.toUtf8(), 9);
    return out;
}

bool hasSkinFileMagic(const QByteArray& data) {
    return data.startsWith(QByteArrayView(SkinFile::Magic, SkinFile::MagicSize));
}

std::optional<QString> decodeSkinFile(const QByteArray& data) {
    if (data.size() < SkinFile::HeaderSize || !hasSkinFileMagic(data)) {
        return std::nullopt;
    }
    const auto* header = reinterpret_cast<const unsigned char*>(data.constData()) + SkinFile::MagicSize;
    const quint32 declared = (quint32(header[0]) << 24) | (quint32(header[1]) << 16) |
                             (quint32(header[2]) << 8) | quint32(header[3]);
    if (declared == 0 || declared > quint32(SkinFile::MaxSheetBytes)) {
        return std::nullopt;
    }

    QByteArray utf8(qsizetype(declared), Qt::Uninitialized);
    uLongf produced = declared;
    uLong consumed = uLong(data.size() - SkinFile::HeaderSize);
    const int status =
        uncompress2(reinterpret_cast<Bytef*>(utf8.data()), &produced,
                    reinterpret_cast<const Bytef*>(data.constData()) + SkinFile::HeaderSize, &consumed);
    if (status != Z_OK || produced != declared || consumed != uLong(data.size() - SkinFile::HeaderSize)) {
        return std::nullopt;
    }

    QStringDecoder decoder(QStringDecoder::Utf8);
    QString sheet = decoder.decode(utf8);
    if (decoder.hasError() || sheet.trimmed().isEmpty()) {
        return std::nullopt;
    }
    return sheet;
}

} // namespace velanote
