#pragma once
#include "app/appcontext.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace velanote {

// What of the main window the phrase library should leave in view: its inputs, and among them the
// message box it fills.
struct InputsInView {
    QList<const QWidget*> inputs;
    const QWidget* messageBox = nullptr;
};

// The greeting phrase library: pick a category, double-click a phrase and the window emits it for
// the main window's message box. One instance at a time (see showSingle); deleted on close.
//
// control        caption          handler                     purpose
// categoryCombo  请选择分类       onCategoryComboChanged      lists the phrases of that category
// phraseList     (the phrases)    onPhraseListChanged         shows the clicked phrase as a tip
//                (double-click)   onPhraseListDoubleClicked   puts the phrase in the message
// hintLabel      小提示:...       onHintLabelClicked          hides the hint over the empty list
// hintPicture    (hint picture)   onHintPictureClicked        hides the hint as well
// searchButton   搜索更多         onSearchButtonClicked       searches the web for more phrases
class PhraseWindow : public QWidget {
    Q_OBJECT
public:
    explicit PhraseWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Shows the one phrase library: brings the window in `slot` forward unchanged when it exists,
    // else creates it beside `mainWindow` (or centred when that is null or hidden), clear of what
    // `keep` names where it can be, keeps it in `slot` and shows it. The slot empties itself when
    // it closes.
    static PhraseWindow* showSingle(QPointer<PhraseWindow>& slot, AppContext& ctx, const QWidget* mainWindow,
                                    QWidget* parent = nullptr, const InputsInView& keep = {});
    // Where a window of `size` goes within `area` beside the window `anchor`: where it covers none
    // of `inputs` if the area allows (to its right where it fits, else to its left, else covering
    // the least of it); otherwise where it leaves `messageBox` in view, or as much of it as it can.
    // All rectangles are in screen coordinates.
    static QPoint placeBeside(const QRect& anchor, const QSize& size, const QRect& area,
                              const QList<QRect>& inputs = {}, const QRect& messageBox = {});

Q_SIGNALS:
    // A phrase was double-clicked, for the message box.
    void phraseChosen(const QString& phrase);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void load();
    void onCategoryComboChanged();
    void onPhraseListChanged();
    void onPhraseListDoubleClicked();
    void onSearchButtonClicked();
    void onHintLabelClicked();
    void onHintPictureClicked();
    void placeBesideWindow(const QWidget* mainWindow, const InputsInView& keep);

    AppContext& ctx_;
    QGroupBox* phraseFrame = nullptr;
    QComboBox* categoryCombo = nullptr;
    QListWidget* phraseList = nullptr;
    QLabel* hintLabel = nullptr;
    QLabel* hintPicture = nullptr;
    QPushButton* searchButton = nullptr;
};

} // namespace velanote
