#include "support/fakeplatform.h"

namespace velanote::fakes {

MessageBoxAnswer FakeMessageBox::show(const QString& prompt, MessageBoxStyle style, const QString& title,
                                      QWidget*) {
    const ShownBox box{prompt, style, title};
    shown.append(box);
    if (onShow) {
        onShow(box);
    }
    if (!answers.empty()) {
        const MessageBoxAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    if (style == MessageBoxStyle::YesNoInformation) {
        ++unexpected;
        return MessageBoxAnswer::No;
    }
    if (style == MessageBoxStyle::YesNoCancelInformation) {
        ++unexpected;
        return MessageBoxAnswer::Cancel;
    }
    return MessageBoxAnswer::Ok;
}

std::optional<QString> FakeFileDialogs::answer(DialogCall call) {
    if (onShow) {
        onShow(call);
    }
    calls.append(std::move(call));
    if (answers.empty()) {
        return std::nullopt;
    }
    const Answer a = answers.front();
    answers.pop_front();
    if (a.cancel) {
        return std::nullopt;
    }
    return a.path;
}

std::optional<QString> FakeFileDialogs::openFileName(QWidget*, const QString& title, const QString& filter,
                                                     const QString& initialName) {
    return answer({false, title, filter, initialName});
}

std::optional<QString> FakeFileDialogs::saveFileName(QWidget*, const QString& title, const QString& filter,
                                                     const QString& initialName) {
    return answer({true, title, filter, initialName});
}

std::optional<QString> FakeFileDialogs::existingFolder(QWidget*, const QString& title,
                                                       const QString& initialFolder) {
    return answer({false, title, QString(), initialFolder});
}

QString FakeHttpClient::fetchText(const QString& url) {
    const HttpResult r = get(url);
    return r.ok() ? QString::fromUtf8(r.body) : QString();
}

HttpResult FakeHttpClient::get(const QString& url) {
    requests.append(url);
    return replies.value(url.trimmed(), HttpResult{});
}

std::unique_ptr<MediaPlayer> FakePlatform::createPlayer(QObject*) {
    auto p = std::make_unique<FakeMediaPlayer>();
    players.append(p.get());
    return p;
}

std::unique_ptr<TrayIcon> FakePlatform::createTrayIcon(QObject*) {
    auto t = std::make_unique<FakeTrayIcon>();
    trayIcons.append(t.get());
    return t;
}

} // namespace velanote::fakes
