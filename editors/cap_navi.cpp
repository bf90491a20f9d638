#include "editors/cap_navi.h"

#include "editors/navi_button.h"
#include "editors/navi_glyphs.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

namespace zelvara {
namespace {

bool SamePixmap(const QPixmap& a, const QPixmap& b) { return a.cacheKey() == b.cacheKey(); }

}  // namespace

TCaptionDBNavi::TCaptionDBNavi(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    color_ = palette().color(QPalette::Button);
    fontColor_ = palette().color(QPalette::ButtonText);
    for (int k = 0; k < kNaviButtonCount; ++k) {
        auto* b = new NaviButton(TNavigateBtn(k), this);
        b->SetCaptionColor(fontColor_);
        b->installEventFilter(this);
        connect(b, &QAbstractButton::clicked, this, [this, k] { BtnClick(TNavigateBtn(k)); });
        buttons_[k] = b;
    }
    resize(451, 40);
    LayoutButtons();
    naviBorders_ = nbFrame;
    showGlyph_ = true;
    showCaption_ = true;
    onMoveColor_ = QColor(0, 0, 255);
    ApplyGlyphs();
    ApplyCaptions();
    captionLayout_ = cbBottom;
    for (NaviButton* b : buttons_) b->SetLayout(captionLayout_);
    UpdateButtons();
}

TCaptionDBNavi::~TCaptionDBNavi() = default;

void TCaptionDBNavi::Loaded() {
    SetShowGlyph(showGlyph_);
    ApplyCaptions();
    ApplyGlyphs();
}

// --- properties -------------------------------------------------------------

void TCaptionDBNavi::SetColor(const QColor& colour) {
    if (color_ == colour) return;
    color_ = colour;
    update();
}

void TCaptionDBNavi::SetFont(const QFont& f) {
    if (font() == f) return;
    setFont(f);
    update();
}

void TCaptionDBNavi::SetFontColor(const QColor& colour) {
    if (fontColor_ == colour) return;
    fontColor_ = colour;
    for (NaviButton* b : buttons_) b->SetCaptionColor(colour);
    update();
}

void TCaptionDBNavi::SetBackBitmap(const QPixmap& bitmap) {
    if (SamePixmap(backBitmap_, bitmap)) return;
    backBitmap_ = bitmap;
    if (!backBitmap_.isNull()) color_ = palette().color(QPalette::Button);
    update();
}

void TCaptionDBNavi::SetBitmap(TNavigateBtn kind, const QPixmap& bitmap) {
    if (SamePixmap(bitmaps_[kind], bitmap)) return;
    bitmaps_[kind] = bitmap;
    if (showGlyph_) buttons_[kind]->SetGlyph(bitmap.height() > 0 ? bitmap : StoredGlyph(kind));
    update();
}

void TCaptionDBNavi::SetCaptions(const QStringList& lines) {
    if (captions_ == lines) return;
    captions_ = lines;
    ApplyCaptions();
    update();
}

void TCaptionDBNavi::SetCaptionLayout(TCaptionLayout layout) {
    if (captionLayout_ == layout) return;
    captionLayout_ = layout;
    for (NaviButton* b : buttons_) b->SetLayout(layout);
    update();
}

void TCaptionDBNavi::SetNaviBorders(TNaviBorders borders) {
    if (naviBorders_ == borders) return;
    naviBorders_ = borders;
    update();
}

void TCaptionDBNavi::SetOnMoveColor(const QColor& colour) {
    if (onMoveColor_ == colour) return;
    onMoveColor_ = colour;
    update();
}

void TCaptionDBNavi::SetShowCaption(bool on) {
    showCaption_ = on;
    ApplyCaptions();
    update();
}

void TCaptionDBNavi::SetShowGlyph(bool on) {
    showGlyph_ = on;
    ApplyGlyphs();
    update();
}

void TCaptionDBNavi::SetFlat(bool flat) {
    if (flat_ == flat) return;
    flat_ = flat;
    for (NaviButton* b : buttons_) b->SetFlat(flat);
    update();
}

void TCaptionDBNavi::SetTarget(NaviTarget* target) {
    if (target_ == target) return;
    if (target_) disconnect(target_, nullptr, this, nullptr);
    target_ = target;
    if (target_) connect(target_, &NaviTarget::stateChanged, this, &TCaptionDBNavi::UpdateButtons);
    UpdateButtons();
}

// --- applying captions and glyphs -------------------------------------------

void TCaptionDBNavi::ApplyCaptions() {
    for (int k = 0; k < kNaviButtonCount; ++k) {
        const auto kind = TNavigateBtn(k);
        buttons_[k]->setText(showCaption_ ? DefaultCaption(kind) : QString());
        buttons_[k]->setObjectName(ButtonName(kind));
    }
    if (!showCaption_) return;
    for (int k = 0; k < kNaviButtonCount && k < captions_.size(); ++k) {
        if (!captions_[k].isEmpty()) buttons_[k]->setText(captions_[k]);
    }
}

void TCaptionDBNavi::ApplyGlyphs() {
    for (int k = 0; k < kNaviButtonCount; ++k)
        buttons_[k]->SetGlyph(showGlyph_ ? StoredGlyph(TNavigateBtn(k)) : QPixmap());
    if (!showGlyph_) return;
    for (int k = 0; k < kNaviButtonCount; ++k) {
        if (bitmaps_[k].height() > 0) buttons_[k]->SetGlyph(bitmaps_[k]);
    }
}

// --- buttons and the target --------------------------------------------------

void TCaptionDBNavi::LayoutButtons() {
    // Evenly over the width; the pixels left over go one each to the first buttons.
    const int each = width() / kNaviButtonCount;
    int extra = width() % kNaviButtonCount;
    int x = 0;
    for (NaviButton* b : buttons_) {
        const int w = each + (extra > 0 ? 1 : 0);
        if (extra > 0) --extra;
        b->setGeometry(x, 0, w, height());
        x += w;
    }
}

void TCaptionDBNavi::UpdateButtons() {
    const NaviTarget::State s = target_ ? target_->NaviState() : NaviTarget::State{};
    const bool up = s.active && !s.bof;
    const bool down = s.active && !s.eof;
    const bool canModify = s.active && s.canModify;
    const bool editing = s.active && s.editing;
    buttons_[nbFirst]->setEnabled(up);
    buttons_[nbPrior]->setEnabled(up);
    buttons_[nbNext]->setEnabled(down);
    buttons_[nbLast]->setEnabled(down);
    buttons_[nbInsert]->setEnabled(canModify);
    buttons_[nbDelete]->setEnabled(canModify && !s.empty);
    buttons_[nbEdit]->setEnabled(canModify && !editing);
    buttons_[nbPost]->setEnabled(canModify && editing);
    buttons_[nbCancel]->setEnabled(canModify && editing);
    buttons_[nbRefresh]->setEnabled(canModify);
}

void TCaptionDBNavi::BtnClick(TNavigateBtn kind) {
    NaviTarget* t = target_;
    if (!t || !t->NaviState().active) return;
    if (kind != nbDelete || !confirmDelete_ ||
        QMessageBox::question(window(), window()->windowTitle(), QStringLiteral("レコードを削除しますか?"),
                              QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok)
        t->Act(kind);
    UpdateButtons();
    emit clicked(kind);
}

// --- painting -----------------------------------------------------------------

void TCaptionDBNavi::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutButtons();
}

void TCaptionDBNavi::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), color_);
    if (!flat_) return;
    if (!backBitmap_.isNull()) {
        const QSize tile = backBitmap_.deviceIndependentSize().toSize();
        for (int column = 1; column <= width() / tile.width() + 1; ++column)
            for (int row = 1; row <= height() / tile.height() + 1; ++row)
                p.drawPixmap((column - 1) * tile.width(), (row - 1) * tile.height(), backBitmap_);
    }
    PaintBorders(p);
}

