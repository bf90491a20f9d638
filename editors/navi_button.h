// One button of the captioned navigator: a speed button that shows a glyph and
// a caption placed against each other, with its own caption colour. A flat
// button paints no face until the pointer is over it.
#pragma once

#include "editors/navi_types.h"

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace zelvara {

class NaviButton : public QAbstractButton {
    Q_OBJECT
public:
    NaviButton(TNavigateBtn kind, QWidget* parent);

    TNavigateBtn Kind() const { return kind_; }

    QPixmap Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap& glyph);
    // 0 glyph left of the caption, 1 right, 2 above, 3 below.
    int Layout() const { return layout_; }
    void SetLayout(int layout);
    QColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(const QColor& colour);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* e) override;

private:
    TNavigateBtn kind_;
    QPixmap glyph_;
    int layout_ = cbLeft;
    QColor captionColor_;
    bool flat_ = false;
};

}  // namespace zelvara
