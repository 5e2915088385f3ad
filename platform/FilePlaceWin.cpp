#include "platform/FilePlace.h"

#include <QDir>

#include <windows.h>

namespace tp {

bool PlaceNewFile(const QString& from, const QString& to, QString& error) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails on a name that
    // exists, in one step.
    const std::wstring src = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring dst = QDir::toNativeSeparators(to).toStdWString();
    if (MoveFileExW(src.c_str(), dst.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return true;
    error = qt_error_string(static_cast<int>(code));
    return false;
}

} // namespace tp
