#include "colour/CodeEdit.h"

#include "colour/ColorText.h"
#include "platform/Clipboard.h"
#include "platform/ErrorReporter.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <algorithm>

namespace tp {

TCodeEdit::TCodeEdit(const Services& services, QWidget* parent)
    : QLineEdit(parent), services_(services) {}

void TCodeEdit::pasteText(const QString& text) {
    if (isReadOnly()) return;
    const QString t = text.trimmed();
    if (t.isEmpty()) return;
    const bool hexDigits = std::all_of(t.begin(), t.end(), [](QChar ch) {
        return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f') ||
               (ch >= u'A' && ch <= u'F');
    });
    const qsizetype kept = this->text().size() - selectedText().size();
    if (hexDigits && kept + t.size() <= maxLength()) {
        insert(t);
        return;
    }
    // Read whole: the edit's length limit would otherwise cut "#ABCDEF" to
    // "#ABCDE" and "ab cd ef" to "ab cd ".
    const std::string utf8 = text.toStdString();
    const auto c = ParseColorText(utf8);
    if (!c) {
        if (services_.errors)
            services_.errors->showError(QString::fromStdString(NotAColorMessage(utf8)));
        return;
    }
    emit colorPasted(*c);
}

void TCodeEdit::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Paste)) {
        if (services_.clipboard) pasteText(services_.clipboard->text());
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TCodeEdit::contextMenuEvent(QContextMenuEvent* e) {
    // Our own menu rather than Qt's standard one, whose "Paste" cannot be
    // told from its other items and would cut a paste to six characters.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText();
    auto item = [&](const QString& text, bool enabled, auto&& slot) {
        QAction* a = menu->addAction(text);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, slot);
    };
    item(QStringLiteral("撤销(&U)"), editable && isUndoAvailable(), [this] { undo(); });
    item(QStringLiteral("重做(&R)"), editable && isRedoAvailable(), [this] { redo(); });
    menu->addSeparator();
    item(QStringLiteral("剪切(&T)"), editable && selected, [this] { cut(); });
    item(QStringLiteral("复制(&C)"), selected, [this] { copy(); });
    const QString clip = services_.clipboard ? services_.clipboard->text() : QString();
    item(QStringLiteral("粘贴(&P)"), editable && !clip.trimmed().isEmpty(), [this] {
        if (services_.clipboard) pasteText(services_.clipboard->text());
    });
    item(QStringLiteral("删除(&D)"), editable && selected, [this] { del(); });
    menu->addSeparator();
    item(QStringLiteral("全选(&A)"), !text().isEmpty(), [this] { selectAll(); });
    menu->popup(e->globalPos());
}

void TCodeEdit::mouseReleaseEvent(QMouseEvent* e) {
    // X11 pastes the primary selection on a middle click.
    if (e->button() == Qt::MiddleButton && services_.clipboard && !isReadOnly()) {
        const QString selection = services_.clipboard->selectionText();
        if (!selection.isEmpty()) {
            deselect();
            pasteText(selection);
            e->accept();
            return;
        }
    }
    QLineEdit::mouseReleaseEvent(e);
}

void TCodeEdit::dropEvent(QDropEvent* e) {
    // Text moved within the edit stays the edit's own business.
    if (e->source() != this && e->mimeData()->hasText()) {
        e->acceptProposedAction();
        pasteText(e->mimeData()->text());
        return;
    }
    QLineEdit::dropEvent(e);
}

} // namespace tp
