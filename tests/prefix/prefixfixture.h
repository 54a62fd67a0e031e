#pragma once
#include "app/appcontext.h"
#include "app/resourcestore.h"
#include "prefix/prefixswitch.h"
#include "support/child.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"

#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace velanote::prefixtest {

// A program folder holding the ten built-in jingles, the fake platform, and a bare stand-in for the
// main window carrying the switch's controls, wired to a PrefixSwitch the way MainWindow wires it.
class PrefixFixture : public ::testing::Test {
protected:
    // Presses the button called `name` in `window`.
    static void click(const QObject* window, const char* name) {
        velanote::testing::child<QPushButton>(window, name)->click();
    }

    // Picks row `row` of the jingle list as the user does.
    static void chooseJingle(const QObject* window, int row) {
        auto* combo = velanote::testing::child<QComboBox>(window, "jingleCombo");
        combo->setCurrentIndex(row);
        Q_EMIT combo->activated(row);
    }

    PrefixFixture() : ctx{platform, temp.folder(), Endpoints::forLocalService(0)} {
        for (int i = 1; i <= 10; ++i) {
            temp.write(QStringLiteral("\\sc\\%1.mp3").arg(i), jingleBytes(i));
        }
        mainWindow.resize(500, 300);
        prefixCheck =
            new QCheckBox(QStringLiteral("是否启用在音信前加入前缀音频功能? [F4快捷]"), &mainWindow);
        prefixCheck->setObjectName(QStringLiteral("prefixCheck"));
        prefixCheck->setGeometry(40, 200, 320, 24);
        shakeTimer.setInterval(5000);
        shakeTimer.start();
    }

    void wire(PrefixSwitch& prefixSwitch) {
        QObject::connect(prefixCheck, &QCheckBox::stateChanged,
                         [this, &prefixSwitch] { prefixSwitch.onSwitchToggled(prefixCheck->checkState()); });
        QObject::connect(&prefixSwitch, &PrefixSwitch::shakeWanted, &shakeTimer,
                         [this](bool on) { on ? shakeTimer.start() : shakeTimer.stop(); });
        QObject::connect(&prefixSwitch, &PrefixSwitch::mainWindowHideWanted, &mainWindow, &QWidget::hide);
        QObject::connect(&prefixSwitch, &PrefixSwitch::mainWindowShowWanted, &mainWindow, &QWidget::show);
        QObject::connect(&prefixSwitch, &PrefixSwitch::switchOffWanted, prefixCheck,
                         [this] { prefixCheck->setChecked(false); });
        mainWindow.show();
    }

    static QByteArray jingleBytes(int n) { return loadResource(111 + n); }
    QString ini() const { return temp.path(QStringLiteral("\\velanote.ini")); }
    QString prefix() const { return temp.path(QStringLiteral("\\yx\\qz.mp3")); }
    QStringList prompts() const {
        QStringList p;
        for (const auto& b : platform.boxes.shown) {
            p << b.prompt;
        }
        return p;
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder temp;
    AppContext ctx;
    QWidget mainWindow;
    QCheckBox* prefixCheck = nullptr;
    QTimer shakeTimer;
};

} // namespace velanote::prefixtest