void TCaptionDBNavi::PaintBorders(QPainter& p) const {
    // One-pixel lines on the given coordinates; an etched look from the
    // shadow and highlight colours of the buttons.
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const int w = width();
    const int h = height();
    auto line = [&p](const QColor& c, int x1, int y1, int x2, int y2) {
        p.setPen(QPen(c, 0));
        p.drawLine(x1, y1, x2, y2);
    };
    switch (naviBorders_) {
        case nbNone: break;
        case nbFrame: {
            // Left and top in highlight, right and bottom in shadow on (1, 1, w−1, h−1) …
            line(light, 1, 1, 1, h - 1);
            line(light, 1, 1, w - 1, 1);
            line(shadow, w - 1, 1, w - 1, h - 1);
            line(shadow, 1, h - 1, w - 1, h - 1);
            // … then all of (0, 0, w−2, h−2) in shadow.
            line(shadow, 0, 0, w - 2, 0);
            line(shadow, 0, 0, 0, h - 2);
            line(shadow, w - 2, 0, w - 2, h - 2);
            line(shadow, 0, h - 2, w - 2, h - 2);
            break;
        }
        case nbTopBottom:
            line(shadow, 0, 0, w - 1, 0);
            line(light, 0, 1, w - 1, 1);
            line(shadow, 0, h - 2, w - 1, h - 2);
            line(light, 0, h - 1, w - 1, h - 1);
            break;
        case nbLeftRight:
            line(shadow, 0, 0, 0, h - 1);
            line(light, 1, 0, 1, h - 1);
            line(shadow, w - 2, 0, w - 2, h - 1);
            line(light, w - 1, 0, w - 1, h - 1);
            break;
    }
}

// --- the pointer --------------------------------------------------------------

void TCaptionDBNavi::RaiseMouseMove(const QMouseEvent& event, QPoint at, TNavigateBtn kind) {
    if (onMouseMove_) onMouseMove_(this, TShiftState{event.modifiers(), event.buttons()}, at.x(), at.y(), kind);
}

bool TCaptionDBNavi::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        auto* hovered = qobject_cast<NaviButton*>(watched);
        if (hovered && hovered->parentWidget() == this) {
            const auto& move = static_cast<const QMouseEvent&>(*event);
            const QPoint at = hovered->mapToParent(move.position().toPoint());
            for (NaviButton* b : buttons_) b->SetCaptionColor(b == hovered ? onMoveColor_ : fontColor_);
            RaiseMouseMove(move, at, hovered->Kind());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TCaptionDBNavi::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    for (NaviButton* b : buttons_) {
        if (!b->isHidden() && b->geometry().contains(at)) {
            RaiseMouseMove(*event, at, b->Kind());
            break;
        }
    }
    QWidget::mouseMoveEvent(event);
}

void TCaptionDBNavi::leaveEvent(QEvent* event) {
    for (NaviButton* b : buttons_) b->SetCaptionColor(fontColor_);
    QWidget::leaveEvent(event);
}

}  // namespace zelvara
