#pragma once
#include <QString>

#include <optional>

namespace velanote {

// The rules of the joiner tool, free of any window: the size lines, the checks a join must pass
// in their order, and the byte join itself.
class AudioJoiner {
public:
    // What stops a join, in the order the checks run; Ready when nothing does.
    enum class Verdict {
        Ready,
        FirstNotChosen,
        SecondNotChosen,
        OutputNotChosen,
        InputNotFound, // an input path names no readable file, so it cannot be measured
        TooLarge,
        FormatDiffers,
        OutputIsInput,
    };

    // Largest input accepted, in whole kilobytes.
    static constexpr qint64 MaxKilobytes = 200;

    // The file's length in whole kilobytes (bytes / 1024, remainder dropped); nullopt when the
    // path names no regular file.
    static std::optional<qint64> kilobytes(const QString& path);

    // Size line texts: "(1)大小：12KB", "(1)大小：未载入" for an empty path, "(1)大小：文件不存在" for
    // a path that names no file. `prefix` is "(1)大小：" or "(2)大小：".
    static QString sizeLine(const QString& prefix, const QString& path);
    // "预计合成后大小：" + the sum of both sizes + "KB"; "…无法估算" when either input names no file,
    // "…未载入" when the output path is empty.
    static QString estimateLine(const QString& first, const QString& second, const QString& output);

    // Runs the checks in order: the three paths chosen, both inputs measured (existing, at most
    // MaxKilobytes each), the same last four characters (case counts), the output differing from
    // both inputs.
    static Verdict check(const QString& first, const QString& second, const QString& output);
    // The status line text for a verdict other than Ready.
    static QString statusText(Verdict verdict);

    // Writes the bytes of `first` followed by those of `second` to `output` through a temporary
    // file and rename; false when an input cannot be read or the output cannot be written, and
    // then nothing at `output` has changed.
    static bool join(const QString& first, const QString& second, const QString& output);

    static const QString NotLoaded;      // "未载入"
    static const QString NoSuchFile;     // "文件不存在"
    static const QString JoinFailedText; // "音频文件合成失败!请检查文件路径.."
};

} // namespace velanote
