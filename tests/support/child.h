#pragma once
// Reaching a window's controls from a test, by the object names the window gives them.
#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace velanote::testing {

// The descendant of `parent` called `name`, as a T; the test fails when there is none.
template <typename T> T* child(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        throw std::runtime_error(std::string("no control named ") + name);
    }
    return found;
}

} // namespace velanote::testing
