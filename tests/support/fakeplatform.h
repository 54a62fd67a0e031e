#pragma once
// Fakes of the platform layer: each records its calls and answers from a script.
#include "platform/platform.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

namespace velanote::fakes {

struct ShownBox {
    QString prompt;
    MessageBoxStyle style = MessageBoxStyle::OkInformation;
    QString title;
};

// Answers message boxes from a queue; with an empty queue it answers the safe default
// (OK for 48/64, No for 68, Cancel for 67) and records an unexpected box.
class FakeMessageBox : public MessageBoxService {
public:
    MessageBoxAnswer show(const QString& prompt, MessageBoxStyle style, const QString& title,
                          QWidget* parent = nullptr) override;
    void answerNext(MessageBoxAnswer answer) { answers.push_back(answer); }
    // Runs when a box is shown, before it answers (lets a test look at the windows meanwhile).
    std::function<void(const ShownBox&)> onShow;
    std::deque<MessageBoxAnswer> answers;
    QList<ShownBox> shown;
    int unexpected = 0;
};

struct DialogCall {
    bool save = false;
    QString title;
    QString filter;
    QString initialName;
};

// Answers file dialogs from a queue: a path, or nullopt for cancel. Empty queue: cancel.
class FakeFileDialogs : public FileDialogService {
public:
    std::optional<QString> openFileName(QWidget*, const QString& title, const QString& filter,
                                        const QString& initialName) override;
    std::optional<QString> saveFileName(QWidget*, const QString& title, const QString& filter,
                                        const QString& initialName) override;
    std::optional<QString> existingFolder(QWidget*, const QString& title,
                                          const QString& initialFolder) override;
    void chooseNext(const QString& path) { answers.push_back({false, path}); }
    void cancelNext() { answers.push_back({true, QString()}); }
    // Runs when a dialog is shown, before it answers.
    std::function<void(const DialogCall&)> onShow;
    struct Answer {
        bool cancel = true;
        QString path;
    };
    std::deque<Answer> answers;
    QList<DialogCall> calls;

private:
    std::optional<QString> answer(DialogCall call);
};

// Starts "playing" on a non-empty URL and stops on the empty one; the test moves position and
// duration and ends or starts playing with setPlaying.
class FakeMediaPlayer : public MediaPlayer {
public:
    void setURL(const QString& url) override {
        url_ = url;
        urlHistory.append(url);
        playing_ = startsOnURL && !url.isEmpty();
        position_ = 0;
        notifyChanged();
    }
    QString URL() const override { return url_; }
    void setVolume(int v) override { volume_ = v; }
    int volume() const override { return volume_; }
    qint64 position() const override { return position_; }
    qint64 duration() const override { return duration_; }
    bool isPlaying() const override { return playing_; }
    void pause() override {
        ++pauseCalls;
        setPlaying(false);
    }
    void resume() override {
        ++resumeCalls;
        setPlaying(!url_.isEmpty());
    }
    void stop() override {
        ++stopCalls;
        position_ = 0;
        setPlaying(false);
    }
    void setPosition(qint64 ms) { position_ = ms; }
    void setDuration(qint64 ms) { duration_ = ms; }
    void setPlaying(bool playing) {
        playing_ = playing;
        notifyChanged();
    }
    // What the real player does when the assigned source turns out unplayable.
    void fail() {
        playing_ = false;
        notifyChanged();
        notifyFailed();
    }
    QStringList urlHistory;
    bool startsOnURL = true; // false: a new URL waits for setPlaying(true), as a slow address does
    int pauseCalls = 0;
    int resumeCalls = 0;
    int stopCalls = 0;

private:
    QString url_;
    int volume_ = 50;
    qint64 position_ = 0;
    qint64 duration_ = 0;
    bool playing_ = false;
};

// Serves scripted replies by address; anything else fails as an unreachable host.
class FakeHttpClient : public HttpClient {
public:
    QString fetchText(const QString& url) override;
    HttpResult get(const QString& url) override;
    QHash<QString, HttpResult> replies;
    QStringList requests;
};

class FakeShell : public Shell {
public:
    // What is in `unopenable` is refused as by a desktop with no browser or file manager.
    void openAddress(const QString& address) override {
        openedAddresses.append(address);
        if (unopenable.contains(address)) {
            notifyFailed(address, QString());
        }
    }
    void showFileInManager(const QString& path) override {
        shownFiles.append(path);
        if (unopenable.contains(path)) {
            notifyFailed(path, path.section(QLatin1Char('/'), 0, -2));
        }
    }
    void settle(int) override { ++settles; }
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started.append(program + (arguments.isEmpty() ? QString() : " " + arguments.join(' ')));
        return true;
    }
    void endProgram() override { ++endProgramCalls; }
    QStringList openedAddresses;
    QStringList shownFiles;
    QStringList started;
    QStringList unopenable;
    int endProgramCalls = 0;
    int settles = 0;
};

class FakeClipboard : public Clipboard {
public:
    QString text() const override { return text_; }
    void setText(const QString& t) override {
        text_ = t;
        ++writes;
    }
    void clear() override {
        text_.clear();
        ++clears;
    }
    int writes = 0;
    int clears = 0;

private:
    QString text_;
};

struct BalloonCall {
    QString message;
    QString title;
};

class FakeTrayIcon : public TrayIcon {
public:
    void setToolTip(const QString& t) override { toolTip_ = t; }
    QString toolTip() const override { return toolTip_; }
    void showBalloon(const QString& message, const QString& title) override {
        balloons.append({message, title});
        balloonShown = true;
    }
    void removeBalloon() override {
        balloonShown = false;
        ++removals;
    }
    void setVisible(bool v) override { visible_ = v; }
    bool isVisible() const override { return visible_; }
    QList<BalloonCall> balloons;
    bool balloonShown = false;
    int removals = 0;

private:
    QString toolTip_;
    bool visible_ = false;
};

// A platform made of the fakes above. Players and tray icons it creates stay owned by the
// window that asked for them; the fake keeps pointers to look at them.
class FakePlatform : public Platform {
public:
    MessageBoxService& messageBox() override { return boxes; }
    FileDialogService& fileDialogs() override { return dialogs; }
    HttpClient& http() override { return *httpClient; }
    Shell& shell() override { return shellFake; }
    Clipboard& clipboard() override { return clipboardFake; }
    std::unique_ptr<MediaPlayer> createPlayer(QObject* parent) override;
    std::unique_ptr<TrayIcon> createTrayIcon(QObject* parent) override;

    // Replaces the HTTP client, e.g. with the real one for loopback tests (not owned).
    void useHttp(HttpClient& client) { httpClient = &client; }

    FakeMessageBox boxes;
    FakeFileDialogs dialogs;
    FakeHttpClient httpFake;
    FakeShell shellFake;
    FakeClipboard clipboardFake;
    QList<FakeMediaPlayer*> players; // in creation order
    QList<FakeTrayIcon*> trayIcons;

private:
    HttpClient* httpClient = &httpFake;
};

} // namespace velanote::fakes
