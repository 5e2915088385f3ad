#pragma once
// Key presses as X11 delivers them: with the text the key types. QTest sends
// Delete without any text, while X11 gives it DEL (127); a character filter
// that mistakes that for typing goes unnoticed unless tests send it too.
#include <QString>
#include <QTest>

namespace tp::test {

inline QString X11KeyText(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    switch (key) {
    case Qt::Key_Delete:
        return QStringLiteral("\x7f");
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QStringLiteral("\t");
    default:
        break;
    }
    // Ctrl with a letter types its control character (Ctrl+V is 22).
    if ((modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(key - Qt::Key_A + 1));
    const char ascii = QTest::keyToAscii(key);
    return ascii ? QString(QChar::fromLatin1(ascii)) : QString();
}

inline void KeyClick(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::sendKeyEvent(QTest::Click, w, key, X11KeyText(key, modifiers), modifiers);
}

} // namespace tp::test
