#include "mainwindow/mainwindowtexts.h"

#include "velanote/version.h"

namespace velanote::MainWindowTexts {

QString caption() {
    return QStringLiteral("Vela系列软件の声笺") + QLatin1String(kVersionTag) +
           QStringLiteral("【星河】[娱乐类软件]  -By:Tomo阿朔");
}

QString customRelation() {
    return QStringLiteral("自己添加...");
}

const QStringList& relationships() {
    static const QStringList list = {
        QStringLiteral("同学"), QStringLiteral("家人"), QStringLiteral("爸爸"), QStringLiteral("妈妈"),
        QStringLiteral("父亲"), QStringLiteral("母亲"), QStringLiteral("儿子"), QStringLiteral("女儿"),
        QStringLiteral("相公"), QStringLiteral("娘子"), QStringLiteral("老公"), QStringLiteral("老婆"),
        QStringLiteral("丈夫"), QStringLiteral("妻子"), QStringLiteral("爷爷"), QStringLiteral("奶奶"),
        QStringLiteral("叔叔"), QStringLiteral("阿姨"), QStringLiteral("婶婶"), QStringLiteral("伯伯"),
        QStringLiteral("好友"), QStringLiteral("闺蜜"), QStringLiteral("宝贝"), QStringLiteral("铁子"),
        QStringLiteral("死党"), QStringLiteral("兄弟"), QStringLiteral("姐姐"), QStringLiteral("妹妹"),
        QStringLiteral("哥哥"), QStringLiteral("弟弟"), QStringLiteral("姑姑"), QStringLiteral("粉丝"),
        QStringLiteral("客户"), QStringLiteral("同事"), customRelation(),
    };
    return list;
}

QString updateNotes() {
    const QString stars19(19, u'*');
    const QString stars66(66, u'*');
    const QStringList lines = {
        QStringLiteral("更新内容："),
        QStringLiteral("·V6.0："),
        stars19,
        QStringLiteral("+ 新增功能："),
        stars19,
        QStringLiteral("- 增加更新检测功能"),
        QStringLiteral("- 整合资源文件,更简洁"),
        QStringLiteral("- 增加三首全新前缀音频"),
        QStringLiteral("- 增加主题特效开关按钮"),
        QStringLiteral("- 新增自定义前缀音频功能"),
        QStringLiteral("- 整合功能全面完善,调整界面"),
        QStringLiteral("- 方便用户,增加清除信息功能"),
        QStringLiteral("- 增加一键删除目录下全部音信文件功能"),
        QStringLiteral("- 防止用户在生成音信后弄混文件,增加音信定位功能"),
        QStringLiteral("- 新增前缀音频保存识别功能，可直接试听上次选择音频"),
        QStringLiteral("- 新增音频自动修复功能,防止用户误操作造成文件丢失等问题"),
        stars66,
        QStringLiteral("+ 修正完善部分："),
        stars19,
        QStringLiteral("- 修正错误信息"),
        QStringLiteral("- 清除部分多余功能"),
        QStringLiteral("- 全面完善功能细节"),
        QStringLiteral("- 修正程序标题错误问题"),
        QStringLiteral("- 改善界面设计,方便用户操作"),
        QStringLiteral("- 修复了无法复制音信地址的BUG"),
        QStringLiteral("- 更详细的介绍如何使用音频合成功能"),
        QStringLiteral("- 修正部分用户出现自动弹出保存框的BUG"),
        QStringLiteral("- 为防止程序错误,祝福语限制为100字以内"),
        QStringLiteral("- 音频设置多重检测,已经设置过的会弹出提示"),
        QStringLiteral("- 修复了上个版本某个前缀音频无法正常合并的BUG"),
        QStringLiteral("- 修复前缀音频试听功能,在更换其他音频后会自动停止"),
    };
    QString text;
    for (const QString& line : lines) {
        text += line + QLatin1String("\r\n");
    }
    return text;
}

QString softwareDescription() {
    return QStringLiteral(
               "本软件模仿的是一项早已从网络上消失的语音祝福服务，生成的是一段可以发送给亲友的祝福语音信。") +
           QLatin1String("\r\n") + QStringLiteral("您可通过QQ、MSN等通讯工具向您的家人，朋友，爱人等发送。") +
           QLatin1String("\r\n \r\n") +
           QStringLiteral("本程序采用获取网络数据技术,所以必须联网的时候才可以正常使用") +
           QLatin1String("\r\n") +
           QStringLiteral("由于网络资源的限制,所以语音会生硬一些,,重在娱乐!还请大家见谅!");
}

QString exitQuestion() {
    return QStringLiteral("感谢您对阿朔、对Vela系列的软件的支持!") + QLatin1String("\r \r") +
           QStringLiteral("是否退出并到论坛可以下载更多阿朔的原创免费软件?");
}

QString restartQuestion() {
    return QStringLiteral("如果您觉得当前使用的程序出现异常") + QLatin1String("\r\n \r\n") +
           QStringLiteral("请点击重启程序,是否现在重新启动程序?");
}

QString lessonsAdvert() {
    return QStringLiteral("阿朔2012年暑期有偿招收编程学员，有意请联系QQ") + QLatin1String("\r\n \r\n") +
           QStringLiteral("QQ号码已自动复制到剪贴板 | 加时请注明“学习编程”");
}

QString repairQuestion() {
    return QStringLiteral("本功能可恢复误删除的前缀音频文件") + QLatin1String("\r\n \r\n") +
           QStringLiteral("帮您全面修复音频前缀功能,是否继续?");
}

QString frameCaption(const QString& forumHost) {
    return QStringLiteral("寄声设置:[更多原创免费软件尽在") + forumHost + QLatin1String("]");
}

QString checkCaption() {
    return QStringLiteral("是否启用在音信前加入前缀音频功能? [F4快捷]");
}

QString unopened(const QString& target, const QString& folder) {
    if (folder.isEmpty()) {
        return QStringLiteral("无法打开以下地址,本机没有可用的浏览器或相应程序:\n\n") + target;
    }
    return QStringLiteral("无法打开文件夹,本机没有可用的文件管理器:\n\n") + target +
           QStringLiteral("\n\n所在文件夹(可复制):\n") + folder;
}

} // namespace velanote::MainWindowTexts
