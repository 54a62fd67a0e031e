#include "support/mp3frames.h"

namespace velanote::testing {

namespace {

bool readHeader(const unsigned char* h, Mp3Frame& frame) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) {
        return false;
    }
    const int versionBits = (h[1] >> 3) & 3;
    const int layerBits = (h[1] >> 1) & 3;
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return false;
    }
    frame.version = versionBits == 3 ? 1 : (versionBits == 2 ? 2 : 25);
    frame.layer = 4 - layerBits;
    frame.crc = (h[1] & 1) == 0;
    static const int v1l3[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int v2l3[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    if (frame.layer != 3) {
        return false; // the service writes Layer III only; other layers are not worth reading here
    }
    frame.kbps = frame.version == 1 ? v1l3[bitrateIndex] : v2l3[bitrateIndex];
    static const int rates[] = {44100, 48000, 32000};
    frame.sampleRate = rates[rateIndex] / (frame.version == 1 ? 1 : (frame.version == 2 ? 2 : 4));
    frame.channels = (h[3] >> 6) == 3 ? 1 : 2;
    const int padding = (h[2] >> 1) & 1;
    frame.samples = frame.version == 1 ? 1152 : 576;
    frame.size = (frame.samples / 8) * frame.kbps * 1000 / frame.sampleRate + padding;
    return true;
}

} // namespace

bool parseMp3Frames(const std::string& bytes, std::vector<Mp3Frame>& frames, std::string& error) {
    frames.clear();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        Mp3Frame frame;
        if (bytes.size() - offset < 4 || !readHeader(data + offset, frame)) {
            error = "no frame header at byte " + std::to_string(offset);
            return false;
        }
        if (offset + static_cast<std::size_t>(frame.size) > bytes.size()) {
            error = "frame at byte " + std::to_string(offset) + " runs past the end";
            return false;
        }
        frames.push_back(frame);
        offset += static_cast<std::size_t>(frame.size);
    }
    if (frames.empty()) {
        error = "no frames";
        return false;
    }
    return true;
}

std::string messageFormatBytes(std::size_t size, char filler) {
    std::string frame(104, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xE3'; // MPEG-2.5, Layer III, no CRC
    frame[2] = '\x20'; // 16 kbit/s, 11025 Hz
    frame[3] = '\xC0'; // mono
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += frame;
    }
    bytes.resize(size, filler);
    return bytes;
}

} // namespace velanote::testing
