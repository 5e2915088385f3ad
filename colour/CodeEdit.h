#pragma once
// The edit that holds a six-digit colour code, in the main window and in the
// colour dialog. Typing is the owner's business (key filter, six characters
// at most); what is pasted is judged here, whole: a cut-off paste must never
// half-apply a colour.
#include "colour/ColorTypes.h"
#include "platform/Services.h"

#include <QLineEdit>

namespace tp {

class TCodeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCodeEdit(const Services& services, QWidget* parent = nullptr);

    // Takes a text as pasted. Hexadecimal digits that fit go in as if typed
    // (pasting "AB" over a selected pair). Anything else is read as one
    // colour (#ABCDEF, rgb(...), a CSS name ...): the colour is announced by
    // colorPasted, or the paste is refused in the error box and nothing
    // changes. An empty paste does nothing.
    void pasteText(const QString& text);

signals:
    void colorPasted(tp::TRGB color);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    Services services_;
};

} // namespace tp
