#pragma once
// Holds a line edit's text to a number of characters, counted as the store
// counts them (code points), where QLineEdit's own limit counts UTF-16 units
// and would cut a stored text when it is shown, or split a character.
#include <QValidator>

namespace tp {

class TextLimit final : public QValidator {
    Q_OBJECT
public:
    TextLimit(int limit, bool crlf, QObject* parent);
    int limit() const { return limit_; }
    // The text an edit starts from, set before the edit is given it: text
    // that was there before is never shortened, only what is typed or pasted
    // is cut to the room left.
    void setBaseline(const QString& text) { baseline_ = text; }
    State validate(QString& input, int& pos) const override;

private:
    int limit_;
    bool crlf_;
    mutable QString baseline_;
};

} // namespace tp
