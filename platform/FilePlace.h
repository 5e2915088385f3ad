#pragma once
#include <QString>

namespace tp {

// Gives the finished file `from` the name `to` unless a file of that name
// exists already, in one step: nobody ever sees `to` half made, and a file
// that appeared there meanwhile is kept as it is. True when `to` exists
// afterwards (made now, or found); otherwise `error` says why. `from` may be
// left behind for its owner to remove.
bool PlaceNewFile(const QString& from, const QString& to, QString& error);

} // namespace tp
