#include "app/CommandLine.h"

namespace tp {

CommandLineOptions ParseCommandLine(const std::vector<std::string>& args) {
    CommandLineOptions o;
    for (const std::string& a : args) {
        if (a == "--pick")
            o.pick = true;
        else if (a == "--help" || a == "-h")
            o.help = true;
        else if (o.error.empty())
            o.error = "未知的命令行参数：" + a;
    }
    return o;
}

std::string CommandLineUsage() {
    return "用法：tintpick [--pick]\n"
           "  --pick  在冻结的屏幕画面上取一次色，以 #RRGGBB 输出后退出（Esc 取消，退出码 1）\n";
}

} // namespace tp
