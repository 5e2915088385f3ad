#include "platform/DisplayCheck.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tp {

namespace {
// Qt's warnings while it looks for a platform are held back: when the reason
// is a missing display, the plain message says it better; otherwise they
// are passed on as they came.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
QtMessageHandler previousHandler = nullptr;
QList<HeldMessage> held;

void passOnHeld() {
    for (const HeldMessage& m : std::exchange(held, {})) {
        const QMessageLogContext context(m.file.constData(), m.line, m.function.constData(),
                                         m.category.constData());
        previousHandler(m.type, context, m.text);
    }
}

void watchStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const std::string message = NoDisplayMessage();
        if (!message.empty()) {
            std::fprintf(stderr, "%s\n", message.c_str());
            std::fflush(stderr);
            // The application object is half built: nothing may run after this.
            std::_Exit(1);
        }
        passOnHeld();
    } else if (context.category && std::strncmp(context.category, "qt.qpa", 6) == 0) {
        held.push_back(
            {type, context.file, context.function, context.category, context.line, text});
        return;
    }
    previousHandler(type, context, text);
}
} // namespace

DisplayStartWatch::DisplayStartWatch() {
    previousHandler = qInstallMessageHandler(watchStart);
}

DisplayStartWatch::~DisplayStartWatch() {
    qInstallMessageHandler(previousHandler);
    passOnHeld();
}

} // namespace tp
