#include "app/CommandLine.h"

namespace tp {

CommandLineOptions ParseCommandLine(const std::vector<std::string>& args) {
    CommandLineOptions o;
    for (const std::string& a : args) {
        if (a == "--pick")
            o.pick = true;
        else if (a == "--new-instance")
            o.newInstance = true;
        else if (a == "--help" || a == "-h")
            o.help = true;
        else if (o.error.empty())
            o.error = "未知的命令行参数：" + a;
    }
    return o;
}

StartKind StartKindOf(const CommandLineOptions& o) {
    // Work that ends by itself would be lost in a running instance, and the
    // script that started it waits for its result: such options come first.
    if (o.pick) return StartKind::OneShot;
    if (o.newInstance) return StartKind::Separate;
    return StartKind::Join;
}

std::string CommandLineUsage() {
    return "用法：tintpick [--pick] [--new-instance]\n"
           "  --pick          在冻结的屏幕画面上取一次色，以 #RRGGBB 输出后退出（Esc 取消，退出码 "
           "1）\n"
           "  --new-instance  已有 Tintpick 在运行时，仍然另外启动一个（不交给正在运行的那个）\n";
}

} // namespace tp
