#pragma once
#include <QString>

namespace velanote {

// One embedded player: assigning a path or address to URL starts it, the empty text stops it,
// and URL reads back exactly what was assigned.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual void setURL(const QString& url) = 0;
    virtual QString URL() const = 0;
    virtual void setVolume(int volume) = 0; // 0..100
    virtual int volume() const = 0;
};

} // namespace velanote
