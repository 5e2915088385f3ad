// Runs the widget tests inside one QApplication on the offscreen platform,
// where the Qt build has it.
#include <QApplication>
#include <QFont>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

#include <gtest/gtest.h>

namespace {
// A static Qt carries only the platforms built into the program (the
// Windows build: windows, no offscreen). Asking one of those for offscreen
// ends in Qt's fatal "no Qt platform plugin" box, which waits for a click
// that never comes; there the default platform serves.
bool OffscreenBuiltIn() {
    const QList<QStaticPlugin> plugins = QPluginLoader::staticPlugins();
    if (plugins.isEmpty()) return true; // plugins are loaded from files
    for (const QStaticPlugin& p : plugins)
        if (p.metaData()
                .value(QStringLiteral("MetaData"))
                .toObject()
                .value(QStringLiteral("Keys"))
                .toArray()
                .contains(QStringLiteral("offscreen")))
            return true;
    return false;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && OffscreenBuiltIn())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
