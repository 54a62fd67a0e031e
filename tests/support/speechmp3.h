#pragma once
#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace velanote::fakes {

// `seconds` of a tone as a bare MP3 in the speech service's format (MPEG-2.5 Layer III, 11025 Hz,
// 16 kbit/s, mono, no tag and no Xing/Info frame), encoded by LAME here.
QByteArray speechLikeMp3(double seconds, double hz = 440.0);

// The number of samples mpg123 decodes from `mp3`, or -1 when it cannot be run or fails.
qint64 samplesDecodedByMpg123(const QByteArray& mp3);
// The mono samples mpg123 decodes from `mp3`, or nothing when it cannot be run or fails.
std::optional<std::vector<std::int16_t>> decodeWithMpg123(const QByteArray& mp3);

} // namespace velanote::fakes
