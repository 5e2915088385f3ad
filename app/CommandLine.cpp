#include "app/CommandLine.h"

#include "base/AppInfo.h"

#include <string_view>

namespace tp {

namespace {

constexpr std::string_view ExportOption = "--export-library";
constexpr std::string_view ImportOption = "--import-library";
constexpr std::string_view LibraryOption = "--library";
constexpr std::string_view CreateOption = "--create-library";

// Matches "--name" (value in the next argument) or "--name=value".
bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string_view name,
               std::string& value, std::string& error) {
    const std::string& a = args[i];
    if (a.rfind(name, 0) != 0) return false;
    if (a.size() > name.size() && a[name.size()] != '=') return false;
    if (a.size() > name.size()) {
        value = a.substr(name.size() + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];
    }
    if (value.empty() && error.empty())
        error =
            std::string(name) + (name == LibraryOption ? " 需要颜色库的位置" : " 需要一个文件名");
    return true;
}

} // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& args) {
    CommandLineOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--pick")
            o.pick = true;
        else if (a == "--new-instance")
            o.newInstance = true;
        else if (a == "--help" || a == "-h")
            o.help = true;
        else if (a == "--version")
            o.version = true;
        else if (a == CreateOption)
            o.createLibrary = true;
        else if (TakeValue(args, i, ExportOption, o.exportLibrary, o.error) ||
                 TakeValue(args, i, ImportOption, o.importLibrary, o.error) ||
                 TakeValue(args, i, LibraryOption, o.library, o.error))
            continue;
        else if (o.error.empty())
            o.error = "未知的命令行参数：" + a;
    }
    const int tasks = int(o.pick) + int(!o.exportLibrary.empty()) + int(!o.importLibrary.empty()) +
                      int(o.createLibrary);
    if (o.error.empty() && tasks > 1)
        o.error = "--pick、--export-library、--import-library 和 --create-library 一次只能用一个";
    if (o.error.empty() && o.createLibrary && o.library.empty())
        o.error = "--create-library 需要 --library 指明服务器上的数据库";
    return o;
}

StartKind StartKindOf(const CommandLineOptions& o) {
    // Work that ends by itself would be lost in a running instance, and the
    // script that started it waits for its result: such options come first.
    if (o.pick || !o.exportLibrary.empty() || !o.importLibrary.empty() || o.createLibrary)
        return StartKind::OneShot;
    if (o.newInstance) return StartKind::Separate;
    return StartKind::Join;
}

bool AsksForLibraryCommand(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == CreateOption) return true;
        for (const std::string_view name : {ExportOption, ImportOption})
            if (a.rfind(name, 0) == 0 && (a.size() == name.size() || a[name.size()] == '='))
                return true;
    }
    return false;
}

std::string CommandLineUsage() {
    return "用法：tintpick [--library 位置] [--pick | --export-library 文件 | "
           "--import-library 文件.gpl | --create-library | --new-instance | --help | --version]\n"
           "  --pick                     在冻结的屏幕画面上取一次色，以 #RRGGBB "
           "输出后退出（Esc 取消，退出码 1）\n"
           "  --export-library 文件      把颜色库导出为调色板，格式由扩展名决定："
           ".gpl（GIMP）、.css（CSS 自定义属性）或 .json\n"
           "  --import-library 文件.gpl  把 GIMP 调色板中的颜色加入颜色库，"
           "库中已有的颜色不重复加入\n"
           "  --new-instance             已有 Tintpick 在运行时，仍然另外启动一个\n"
           "  --library 位置             这次使用的颜色库：一个文件，或服务器上的数据库，"
           "例如 postgresql://用户@主机:5432/数据库 或 service=名称（密码取自 ~/.pgpass）\n"
           "  --create-library           在 --library 指明的数据库里建好颜色库的表\n"
           "  --help, -h                 显示这段说明后退出\n"
           "  --version                  显示版本后退出\n"
           "颜色库与程序窗口使用的相同：--library 指明的，否则是“颜色库位置”里选的，"
           "否则是启动目录中的 store.kvd；安装的程序在没有它时"
           "使用用户数据目录中的 tintpick/store.kvd。\n"
           "详见 man tintpick。\n";
}

std::string VersionText() {
    return std::string("tintpick ") + AppVersionText + "\n";
}

std::optional<std::string> InformationAskedFor(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") return CommandLineUsage();
        if (a == "--version") return VersionText();
    }
    return std::nullopt;
}

} // namespace tp
