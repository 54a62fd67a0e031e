#pragma once
#include "speech/httpexchange.h"

#include <string>

namespace velanote {

class SpeechRenderer;

// The web site of the speech service: the speech request, the stored clips, the home page and
// the version file, plus the refusals (long addresses, bodies, other methods). The routes and
// the reply's fields keep their names: desktops and other instances that call the service rely
// on them.
class SpeechRoutes {
public:
    static constexpr std::size_t maxTargetLength = 8192;

    SpeechRoutes(SpeechRenderer& renderer, std::string latestVersion);

    HttpReply handle(const HttpRequest& request) const;

    // True for the 40 lower-case hex digits of a clip id.
    static bool isClipId(std::string_view id);

private:
    HttpReply speak(std::string_view rawQuery) const;
    HttpReply clip(std::string_view name) const;

    SpeechRenderer& renderer_;
    std::string latestVersion_;
};

} // namespace velanote
