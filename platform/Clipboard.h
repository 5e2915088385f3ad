#pragma once
#include <QString>

namespace tp {

// The system clipboard, as far as the program uses it: plain text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
    // The X11 primary selection, which a middle click pastes; empty where
    // the system has none.
    virtual QString selectionText() const { return {}; }
};

class QtClipboard final : public Clipboard {
public:
    void setText(const QString& text) override;
    QString text() const override;
    QString selectionText() const override;
};

} // namespace tp
