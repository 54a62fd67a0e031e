#include "app/qttranslations.h"

#include <QApplication>
#include <QFileDialog>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace velanote;

TEST(QtTranslations, QtsOwnDialogTextsReadInChinese) {
    QTranslator* translator = installQtChineseTranslations(*qApp);
    ASSERT_NE(translator, nullptr) << "Qt's translations (qt6-translations-l10n) are not installed";
    EXPECT_EQ(translator->parent(), qApp);

    // A dialog without a title of its own takes the desktop's default caption.
    QFileDialog save(nullptr, QString());
    save.setOption(QFileDialog::DontUseNativeDialog, true);
    save.setAcceptMode(QFileDialog::AcceptSave);
    EXPECT_EQ(save.windowTitle(), QStringLiteral("另存为"));
    QFileDialog open(nullptr, QString());
    open.setOption(QFileDialog::DontUseNativeDialog, true);
    open.setAcceptMode(QFileDialog::AcceptOpen);
    EXPECT_EQ(open.windowTitle(), QStringLiteral("打开"));
    EXPECT_EQ(QFileDialog::tr("Back"), QStringLiteral("后退"));

    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(QFileDialog::tr("Back"), QStringLiteral("Back"));
}
