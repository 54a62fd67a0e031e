#include "support/speechmp3.h"
#include "synthesis/speechsynthesizer.h"
#include "synthesis/voicesettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using velanote::SpeechSynthesizer;
using velanote::VoiceSettings;

namespace {

const std::u32string sample = U"祝你新年快乐，身体健康，万事如意。";

std::vector<std::int16_t> spoken(const VoiceSettings& voice) {
    const velanote::SpeechClip clip = SpeechSynthesizer::render(sample, nullptr, voice);
    return velanote::fakes::decodeWithMpg123(QByteArray::fromStdString(*clip.mp3))
        .value_or(std::vector<std::int16_t>{});
}

// The median fundamental frequency of the voiced 40 ms frames at 11025 Hz, by autocorrelation.
double medianF0(const std::vector<std::int16_t>& samples) {
    constexpr int rate = 11025;
    constexpr std::size_t frame = rate / 25;
    constexpr std::size_t shortestLag = rate / 500;
    constexpr std::size_t longestLag = rate / 60;
    std::vector<double> found;
    for (std::size_t start = 0; start + frame + longestLag < samples.size(); start += frame) {
        double energy = 0;
        for (std::size_t i = 0; i < frame; ++i) {
            energy += double(samples[start + i]) * samples[start + i];
        }
        if (energy < double(frame) * 1000 * 1000) {
            continue; // silence and quiet consonants
        }
        double best = 0;
        std::size_t bestLag = 0;
        for (std::size_t lag = shortestLag; lag < longestLag; ++lag) {
            double sum = 0;
            for (std::size_t i = 0; i < frame; ++i) {
                sum += double(samples[start + i]) * samples[start + i + lag];
            }
            if (sum > best) {
                best = sum;
                bestLag = lag;
            }
        }
        if (best > 0.5 * energy) {
            found.push_back(double(rate) / double(bestLag));
        }
    }
    if (found.empty()) {
        return 0;
    }
    std::nth_element(found.begin(), found.begin() + std::ptrdiff_t(found.size() / 2), found.end());
    return found[found.size() / 2];
}

double rms(const std::vector<std::int16_t>& samples) {
    double sum = 0;
    for (const std::int16_t s : samples) {
        sum += double(s) * s;
    }
    return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

} // namespace

TEST(VoiceSettings, TakesWholeNumbersInRangeAndTheTwoVoices) {
    struct Case {
        std::string_view name;
        std::string_view value;
        VoiceSettings::Outcome outcome;
    };
    using O = VoiceSettings::Outcome;
    const Case cases[] = {
        {"rate", "50", O::set},       {"rate", "200", O::set},          {"rate", "49", O::badValue},
        {"rate", "201", O::badValue}, {"pitch", "150", O::set},         {"pitch", "151", O::badValue},
        {"pitch", "49", O::badValue}, {"volume", "10", O::set},         {"volume", "9", O::badValue},
        {"volume", "200", O::set},    {"volume", "201", O::badValue},   {"rate", "", O::badValue},
        {"rate", "1e2", O::badValue}, {"rate", "+100", O::badValue},    {"rate", "100 ", O::badValue},
        {"voice", "female", O::set},  {"voice", "Female", O::badValue}, {"speed", "100", O::unknownName},
    };
    for (const Case& c : cases) {
        VoiceSettings settings;
        EXPECT_EQ(settings.set(c.name, c.value), c.outcome) << c.name << "=" << c.value;
        if (c.outcome == O::set) {
            EXPECT_EQ(settings.value(c.name), c.value);
        } else {
            EXPECT_TRUE(settings.isNormal()) << c.name << "=" << c.value;
        }
    }
}

TEST(VoiceSettings, ClipIdsDifferBySettingsAndNormalSettingsKeepTheOldId) {
    const std::string normal = SpeechSynthesizer::clipId("祝你快乐", "digest");
    EXPECT_EQ(SpeechSynthesizer::clipId("祝你快乐", "digest", VoiceSettings{}), normal);
    std::vector<std::string> ids{normal};
    for (const VoiceSettings& voice :
         {VoiceSettings{.rate = 120}, VoiceSettings{.pitch = 120}, VoiceSettings{.volume = 120},
          VoiceSettings{.voice = VoiceSettings::Voice::female}}) {
        ids.push_back(SpeechSynthesizer::clipId("祝你快乐", "digest", voice));
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
}

TEST(VoiceSettings, ChangeTheSpokenAudio) {
    const std::vector<std::int16_t> normal = spoken({});
    ASSERT_GT(normal.size(), 11025u);
    const double normalF0 = medianF0(normal);
    ASSERT_GT(normalF0, 60);

    // The clip's length follows the rate's percentage.
    for (const int rate : {50, 200}) {
        const double ratio = double(spoken({.rate = rate}).size()) / double(normal.size());
        EXPECT_NEAR(ratio, 100.0 / rate, 0.15 * 100.0 / rate) << "rate " << rate;
    }
    EXPECT_GT(medianF0(spoken({.pitch = 150})), normalF0 * 1.15);
    EXPECT_LT(medianF0(spoken({.pitch = 50})), normalF0 * 0.9);
    EXPECT_GT(medianF0(spoken({.voice = VoiceSettings::Voice::female})), normalF0 * 1.6);
    EXPECT_GT(rms(spoken({.volume = 200})), rms(normal) * 1.4);
    EXPECT_LT(rms(spoken({.volume = 50})), rms(normal) * 0.7);
    // What one request set does not stay for the next.
    EXPECT_NEAR(medianF0(spoken({})), normalF0, 1.0);
}
