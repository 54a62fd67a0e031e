#include "generation/voicesettingsstore.h"

#include "app/inifile.h"

namespace velanote {

namespace {
const QString kSection = QStringLiteral("VoiceSettings");
} // namespace

QString VoiceSettingsStore::settingsPath() const {
    return folder_.file(QStringLiteral("\\velanote.ini"));
}

VoiceSettings VoiceSettingsStore::load() const {
    VoiceSettings settings;
    for (const std::string_view name : VoiceSettings::names) {
        const QString key = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        const QString value = readSetting(kSection, key, QString(), settingsPath()).trimmed();
        settings.set(name, value.toStdString());
    }
    return settings;
}

bool VoiceSettingsStore::save(const VoiceSettings& settings) const {
    bool written = true;
    for (const std::string_view name : VoiceSettings::names) {
        const QString key = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        written = writeSetting(kSection, key, QString::fromStdString(settings.value(name)), settingsPath()) &&
                  written;
    }
    return written;
}

} // namespace velanote
