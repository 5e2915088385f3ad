#include "library/LibraryLocation.h"
#include "library/ServerStore.h"

namespace tp {

namespace {
[[noreturn]] void NotInThisBuild(const QString& location) {
    throw StoreError({QStringLiteral("颜色库服务器"),
                      QString::fromStdString(ShownLocation(location.toStdString()))},
                     QStringLiteral("This build has no PostgreSQL client."),
                     QStringLiteral("这个版本的程序不能使用服务器上的颜色库"));
}
} // namespace

std::unique_ptr<ColorStore> MakeServerStore(const QString& location) {
    NotInThisBuild(location);
}

void CreateServerLibrary(const QString& location) {
    NotInThisBuild(location);
}

} // namespace tp
