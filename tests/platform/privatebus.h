#pragma once
#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace velanote::scratch {

// A private message bus for one test, so nothing a test sends reaches the real desktop.
class PrivateBus {
public:
    PrivateBus() {
        const QString config = dir_.filePath("bus.conf");
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly)) {
            return;
        }
        f.write("<busconfig><type>session</type><listen>unix:tmpdir=" + dir_.path().toUtf8() +
                "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow "
                "send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                "<allow own=\"*\"/></policy></busconfig>");
        f.close();
        daemon_.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address"});
        if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000)) {
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        }
    }
    ~PrivateBus() {
        for (const QString& name : std::as_const(names_)) {
            QDBusConnection::disconnectFromBus(name);
        }
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }
    // A connection of its own to the bus, closed when the bus goes.
    QDBusConnection connect(const QString& name) {
        names_.append(name);
        return QDBusConnection::connectToBus(address_, name);
    }
    bool running() const { return !address_.isEmpty(); }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

} // namespace velanote::scratch
