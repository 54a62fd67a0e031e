#pragma once
#include <QString>

namespace velanote {

// Gives the Yes/No buttons of one particular message box the program's own captions: while the
// hook is installed, a message box whose title equals HookedTitle has its "是(&Y)" button
// relabelled "重新设置音频" and its "否(&N)" button "使用原有音频". The answers stay Yes and No.
class Module1 {
public:
    static void InstallMsgBoxHook();
    static void RemoveMsgBoxHook();
    static bool isHookInstalled();
    static QString HookedTitle;
};

} // namespace velanote
