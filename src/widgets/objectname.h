#pragma once
#include <QObject>
#include <QString>

namespace velanote {

// Gives a control the object name its window, its settings and the tests find it by, and returns it
// so that the control can be made and named in one expression.
template <typename T> T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

} // namespace velanote
