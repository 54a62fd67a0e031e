#pragma once
#include "service/speechservice.h"

#include <QString>
#include <QStringList>

namespace velanote {

// The command line of `velanote serve`, read into service options.
struct ServeArguments {
    SpeechService::Options options;
    bool helpWanted = false;
    QString error; // set when the arguments cannot be used

    static ServeArguments parse(const QStringList& arguments);
    static QString usage();
};

} // namespace velanote
