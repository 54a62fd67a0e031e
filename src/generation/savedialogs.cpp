#include "generation/savedialogs.h"

namespace velanote {

CommonDialog makeSpeechFileDialog(FileDialogService& dialogs, QWidget* parent) {
    return CommonDialog(dialogs, parent, QStringLiteral("请选择您要保存的音信文件路径"),
                        QStringLiteral("(MP3音频文件)|*.mp3"));
}

CommonDialog makeJoinedFileDialog(FileDialogService& dialogs, QWidget* parent) {
    return CommonDialog(dialogs, parent, QString(), QStringLiteral("音频文件(*.mp3)|*.mp3"));
}

} // namespace velanote
