#include "cosmetics/messageboxrelabel.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace velanote {

QString MessageBoxRelabel::targetTitle;

namespace {

const QString YesCaption = QStringLiteral("是(&Y)");
const QString NoCaption = QStringLiteral("否(&N)");
const QString YesReplacement = QStringLiteral("重新设置音频");
const QString NoReplacement = QStringLiteral("使用原有音频");

// Grows a window that is already on screen so its relabelled buttons fit; a window that is not
// shown yet takes its size from its layout when it is shown. The geometry of every widget between
// a button and its window is invalidated at once, so the window's size hint is already current.
void fitToContents(QWidget* window, const QList<QPushButton*>& changed) {
    if (!window->isVisible()) {
        return;
    }
    for (QPushButton* button : changed) {
        for (QWidget* w = button; w != nullptr && w != window; w = w->parentWidget()) {
            if (QLayout* layout = w->layout()) {
                layout->invalidate();
            }
            w->updateGeometry();
        }
    }
    if (QLayout* layout = window->layout()) {
        layout->invalidate();
        layout->activate();
    }
    const QSize wanted = window->size().expandedTo(window->sizeHint()).expandedTo(window->minimumSizeHint());
    if (wanted == window->size()) {
        return;
    }
    if (window->minimumSize() == window->maximumSize()) {
        window->setFixedSize(wanted);
    } else {
        window->resize(wanted);
    }
}

// Rewrites the captions of the Yes and No push buttons of `window`; other buttons keep theirs.
void relabelButtons(QWidget* window) {
    QList<QPushButton*> changed;
    const QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->text() == YesCaption) {
            button->setText(YesReplacement);
            changed.append(button);
        } else if (button->text() == NoCaption) {
            button->setText(NoReplacement);
            changed.append(button);
        }
    }
    if (!changed.isEmpty()) {
        fitToContents(window, changed);
    }
}

// Application-wide event filter that relabels the Yes/No buttons of the window titled
// MessageBoxRelabel::targetTitle as it is polished, shown or activated.
class MessageBoxRelabeller : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Polish || type == QEvent::Show || type == QEvent::WindowActivate) &&
            watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && widget->windowTitle() == MessageBoxRelabel::targetTitle) {
                relabelButtons(widget);
            }
        }
        return false;
    }
};

QPointer<MessageBoxRelabeller> installedFilter;

} // namespace

void MessageBoxRelabel::install() {
    QCoreApplication* app = QCoreApplication::instance();
    if (installedFilter || app == nullptr) {
        return;
    }
    installedFilter = new MessageBoxRelabeller(app);
    app->installEventFilter(installedFilter);
}

void MessageBoxRelabel::remove() {
    if (!installedFilter) {
        return;
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeEventFilter(installedFilter);
    }
    delete installedFilter.data();
}

bool MessageBoxRelabel::isInstalled() {
    return !installedFilter.isNull();
}

} // namespace velanote
