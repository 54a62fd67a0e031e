#include "joiner/audiojoiner.h"

#include "platform/atomicfile.h"
#include "platform/samefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace velanote {

const QString AudioJoiner::NotLoaded = QStringLiteral("未载入");
const QString AudioJoiner::NoSuchFile = QStringLiteral("文件不存在");
const QString AudioJoiner::JoinFailedText = QStringLiteral("音频文件合成失败!请检查文件路径..");

std::optional<qint64> AudioJoiner::kilobytes(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        return std::nullopt;
    }
    return info.size() / 1024;
}

QString AudioJoiner::sizeLine(const QString& prefix, const QString& path) {
    if (path.isEmpty()) {
        return prefix + NotLoaded;
    }
    const auto kb = kilobytes(path);
    if (!kb) {
        return prefix + NoSuchFile;
    }
    return prefix + QString::number(*kb) + QStringLiteral("KB");
}

QString AudioJoiner::estimateLine(const QString& first, const QString& second, const QString& output) {
    const QString prefix = QStringLiteral("预计合成后大小：");
    if (output.isEmpty()) {
        return prefix + NotLoaded;
    }
    const auto a = kilobytes(first);
    const auto b = kilobytes(second);
    if (!a || !b) {
        return prefix + QStringLiteral("无法估算");
    }
    return prefix + QString::number(*a + *b) + QStringLiteral("KB");
}

AudioJoiner::Verdict AudioJoiner::check(const QString& first, const QString& second, const QString& output) {
    if (first.isEmpty()) {
        return Verdict::FirstNotChosen;
    }
    if (second.isEmpty()) {
        return Verdict::SecondNotChosen;
    }
    if (output.isEmpty()) {
        return Verdict::OutputNotChosen;
    }
    // Both are measured before either is judged.
    const auto a = kilobytes(first);
    const auto b = kilobytes(second);
    if (!a || !b) {
        return Verdict::InputNotFound;
    }
    if (*a > MaxKilobytes || *b > MaxKilobytes) {
        return Verdict::TooLarge;
    }
    if (first.right(4) != second.right(4)) {
        return Verdict::FormatDiffers;
    }
    if (isSameFile(output, first) || isSameFile(output, second)) {
        return Verdict::OutputIsInput;
    }
    return Verdict::Ready;
}

QString AudioJoiner::statusText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Ready:
        break;
    case Verdict::FirstNotChosen:
        return QStringLiteral("请选择您要合成的音频一(前半部分)");
    case Verdict::SecondNotChosen:
        return QStringLiteral("请选择您要合成的音频一(后半部分)");
    case Verdict::OutputNotChosen:
        return QStringLiteral("请选择您要保存的音频路径...");
    case Verdict::InputNotFound:
        return JoinFailedText;
    case Verdict::TooLarge:
        return QStringLiteral("请选择200K以下的音频文件进行整合...");
    case Verdict::FormatDiffers:
        return QStringLiteral("音频格式不同,无法进行整合...");
    case Verdict::OutputIsInput:
        return QStringLiteral("保存路径不能与音频文件相同!请重新选择..");
    }
    return {};
}

bool AudioJoiner::join(const QString& first, const QString& second, const QString& output) {
    // Whole kilobytes are counted, so the largest input accepted ends just short of the next one.
    const qint64 maxInputBytes = (MaxKilobytes + 1) * 1024 - 1;
    return concatenateFiles(first, second, output, maxInputBytes) == JoinOutcome::Joined;
}

} // namespace velanote
