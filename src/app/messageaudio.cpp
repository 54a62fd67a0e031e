#include "app/messageaudio.h"

#include <array>

namespace velanote {

namespace {

constexpr int framesChecked = 4;

// Where the audio begins: after an ID3v2 tag (its size is stored in four 7-bit bytes, plus a
// footer when flagged), else at 0.
qsizetype audioStart(const QByteArray& bytes) {
    if (bytes.size() < 10 || !bytes.startsWith("ID3")) {
        return 0;
    }
    qsizetype size = 0;
    for (int i = 6; i < 10; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if ((byte & 0x80) != 0) {
            return -1;
        }
        size = size * 128 + byte;
    }
    const bool footer = (static_cast<unsigned char>(bytes[5]) & 0x10) != 0;
    return 10 + size + (footer ? 10 : 0);
}

// The length of the MPEG-2.5 Layer III, 11025 Hz, mono frame whose header is at `at`, or 0 when
// no such header is there.
qsizetype messageFrameLength(const QByteArray& bytes, qsizetype at) {
    if (at + 4 > bytes.size()) {
        return 0;
    }
    const auto b1 = static_cast<unsigned char>(bytes[at + 1]);
    const auto b2 = static_cast<unsigned char>(bytes[at + 2]);
    const auto b3 = static_cast<unsigned char>(bytes[at + 3]);
    const bool sync = static_cast<unsigned char>(bytes[at]) == 0xFF && (b1 & 0xE0) == 0xE0;
    const bool version25 = ((b1 >> 3) & 0x03) == 0;
    const bool layer3 = ((b1 >> 1) & 0x03) == 1;
    const bool rate11025 = ((b2 >> 2) & 0x03) == 0;
    const bool mono = ((b3 >> 6) & 0x03) == 3;
    const int bitrateIndex = b2 >> 4;
    if (!sync || !version25 || !layer3 || !rate11025 || !mono || bitrateIndex == 0 || bitrateIndex == 15) {
        return 0;
    }
    // Layer III of MPEG-2 and 2.5, in kbit/s.
    static constexpr std::array<int, 15> kbps = {0,  8,  16, 24,  32,  40,  48, 56,
                                                 64, 80, 96, 112, 128, 144, 160};
    const int padding = (b2 >> 1) & 0x01;
    return 72000 * kbps[static_cast<std::size_t>(bitrateIndex)] / 11025 + padding;
}

} // namespace

QString MessageAudio::formatName() {
    return QStringLiteral("MPEG-2.5 Layer III、11025 Hz、单声道的 MP3");
}

bool MessageAudio::hasMessageFormat(const QByteArray& bytes) {
    qsizetype at = audioStart(bytes);
    if (at < 0) {
        return false;
    }
    int frames = 0;
    while (frames < framesChecked && at < bytes.size()) {
        const qsizetype length = messageFrameLength(bytes, at);
        if (length == 0 || at + length > bytes.size()) {
            return false;
        }
        at += length;
        ++frames;
    }
    return frames > 0;
}

} // namespace velanote
