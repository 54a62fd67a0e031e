#include "xdisplay.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include <cstdlib>

namespace velanote::testing {

namespace {
constexpr int StartMs = 10000;
} // namespace

XDisplay::XDisplay() {
    auto server = std::make_unique<QProcess>();
    server->setProcessChannelMode(QProcess::SeparateChannels);
    // -displayfd 1: the server takes the first free display number and writes it to its output.
    server->start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp"), QStringLiteral("-br")});
    if (!server->waitForStarted(StartMs)) {
        return;
    }
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.contains('\n') && clock.elapsed() < StartMs && server->state() == QProcess::Running) {
        server->waitForReadyRead(200);
        number += server->readAllStandardOutput();
    }
    processes_.push_back(std::move(server));
    if (number.trimmed().isEmpty()) {
        return;
    }
    name_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

XDisplay::~XDisplay() {
    // Clients first, the server last.
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
        QProcess& p = **it;
        if (p.state() != QProcess::NotRunning) {
            p.terminate();
            if (!p.waitForFinished(3000)) {
                p.kill();
                p.waitForFinished(3000);
            }
        }
    }
}

QProcessEnvironment XDisplay::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), name_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    return env;
}

QProcess* XDisplay::start(const QString& program, const QStringList& arguments,
                          const QProcessEnvironment& env) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->start(program, arguments);
    if (!process->waitForStarted(StartMs)) {
        return nullptr;
    }
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

bool XDisplay::startCompositor() {
    QProcess* p = start(QStringLiteral("xcompmgr"), {}, environment());
    QThread::msleep(300); // let it redirect the screen before windows appear
    return p != nullptr && p->state() == QProcess::Running;
}

bool XDisplay::startTray() {
    QProcess* p = start(QStringLiteral("trayer"),
                        {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
                         QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                         QStringLiteral("--width"), QStringLiteral("120"), QStringLiteral("--height"),
                         QStringLiteral("24"), QStringLiteral("--transparent"), QStringLiteral("false")},
                        environment());
    return p != nullptr && p->state() == QProcess::Running;
}

QByteArray XDisplay::run(const QString& program, const QStringList& arguments) const {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(program, arguments);
    if (!p.waitForFinished(StartMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        return {};
    }
    return p.readAllStandardOutput();
}

XDisplay::Window XDisplay::findWindow(const QSize& size) const {
    // Lines such as:  0x400006 "velanote": ("velanote" "velanote")  598x394+213+187  +213+187
    const QRegularExpression line(QStringLiteral("^\\s*(0x[0-9a-f]+) .*\\s%1x%2\\+(-?\\d+)\\+(-?\\d+)\\s")
                                      .arg(size.width())
                                      .arg(size.height()),
                                  QRegularExpression::MultilineOption);
    const QString tree = QString::fromUtf8(
        run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}));
    const QRegularExpressionMatch m = line.match(tree);
    if (!m.hasMatch()) {
        return {};
    }
    return {m.captured(1), QRect(QPoint(m.captured(2).toInt(), m.captured(3).toInt()), size)};
}

qint64 XDisplay::opacity(const QString& windowId) const {
    const QString reply =
        QString::fromUtf8(run(QStringLiteral("xprop"),
                              {QStringLiteral("-id"), windowId, QStringLiteral("_NET_WM_WINDOW_OPACITY")}));
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("= (\\d+)")).match(reply);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

QImage XDisplay::screenshot() const {
    return QImage::fromData(run(QStringLiteral("import"),
                                {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")}),
                            "PNG");
}

double meanDifference(const QImage& image, const QRect& area, const QImage& reference) {
    const QImage a = image.copy(area).convertToFormat(QImage::Format_RGB32);
    const QImage b = reference.scaled(area.size()).convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return a.isNull() ? 255.0 : sum / (3.0 * a.width() * a.height());
}

} // namespace velanote::testing
