#include "support/speechmp3.h"

#include <QProcess>

#include <lame/lame.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace velanote::fakes {

QByteArray speechLikeMp3(double seconds, double hz) {
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, 11025);
    lame_set_out_samplerate(lame, 11025);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 16);
    lame_set_bWriteVbrTag(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return {};
    }
    std::vector<short> pcm(size_t(11025 * seconds));
    for (size_t i = 0; i < pcm.size(); ++i) {
        pcm[i] = short(8000 * std::sin(2 * M_PI * hz * double(i) / 11025.0));
    }
    std::vector<unsigned char> out(pcm.size() * 5 / 4 + 7200);
    int n = lame_encode_buffer(lame, pcm.data(), pcm.data(), int(pcm.size()), out.data(), int(out.size()));
    QByteArray mp3(reinterpret_cast<const char*>(out.data()), n > 0 ? n : 0);
    n = lame_encode_flush(lame, out.data(), int(out.size()));
    mp3.append(reinterpret_cast<const char*>(out.data()), n > 0 ? n : 0);
    lame_close(lame);
    return mp3;
}

qint64 samplesDecodedByMpg123(const QByteArray& mp3) {
    const std::optional<std::vector<std::int16_t>> samples = decodeWithMpg123(mp3);
    return samples ? static_cast<qint64>(samples->size()) : -1;
}

std::optional<std::vector<std::int16_t>> decodeWithMpg123(const QByteArray& mp3) {
    QProcess mpg123;
    mpg123.start(QStringLiteral("mpg123"),
                 {QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("-s"), QStringLiteral("-")});
    if (!mpg123.waitForStarted(10000)) {
        return std::nullopt;
    }
    mpg123.write(mp3);
    mpg123.closeWriteChannel();
    if (!mpg123.waitForFinished(20000) || mpg123.exitStatus() != QProcess::NormalExit ||
        mpg123.exitCode() != 0) {
        return std::nullopt;
    }
    const QByteArray bytes = mpg123.readAllStandardOutput();
    std::vector<std::int16_t> samples(static_cast<std::size_t>(bytes.size() / 2));
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

} // namespace velanote::fakes
