#pragma once
// Tests reach a window's parts as a user's eye does: by the names the window
// gives them (findChild), never through its members.
#include <QObject>
#include <QString>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace tp::test {

// The child of that name and type; a test that asks for one the window does
// not have fails (gtest reports the exception) instead of crashing.
template <class T = QWidget> T* Child(const QObject* parent, const char* name) {
    T* c = parent->findChild<T*>(QString::fromLatin1(name));
    if (!c) throw std::runtime_error(std::string("no part named ") + name);
    return c;
}

} // namespace tp::test
