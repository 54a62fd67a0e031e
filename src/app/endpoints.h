#pragma once
#include <QString>

namespace velanote {

// Every outside address the program uses, in one table. By default the speech service, the
// connectivity probe and the version file are the embedded speech service on loopback.
struct Endpoints {
    QString speechBase; // " http://host:port": one blank, scheme and host, no trailing slash
    QString probeHost;  // bare host (and port), no scheme
    QString versionUrl; // full address of the version file
    QString forumUrl;
    QString boardUrl;
    QString blogUrl;
    QString chatUrl;
    QString searchBase; // scheme and host of the phrase search; path "/s", key "wd"
    QString authorAccount;

    // The table for an embedded service listening on 127.0.0.1:port (port 0: no service, the
    // addresses then point at a closed port so the probe reports off line), with
    // VELANOTE_SPEECH_URL and VELANOTE_UPDATE_URL applied.
    static Endpoints forLocalService(quint16 port);
    // True when VELANOTE_SPEECH_URL names a speech service to use instead of the embedded one.
    static bool usesExternalSpeechService();
    // Replaces the speech service and probe host by an address such as "http://host:port".
    void useSpeechService(const QString& url);
};

} // namespace velanote
