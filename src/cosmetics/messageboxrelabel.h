#pragma once
#include <QString>

namespace velanote {

// Gives the Yes/No buttons of one particular message box the program's own captions: while the
// hook is installed, a message box whose title equals targetTitle has its "是(&Y)" button
// relabelled "重新设置音频" and its "否(&N)" button "使用原有音频". The answers stay Yes and No.
class MessageBoxRelabel {
public:
    static void install();
    static void remove();
    static bool isInstalled();
    static QString targetTitle;
};

} // namespace velanote
