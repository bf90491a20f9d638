#include "editors/navi_button.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace zelvara {
namespace {

constexpr int kSpacing = 2;  // between glyph and caption

}  // namespace

NaviButton::NaviButton(TNavigateBtn kind, QWidget* parent) : QAbstractButton(parent), kind_(kind) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    captionColor_ = palette().color(QPalette::ButtonText);
}

void NaviButton::SetGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    updateGeometry();
    update();
}

void NaviButton::SetLayout(int layout) {
    if (layout_ == layout) return;
    layout_ = layout;
    update();
}

void NaviButton::SetCaptionColor(const QColor& colour) {
    if (captionColor_ == colour) return;
    captionColor_ = colour;
    update();
}

void NaviButton::SetFlat(bool flat) {
    if (flat_ == flat) return;
    flat_ = flat;
    update();
}

QSize NaviButton::sizeHint() const {
    const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
    return QSize(textSize.width() + glyph_.width() + 8, textSize.height() + glyph_.height() + 8);
}

bool NaviButton::event(QEvent* e) {
    if (e->type() == QEvent::HoverEnter || e->type() == QEvent::HoverLeave) update();
    return QAbstractButton::event(e);
}

void NaviButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton face;
    face.initFrom(this);
    const bool down = isDown() || isChecked();
    if (down)
        face.state |= QStyle::State_Sunken;
    else
        face.state |= QStyle::State_Raised;
    if (!flat_ || (isEnabled() && (underMouse() || down)))
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &face, &p, this);

    // Glyph and caption as one block, centred; pressed buttons shift by a pixel.
    const QString caption = text();
    const QSize textSize = caption.isEmpty() ? QSize() : fontMetrics().size(Qt::TextShowMnemonic, caption);
    const QSize glyphSize = glyph_.isNull() ? QSize() : glyph_.deviceIndependentSize().toSize();
    const bool sideBySide = layout_ == cbLeft || layout_ == cbRight;
    const int gap = textSize.isEmpty() || glyphSize.isEmpty() ? 0 : kSpacing;
    const QSize block =
        sideBySide ? QSize(glyphSize.width() + gap + textSize.width(), qMax(glyphSize.height(), textSize.height()))
                   : QSize(qMax(glyphSize.width(), textSize.width()), glyphSize.height() + gap + textSize.height());
    QPoint origin((width() - block.width()) / 2, (height() - block.height()) / 2);
    if (down) origin += QPoint(1, 1);

    QPoint glyphAt, textAt;
    switch (layout_) {
        case cbLeft:
            glyphAt = origin + QPoint(0, (block.height() - glyphSize.height()) / 2);
            textAt = origin + QPoint(glyphSize.width() + gap, (block.height() - textSize.height()) / 2);
            break;
        case cbRight:
            textAt = origin + QPoint(0, (block.height() - textSize.height()) / 2);
            glyphAt = origin + QPoint(textSize.width() + gap, (block.height() - glyphSize.height()) / 2);
            break;
        case cbTop:
            glyphAt = origin + QPoint((block.width() - glyphSize.width()) / 2, 0);
            textAt = origin + QPoint((block.width() - textSize.width()) / 2, glyphSize.height() + gap);
            break;
        default:  // cbBottom
            textAt = origin + QPoint((block.width() - textSize.width()) / 2, 0);
            glyphAt = origin + QPoint((block.width() - glyphSize.width()) / 2, textSize.height() + gap);
            break;
    }
    if (!glyph_.isNull()) {
        const QIcon icon(glyph_);
        p.drawPixmap(glyphAt,
                     icon.pixmap(glyphSize, devicePixelRatio(), isEnabled() ? QIcon::Normal : QIcon::Disabled));
    }
    if (!caption.isEmpty()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Active, QPalette::ButtonText, captionColor_);
        pal.setColor(QPalette::Inactive, QPalette::ButtonText, captionColor_);
        style()->drawItemText(&p, QRect(textAt, textSize), Qt::AlignCenter | Qt::TextShowMnemonic, pal, isEnabled(),
                              caption, QPalette::ButtonText);
    }
}

}  // namespace zelvara
