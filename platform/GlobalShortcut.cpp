#include "platform/GlobalShortcut.h"

#include <QKeySequence>

namespace tp {

QString ShownShortcut(const QString& portableKeys) {
    return QKeySequence::fromString(portableKeys, QKeySequence::PortableText)
        .toString(QKeySequence::NativeText);
}

ShortcutState StateOf(ShortcutState::Kind kind, ShortcutOutcome outcome,
                      const QString& portableKeys, const std::string& detail) {
    return {kind, QString::fromStdString(
                      ShortcutMessage(outcome, ShownShortcut(portableKeys).toStdString(), detail))};
}

ShortcutState CheckedShortcut(const QString& portableKeys) {
    using Kind = ShortcutState::Kind;
    if (portableKeys.isEmpty()) return StateOf(Kind::Off, ShortcutOutcome::Off, portableKeys);
    const std::optional<ShortcutKeys> keys = ParseShortcut(portableKeys.toStdString());
    if (!keys)
        return StateOf(Kind::Failed, ShortcutOutcome::Invalid, portableKeys, "不认识这些键。");
    if (const std::string why = ShortcutProblem(*keys); !why.empty())
        return StateOf(Kind::Failed, ShortcutOutcome::Invalid, portableKeys, why);
    return StateOf(Kind::Active, ShortcutOutcome::Active, portableKeys);
}

} // namespace tp
