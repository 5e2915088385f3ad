#include "library/TextLimit.h"

#include "library/LibraryRules.h"

namespace tp {

TextLimit::TextLimit(int limit, bool crlf, QObject* parent)
    : QValidator(parent), limit_(limit), crlf_(crlf) {}

QValidator::State TextLimit::validate(QString& input, int& pos) const {
    const std::u32string after = input.toStdU32String();
    const FittedEdit fit = FitEdit(baseline_.toStdU32String(), after, limit_, crlf_);
    if (fit.text != after) {
        input = QString::fromStdU32String(fit.text);
        pos = static_cast<int>(QString::fromStdU32String(fit.text.substr(0, fit.caret)).size());
    }
    baseline_ = input;
    return Acceptable;
}

} // namespace tp
