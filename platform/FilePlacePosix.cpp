#include "platform/FilePlace.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tp {

bool PlaceNewFile(const QString& from, const QString& to, QString& error) {
    // A second name for the finished file; link() never replaces one.
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ||
        errno == EEXIST)
        return true;
    error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

} // namespace tp
