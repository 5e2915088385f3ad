#include "colour/TrackEdit.h"

#include "base/Convert.h"
#include "colour/TrackEditRules.h"
#include "platform/Beeper.h"
#include "platform/ErrorReporter.h"
#include "platform/Services.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QWheelEvent>

namespace tp {

namespace te = trackedit;

// ---- popup -----------------------------------------------------------------

TbsSkinPopupTrackBar::TbsSkinPopupTrackBar(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint) {
    setWindowFlag(Qt::NoDropShadowWindowHint, false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("popupTrackBar"));
}

void TbsSkinPopupTrackBar::SetValue(int v) {
    v = te::Clamp(v, min_, max_);
    if (v == value_) return;
    value_ = v;
    update();
    emit changed();
}

QRect TbsSkinPopupTrackBar::thumbRect() const {
    const te::TrackGeometry g = te::Geometry(width(), height());
    return QRect(te::ThumbLeft(g, value_, min_, max_), g.track.top, g.thumbWidth, g.thumbHeight);
}

void TbsSkinPopupTrackBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xf9, 0xfb, 0xfd));
    p.setPen(QColor(0x9f, 0xb3, 0xc8));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const te::TrackGeometry g = te::Geometry(width(), height());
    const int midY = g.track.top + g.track.height / 2;
    p.fillRect(QRect(g.track.left + 2, midY - 1, g.track.width - 4, 3), QColor(0xc3, 0xd1, 0xdf));
    const QRect thumb = thumbRect();
    p.setPen(QColor(0x4f, 0x86, 0xbd));
    p.setBrush(QColor(0xd5, 0xe3, 0xf1));
    p.drawRoundedRect(thumb.adjusted(0, 0, -1, -1), 2, 2);
}

void TbsSkinPopupTrackBar::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const QRect t = thumbRect();
    // Right and bottom edges count as inside the thumb.
    if (pos.x() >= t.left() && pos.x() <= t.left() + t.width() && pos.y() >= t.top() &&
        pos.y() <= t.top() + t.height()) {
        dragging_ = true;
        dragStartX_ = pos.x();
        dragStartPos_ = t.left() - te::Geometry(width(), height()).track.left;
    }
}

void TbsSkinPopupTrackBar::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) return;
    const te::TrackGeometry g = te::Geometry(width(), height());
    const int p = dragStartPos_ + (e->position().toPoint().x() - dragStartX_);
    SetValue(te::ValueAt(p, g.travel, min_, max_));
}

void TbsSkinPopupTrackBar::hideEvent(QHideEvent* e) {
    // A popup taken away in the middle of a drag (Tab, Esc, a click
    // elsewhere) never sees the release; the next press must not continue
    // the old drag.
    dragging_ = false;
    QWidget::hideEvent(e);
}

void TbsSkinPopupTrackBar::wheelEvent(QWheelEvent* e) {
    const int dy = e->angleDelta().y();
    if (dy != 0) emit wheelTurned(dy);
    e->accept();
}

void TbsSkinPopupTrackBar::mouseReleaseEvent(QMouseEvent* e) {
    if (dragging_) {
        dragging_ = false;
        return;
    }
    if (jumpWhenClick_) {
        const te::TrackGeometry g = te::Geometry(width(), height());
        const int p = e->position().toPoint().x() - g.thumbWidth / 2 - g.track.left;
        SetValue(te::ValueAt(p, g.travel, min_, max_));
    }
}

// ---- edit ------------------------------------------------------------------

TbsSkinTrackEdit::TbsSkinTrackEdit(const Services& services, QWidget* parent)
    : QLineEdit(parent), beeper_(*services.beeper), errors_(*services.errors) {
    resize(120, 20);
    popup_ = new TbsSkinPopupTrackBar(this);
    popup_->hide();
    connect(popup_, &TbsSkinPopupTrackBar::changed, this, &TbsSkinTrackEdit::popupChanged);
    connect(popup_, &TbsSkinPopupTrackBar::wheelTurned, this, &TbsSkinTrackEdit::wheelTurned);

    button_ = new QToolButton(this);
    button_->setObjectName(QStringLiteral("trackEditButton"));
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);
    button_->setArrowType(Qt::DownArrow);
    button_->setAutoRaise(true);
    connect(button_, &QToolButton::clicked, this, [this] {
        setFocus(Qt::MouseFocusReason);
        togglePopup();
    });

    setText(QStringLiteral("0"));
    connect(this, &QLineEdit::textChanged, this, &TbsSkinTrackEdit::textChangedHandler);
}

TbsSkinTrackEdit::~TbsSkinTrackEdit() {
    qApp->removeEventFilter(this);
}

