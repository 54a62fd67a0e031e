#pragma once
#include "app/programfolder.h"
#include "synthesis/voicesettings.h"

namespace velanote {

// The desktop program's voice settings, kept in "\velanote.ini" under a section of their own,
// [VoiceSettings] (rate, pitch, volume, voice). A value missing or out of range reads as normal.
class VoiceSettingsStore {
public:
    explicit VoiceSettingsStore(ProgramFolder folder) : folder_(std::move(folder)) {}

    VoiceSettings load() const;
    // False when a value could not be written.
    bool save(const VoiceSettings& settings) const;

private:
    QString settingsPath() const;

    ProgramFolder folder_;
};

} // namespace velanote
