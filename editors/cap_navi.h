// TCaptionDBNavi: a record-navigator bar whose ten buttons carry a caption
// beside their glyph. Glyphs and background can be replaced by bitmaps, a
// frame can be drawn around the bar, and the caption under the pointer
// changes colour. The buttons act on the bound target: a record navigator
// over a table model (RecordNavigator).
#pragma once

#include "editors/navi_types.h"

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

namespace zelvara {

class NaviButton;
class TCaptionDBNavi;

// What the bar acts on: the state its buttons follow and the ten actions.
class NaviTarget : public QObject {
    Q_OBJECT
public:
    struct State {
        bool active = false;  // open
        bool bof = true;      // on the first record (or none)
        bool eof = true;      // on the last record (or none)
        bool empty = true;
        bool canModify = false;
        bool editing = false;  // the current record has pending edits
    };
    using QObject::QObject;
    virtual State NaviState() const = 0;
    virtual void Act(TNavigateBtn kind) = 0;

signals:
    // Any of the states may have changed.
    void stateChanged();
};

// The keyboard modifiers and mouse buttons held during a pointer move.
struct TShiftState {
    Qt::KeyboardModifiers keys;
    Qt::MouseButtons buttons;
};

// Pointer moved over the bar or one of its buttons: X and Y in the bar's
// coordinates, Button the kind of the button under the pointer.
using ENavMouseMove = std::function<void(TCaptionDBNavi* Sender, TShiftState Shift, int X, int Y, TNavigateBtn Button)>;

class TCaptionDBNavi : public QWidget {
    Q_OBJECT
public:
    explicit TCaptionDBNavi(QWidget* parent = nullptr);
    ~TCaptionDBNavi() override;

    // After the owner has set the properties: re-applies ShowGlyph, the
    // captions and the replacement glyphs, in that order.
    void Loaded();

    // Background colour of the bar (default: the button face colour).
    QColor Color() const { return color_; }
    void SetColor(const QColor& colour);
    // Caption font (inherited by default) and its colour, the normal caption colour.
    QFont Font() const { return font(); }
    void SetFont(const QFont& f);
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& colour);
    // Tiled over the whole bar when the bar is flat.
    QPixmap BackBitmap() const { return backBitmap_; }
    void SetBackBitmap(const QPixmap& bitmap);
    // Replacement glyph of one kind of button; an empty bitmap means the stored one.
    QPixmap Bitmap(TNavigateBtn kind) const { return bitmaps_[kind]; }
    void SetBitmap(TNavigateBtn kind, const QPixmap& bitmap);
    QPixmap BMPFirst() const { return Bitmap(nbFirst); }
    QPixmap BMPPrior() const { return Bitmap(nbPrior); }
    QPixmap BMPNext() const { return Bitmap(nbNext); }
    QPixmap BMPLast() const { return Bitmap(nbLast); }
    QPixmap BMPInsert() const { return Bitmap(nbInsert); }
    QPixmap BMPDelete() const { return Bitmap(nbDelete); }
    QPixmap BMPEdit() const { return Bitmap(nbEdit); }
    QPixmap BMPPost() const { return Bitmap(nbPost); }
    QPixmap BMPCancel() const { return Bitmap(nbCancel); }
    QPixmap BMPRefresh() const { return Bitmap(nbRefresh); }
    void SetBMPFirst(const QPixmap& b) { SetBitmap(nbFirst, b); }
    void SetBMPPrior(const QPixmap& b) { SetBitmap(nbPrior, b); }
    void SetBMPNext(const QPixmap& b) { SetBitmap(nbNext, b); }
    void SetBMPLast(const QPixmap& b) { SetBitmap(nbLast, b); }
    void SetBMPInsert(const QPixmap& b) { SetBitmap(nbInsert, b); }
    void SetBMPDelete(const QPixmap& b) { SetBitmap(nbDelete, b); }
    void SetBMPEdit(const QPixmap& b) { SetBitmap(nbEdit, b); }
    void SetBMPPost(const QPixmap& b) { SetBitmap(nbPost, b); }
    void SetBMPCancel(const QPixmap& b) { SetBitmap(nbCancel, b); }
    void SetBMPRefresh(const QPixmap& b) { SetBitmap(nbRefresh, b); }
    // Caption overrides, one line per button in button order; an empty line
    // keeps the default caption, lines after the tenth are ignored.
    QStringList Captions() const { return captions_; }
    void SetCaptions(const QStringList& lines);
    TCaptionLayout CaptionLayout() const { return captionLayout_; }
    void SetCaptionLayout(TCaptionLayout layout);
    TNaviBorders NaviBorders() const { return naviBorders_; }
    void SetNaviBorders(TNaviBorders borders);
    QColor OnMoveColor() const { return onMoveColor_; }
    void SetOnMoveColor(const QColor& colour);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool on);
    bool ShowGlyph() const { return showGlyph_; }
    void SetShowGlyph(bool on);
    const ENavMouseMove& OnMouseMove() const { return onMouseMove_; }
    void SetOnMouseMove(ENavMouseMove handler) { onMouseMove_ = std::move(handler); }

    // Of the underlying navigator: flat buttons (the back bitmap and the
    // borders are painted only then), the question before a delete, and the
    // bound target.
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    bool ConfirmDelete() const { return confirmDelete_; }
    void SetConfirmDelete(bool on) { confirmDelete_ = on; }
    NaviTarget* Target() const { return target_; }
    void SetTarget(NaviTarget* target);

    // Does what the button of that kind does on the target.
    void BtnClick(TNavigateBtn kind);
    NaviButton* Button(TNavigateBtn kind) const { return buttons_[kind]; }

signals:
    // After a button's action.
    void clicked(TNavigateBtn kind);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyCaptions();
    void ApplyGlyphs();
    void LayoutButtons();
    void UpdateButtons();
    void PaintBorders(QPainter& p) const;
    void RaiseMouseMove(const QMouseEvent& event, QPoint at, TNavigateBtn kind);

    std::array<NaviButton*, kNaviButtonCount> buttons_{};
    std::array<QPixmap, kNaviButtonCount> bitmaps_;
    QColor color_;
    QColor fontColor_;
    QPixmap backBitmap_;
    QStringList captions_;
    TCaptionLayout captionLayout_ = cbBottom;
    TNaviBorders naviBorders_ = nbFrame;
    QColor onMoveColor_;
    bool showCaption_ = true;
    bool showGlyph_ = true;
    ENavMouseMove onMouseMove_;
    bool flat_ = false;
    bool confirmDelete_ = true;
    QPointer<NaviTarget> target_;
};

}  // namespace zelvara