void TbsSkinTrackEdit::resizeEvent(QResizeEvent* e) {
    QLineEdit::resizeEvent(e);
    const int bw = qMax(12, height() - 6);
    button_->setGeometry(width() - bw - 2, 2, bw, height() - 4);
    setTextMargins(0, 0, bw, 0);
}

void TbsSkinTrackEdit::writeOwnText(int v) {
    SettingText = true;
    setText(QString::number(v));
    SettingText = false;
}

void TbsSkinTrackEdit::SetValue(int v) {
    value_ = te::Clamp(v, min_, max_);
    writeOwnText(value_);
    if (popupShown()) popup_->SetValue(value_);
}

void TbsSkinTrackEdit::textChangedHandler() {
    // A conversion failure is reported like any failed handler; the value
    // stays and no change event is raised for this change.
    Guarded(errors_, [this] { handleChange(); });
}

void TbsSkinTrackEdit::handleChange() {
    if (CorrectingText) return;
    const std::string t = text().toStdString();
    if (!SettingText && te::IsValidText(t)) {
        const int32_t tmp = StrToInt(t);
        const int32_t clamped = te::Clamp(tmp, min_, max_);
        if (value_ != clamped) value_ = clamped;
        if (te::NeedsCorrection(tmp, clamped, min_)) {
            CorrectingText = true;
            setText(QString::number(clamped));
            CorrectingText = false;
        }
    }
    emit changed();
}

void TbsSkinTrackEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && popupShown()) {
        // Esc takes the popup away and nothing else: in a dialog it must not
        // also reach the dialog and cancel it.
        hidePopup();
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) {
        QLineEdit::keyPressEvent(e);
        step(e->key() == Qt::Key_Up ? Increment : -Increment);
        return;
    }
    QString typed = e->text();
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) typed = QStringLiteral("\r");
    if (!typed.isEmpty() && !(e->modifiers() & Qt::ControlModifier)) {
        const char32_t ch = typed.toUcs4().value(0);
        if (ch == 27) {
            QLineEdit::keyPressEvent(e);
            return;
        }
        if (te::IsTypedCharacter(ch) &&
            te::CheckTypedChar(ch, text().toStdString()) == te::CharVerdict::Refuse) {
            beeper_.beep();
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void TbsSkinTrackEdit::step(int delta) {
    if (popupShown())
        popup_->SetValue(popup_->Value() + delta);
    else
        SetValue(value_ + delta);
}

void TbsSkinTrackEdit::wheelEvent(QWheelEvent* e) {
    // Whichever edit the pointer is over takes the wheel, focused or not.
    const int dy = e->angleDelta().y();
    if (dy != 0) wheelTurned(dy);
    e->accept();
}

void TbsSkinTrackEdit::wheelTurned(int angleDeltaY) {
    // Turning the wheel away from the user lowers the value.
    step(angleDeltaY > 0 ? -Increment : Increment);
}

void TbsSkinTrackEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    hidePopup();
    writeOwnText(value_);
}

bool TbsSkinTrackEdit::popupShown() const {
    return popup_->isVisible();
}

void TbsSkinTrackEdit::showPopup() {
    const int w = trackBarWidth_ > 0 ? trackBarWidth_ : width();
    const int h = height();
    popup_->resize(w, h);
    popup_->SetMinValue(min_);
    popup_->SetMaxValue(max_);
    {
        // Copying the value is not a change the edit should hear back.
        const QSignalBlocker block(popup_);
        popup_->SetValue(value_);
    }
    const int localX = te::PopupAnchorX(popupKind_ == TbsTrackBarPopupKind::tbpLeft, 0, width(), w);
    const QPoint anchor = mapToGlobal(QPoint(localX, 0));
    QScreen* screen = this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
    const te::Point at = te::PopupPosition({anchor.x(), anchor.y()}, h, w, h,
                                           {area.x(), area.y(), area.width(), area.height()});
    popup_->move(at.x, at.y);
    popup_->show();
    popup_->raise();
    // A press anywhere else in this window closes the popup.
    qApp->installEventFilter(this);
}

void TbsSkinTrackEdit::hidePopup() {
    if (!popup_->isVisible()) return;
    popup_->hide();
    qApp->removeEventFilter(this);
}

void TbsSkinTrackEdit::togglePopup() {
    if (popupShown())
        hidePopup();
    else
        showPopup();
}

void TbsSkinTrackEdit::popupChanged() {
    if (popup_->Value() != value_) SetValue(popup_->Value());
}

bool TbsSkinTrackEdit::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick) &&
        watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        const bool onPopup = w == popup_ || popup_->isAncestorOf(w);
        const bool onButton = w == button_;
        if (!onPopup && !onButton && w->window() == window()) hidePopup();
    }
    return false;
}

} // namespace tp
