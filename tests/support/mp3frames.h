#pragma once
#include <string>
#include <vector>

namespace velanote::testing {

// An MPEG audio frame header as read from the bytes, for checking the service's output.
struct Mp3Frame {
    int version = 0; // 1, 2 or 25 (MPEG-2.5)
    int layer = 0;   // 1 to 3
    int kbps = 0;
    int sampleRate = 0;
    int channels = 0;
    bool crc = false;
    int size = 0;    // whole frame in bytes
    int samples = 0; // PCM samples per channel
};

// Reads the bytes as back-to-back frames. Succeeds only when every byte belongs to a frame, so
// tags, a stray header or a truncated tail make it fail (error says where).
bool parseMp3Frames(const std::string& bytes, std::vector<Mp3Frame>& frames, std::string& error);

// `size` bytes that begin as a voice message does: silent MPEG-2.5 Layer III frames, 11025 Hz,
// mono, 16 kbit/s (104 bytes each), then `filler` up to the size.
std::string messageFormatBytes(std::size_t size, char filler = 'u');

} // namespace velanote::testing
