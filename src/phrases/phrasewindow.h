#pragma once
#include "app/appcontext.h"
#include "platform/commondialog.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace velanote {

class StatusBar;

// The greeting phrase library: pick a category, double-click a phrase to put it into the main
// window's message box. One instance at a time (see showSingle); deleted on close.
//
// control                 caption                         purpose
// categoryCombo           请选择分类                      which category of phrases to list
// phraseList              (the phrases)                   a double-click puts the phrase in the message
// hintLabel, hintPicture  小提示:...                      a hint over the empty list; a click hides it
// searchButton            搜索更多                        searches the web for more phrases
class PhraseWindow : public QWidget {
    Q_OBJECT
public:
    // `messageEdit` receives a chosen phrase, panel 2 of `statusLine` reports it; either may be null.
    PhraseWindow(AppContext& ctx, QPlainTextEdit* messageEdit, StatusBar* statusLine,
                 QWidget* parent = nullptr);

    // Shows the one phrase library: brings the window in `slot` forward unchanged when it exists,
    // else creates it, keeps it in `slot` and shows it. The slot empties itself when it closes.
    static PhraseWindow* showSingle(QPointer<PhraseWindow>& slot, AppContext& ctx,
                                    QPlainTextEdit* messageEdit, StatusBar* statusLine,
                                    QWidget* parent = nullptr);
    // Where a window of `size` goes within `area` beside the window `anchor`: to its right where it
    // fits, else to its left, else where it covers the least of it.
    static QPoint placeBeside(const QRect& anchor, const QSize& size, const QRect& area);

    QGroupBox* phraseFrame = nullptr;
    QComboBox* categoryCombo = nullptr;
    QListWidget* phraseList = nullptr;
    QLabel* hintLabel = nullptr;
    QLabel* hintPicture = nullptr;
    QPushButton* searchButton = nullptr;
    CommonDialog fileDialog; // carried with the window; no command shows it

    void load();
    void onCategoryChosen();
    void onPhraseClicked();
    void onPhraseChosen();
    void onSearchClicked();
    void onHintClicked();
    void onHintPictureClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void placeBesideMainWindow();

    AppContext& ctx_;
    QPointer<QPlainTextEdit> messageEdit_;
    QPointer<StatusBar> statusLine_;
};

} // namespace velanote
