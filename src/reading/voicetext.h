#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace velanote {

// Rewrites a normalised text (numbers and symbols already in words) so that the Mandarin voice
// speaks all of it in Mandarin. Chinese passes unchanged; a run of other characters that the voice
// would read in another language is respelled letter by letter, and what stays unspeakable
// becomes a pause.
class VoiceText {
public:
    // Answers whether the voice reads a piece of UTF-8 text without switching language.
    using MandarinCheck = std::function<bool(const std::string& utf8)>;

    explicit VoiceText(MandarinCheck staysMandarin);

    std::string prepare(std::u32string_view text) const;

    // True for characters the voice reads as Chinese (ideographs, CJK punctuation, full-width forms).
    static bool isChinese(char32_t c);

private:
    std::string rewriteRun(std::u32string_view run) const;

    MandarinCheck staysMandarin_;
};

} // namespace velanote
