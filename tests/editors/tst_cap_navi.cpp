// The captioned navigator: captions and their overrides, glyphs and their
// replacements, the back bitmap, the border styles, hover colouring, the
// pointer event, the button layout and the actions on the bound target.
#include "editors/cap_navi.h"
#include "editors/navi_button.h"
#include "editors/navi_glyphs.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

using namespace zelvara;

namespace {

// A target that records the actions asked of it and reports the state a test sets.
class FakeTarget final : public NaviTarget {
public:
    State state{true, false, false, false, true, false};
    QStringList calls;

    void Changed() { emit stateChanged(); }
    State NaviState() const override { return state; }
    void Act(TNavigateBtn kind) override { calls << ButtonName(kind); }
};

const QStringList kDefaults = {QStringLiteral("&First"),  QStringLiteral("&Prior"),  QStringLiteral("&Next"),
                               QStringLiteral("&Last"),   QStringLiteral("&Insert"), QStringLiteral("&Delete"),
                               QStringLiteral("&Edit"),   QStringLiteral("&Post"),   QStringLiteral("&Cancel"),
                               QStringLiteral("&Refresh")};

QStringList CaptionsOf(const TCaptionDBNavi& bar) {
    QStringList out;
    for (int k = 0; k < kNaviButtonCount; ++k) out << bar.Button(TNavigateBtn(k))->text();
    return out;
}

QImage Image(const QPixmap& p) { return p.toImage().convertToFormat(QImage::Format_ARGB32); }

QPixmap Solid(QSize size, const QColor& c) {
    QPixmap p(size);
    p.fill(c);
    return p;
}

// A picture whose every pixel differs from its neighbours', so that a tile
// drawn from the wrong place shows.
QPixmap Pattern(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, QColor((x * 7) % 256, (y * 13) % 256, (x + y) % 256));
    return QPixmap::fromImage(image);
}

// A flat bar painting nothing but its own background and borders, with
// colours a test can tell apart.
struct PlainBar {
    PlainBar() {
        QPalette pal = bar.palette();
        pal.setColor(QPalette::Dark, QColor(10, 20, 30));
        pal.setColor(QPalette::Light, QColor(240, 230, 220));
        bar.setPalette(pal);
        bar.SetFlat(true);
        bar.SetShowCaption(false);
        bar.SetShowGlyph(false);
        bar.SetColor(QColor(0, 128, 0));
    }
    QImage Grab() { return bar.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    TCaptionDBNavi bar;
};

void MoveOver(QWidget* target, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     keys);
    QCoreApplication::sendEvent(target, &move);
}

}  // namespace

class TestCapNavi : public QObject {
    Q_OBJECT
private slots:
    void construction() {
        static_assert(cbLeft == 0 && cbRight == 1 && cbTop == 2 && cbBottom == 3);
        static_assert(nbNone == 0 && nbFrame == 1 && nbTopBottom == 2 && nbLeftRight == 3);
        static_assert(nbFirst == 0 && nbLast == 3 && nbPost == 7 && nbRefresh == 9);
        TCaptionDBNavi bar;
        QCOMPARE(bar.size(), QSize(451, 40));
        QCOMPARE(bar.Color(), bar.palette().color(QPalette::Button));
        QCOMPARE(bar.OnMoveColor(), QColor(0, 0, 255));
        QCOMPARE(bar.CaptionLayout(), cbBottom);
        QCOMPARE(bar.NaviBorders(), nbFrame);
        QVERIFY(bar.ShowCaption() && bar.ShowGlyph());
        QVERIFY(bar.Captions().isEmpty() && bar.BackBitmap().isNull() && !bar.OnMouseMove());
        QCOMPARE(CaptionsOf(bar), kDefaults);
        for (int k = 0; k < kNaviButtonCount; ++k) {
            const auto kind = TNavigateBtn(k);
            const NaviButton* b = bar.Button(kind);
            QVERIFY(bar.Bitmap(kind).isNull());
            QCOMPARE(b->objectName(), kDefaults[k].mid(1));
            QCOMPARE(b->Layout(), int(cbBottom));
            QCOMPARE(b->CaptionColor(), bar.FontColor());
            QVERIFY2(!b->Glyph().isNull(), qPrintable(b->objectName()));
            QCOMPARE(Image(b->Glyph()), Image(StoredGlyph(kind)));
        }
        // Without a target nothing can be done.
        for (int k = 0; k < kNaviButtonCount; ++k) QVERIFY(!bar.Button(TNavigateBtn(k))->isEnabled());
    }

    void storedGlyphsIgnoreCase() {
        const QStringList words = {"FIRST",  "PRIOR", "NEXT", "LAST",   "INSERT",
                                   "DELETE", "EDIT",  "POST", "CANCEL", "REFRESH"};
        QSet<qint64> distinct;
        for (int k = 0; k < kNaviButtonCount; ++k) {
            const QPixmap upper = FindStoredGlyph(QStringLiteral("DB_") + words[k]);
            QVERIFY2(!upper.isNull(), qPrintable(words[k]));
            QCOMPARE(Image(FindStoredGlyph(QStringLiteral("db_") + words[k].toLower())), Image(upper));
            QCOMPARE(Image(FindStoredGlyph(QStringLiteral("Db_") + words[k].left(1) + words[k].mid(1).toLower())),
                     Image(upper));
            distinct.insert(qHashBits(Image(upper).constBits(), Image(upper).sizeInBytes()));
        }
        QCOMPARE(distinct.size(), kNaviButtonCount);
        QVERIFY(FindStoredGlyph(QStringLiteral("db_nothing")).isNull());
    }

    void captionOverrides_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("expected");
        QStringList first3 = kDefaults;
        first3[0] = "最初へ";
        first3[1] = "前へ";
        first3[2] = "次へ";
        QTest::newRow("fewer than ten") << QStringList{"最初へ", "前へ", "次へ"} << first3;
        QStringList gap = kDefaults;
        gap[0] = "A";
        gap[2] = "C";
        QTest::newRow("empty line keeps the default") << QStringList{"A", "", "C"} << gap;
        QStringList all;
        for (int k = 0; k < 12; ++k) all << QStringLiteral("b%1").arg(k);
        QTest::newRow("lines after the tenth ignored") << all << all.mid(0, 10);
        QTest::newRow("no lines") << QStringList() << kDefaults;
    }
    void captionOverrides() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, expected);
        TCaptionDBNavi bar;
        bar.SetCaptions(lines);
        QCOMPARE(CaptionsOf(bar), expected);
        // Off: glyphs only; on again: defaults, then the overrides.
        bar.SetShowCaption(false);
        QCOMPARE(CaptionsOf(bar), QStringList(kNaviButtonCount, QString()));
        for (int k = 0; k < kNaviButtonCount; ++k) QVERIFY(!bar.Button(TNavigateBtn(k))->Glyph().isNull());
        bar.SetCaptions(lines + QStringList{"x"});
        QCOMPARE(CaptionsOf(bar), QStringList(kNaviButtonCount, QString()));
        bar.SetCaptions(lines);
        bar.SetShowCaption(true);
        QCOMPARE(CaptionsOf(bar), expected);
        // Names never follow the captions.
        QCOMPARE(bar.Button(nbFirst)->objectName(), QStringLiteral("First"));
    }

    void replacementGlyphs_data() {
        QTest::addColumn<int>("kind");
        for (int k = 0; k < kNaviButtonCount; ++k) QTest::newRow(qPrintable(kDefaults[k].mid(1))) << k;
    }
    void replacementGlyphs() {
        QFETCH(int, kind);
        const auto k = TNavigateBtn(kind);
        TCaptionDBNavi bar;
        const QPixmap red = Solid({12, 9}, Qt::red);
        bar.SetBitmap(k, red);
        QCOMPARE(Image(bar.Button(k)->Glyph()), Image(red));
        bar.SetBitmap(k, QPixmap());
        QCOMPARE(Image(bar.Button(k)->Glyph()), Image(StoredGlyph(k)));

        // Glyphs off: a replacement waits until they are on again.
        bar.SetShowGlyph(false);
        bar.SetBitmap(k, red);
        QVERIFY(bar.Button(k)->Glyph().isNull());
        bar.SetShowGlyph(true);
        QCOMPARE(Image(bar.Button(k)->Glyph()), Image(red));
        for (int other = 0; other < kNaviButtonCount; ++other)
            if (other != kind)
                QCOMPARE(Image(bar.Button(TNavigateBtn(other))->Glyph()), Image(StoredGlyph(TNavigateBtn(other))));
        bar.Loaded();
        QCOMPARE(Image(bar.Button(k)->Glyph()), Image(red));
    }

    void layoutGoesToEveryButton() {
        TCaptionDBNavi bar;
        for (TCaptionLayout layout : {cbLeft, cbRight, cbTop, cbBottom}) {
            bar.SetCaptionLayout(layout);
            for (int k = 0; k < kNaviButtonCount; ++k) QCOMPARE(bar.Button(TNavigateBtn(k))->Layout(), int(layout));
        }
    }

    void buttonsLaidOutEvenly_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("451") << 451;
        QTest::newRow("459") << 459;
        QTest::newRow("600") << 600;
    }
    void buttonsLaidOutEvenly() {
        QFETCH(int, width);
        TCaptionDBNavi bar;
        bar.resize(width, 40);
        bar.show();  // a hidden widget hears of its new size only when shown
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        int x = 0;
        for (int k = 0; k < kNaviButtonCount; ++k) {
            const QRect g = bar.Button(TNavigateBtn(k))->geometry();
            QCOMPARE(g.x(), x);
            QCOMPARE(g.height(), 40);
            QVERIFY2(g.width() == width / 10 || g.width() == width / 10 + 1, qPrintable(QString::number(g.width())));
            x += g.width();
        }
        QCOMPARE(x, width);
    }

    void backBitmapTiles_data() {
        QTest::addColumn<QSize>("tile");
        QTest::newRow("small tiles repeat") << QSize(7, 5);
        QTest::newRow("larger than the bar: one clipped tile") << QSize(600, 60);
    }
    void backBitmapTiles() {
        QFETCH(QSize, tile);
        PlainBar plain;
        plain.bar.SetNaviBorders(nbNone);
        const QImage pattern = Pattern(tile).toImage().convertToFormat(QImage::Format_RGB32);
        plain.bar.SetBackBitmap(QPixmap::fromImage(pattern));
        QCOMPARE(plain.bar.Color(), plain.bar.palette().color(QPalette::Button));
        const QImage shot = plain.Grab();
        for (const QPoint at :
             {QPoint(0, 0), QPoint(3, 2), QPoint(6, 4), QPoint(7, 5), QPoint(100, 17), QPoint(450, 39)})
            QCOMPARE(shot.pixelColor(at), pattern.pixelColor(at.x() % tile.width(), at.y() % tile.height()));

        // Only a flat bar shows it.
        plain.bar.SetFlat(false);
        plain.bar.SetShowCaption(false);
        const QImage raised = plain.bar.grab().toImage();
        QVERIFY(raised.pixelColor(1, 1) != pattern.pixelColor(1, 1) ||
                raised.pixelColor(200, 20) != pattern.pixelColor(200 % tile.width(), 20 % tile.height()));
    }

    void borders_data() {
        QTest::addColumn<int>("borders");
        QTest::addColumn<QString>("expected");  // at x = 0, 1, w−2, w−1 (y = 20), then y = 0, 1, h−2, h−1 (x = 200)
        // D shadow, L highlight, C the bar's colour
        QTest::newRow("nbNone") << int(nbNone) << QStringLiteral("CCCC CCCC");
        QTest::newRow("nbFrame") << int(nbFrame) << QStringLiteral("DLDD DLDD");
        QTest::newRow("nbTopBottom") << int(nbTopBottom) << QStringLiteral("CCCC DLDL");
        QTest::newRow("nbLeftRight") << int(nbLeftRight) << QStringLiteral("DLDL CCCC");
    }
    void borders() {
        QFETCH(int, borders);
        QFETCH(QString, expected);
        PlainBar plain;
        plain.bar.SetNaviBorders(TNaviBorders(borders));
        const int w = plain.bar.width(), h = plain.bar.height();
        const QList<QPoint> points = {{0, 20},  {1, 20},  {w - 2, 20},  {w - 1, 20},
                                      {200, 0}, {200, 1}, {200, h - 2}, {200, h - 1}};
        auto shotOf = [&](const QImage& shot) {
            QString got;
            for (int i = 0; i < points.size(); ++i) {
                if (i == 4) got += ' ';
                const QColor c = shot.pixelColor(points[i]);
                got += c == QColor(10, 20, 30)      ? 'D'
                       : c == QColor(240, 230, 220) ? 'L'
                       : c == QColor(0, 128, 0)     ? 'C'
                                                    : '?';
            }
            return got;
        };
        QCOMPARE(shotOf(plain.Grab()), expected);
        QCOMPARE(shotOf(plain.Grab()).count('?'), 0);
        // The inside stays the bar's colour, and a raised bar has no border.
        QCOMPARE(plain.Grab().pixelColor(200, 20), QColor(0, 128, 0));
        plain.bar.SetFlat(false);
        const QImage raised = plain.Grab();
        plain.bar.SetNaviBorders(nbNone);
        QCOMPARE(raised, plain.Grab());
    }

    void hoverColoursAndPointerEvent() {
        TCaptionDBNavi bar;
        bar.SetFontColor(QColor(1, 2, 3));
        struct Call {
            TCaptionDBNavi* sender;
            TShiftState shift;
            int x, y;
            TNavigateBtn kind;
        };
        QList<Call> calls;
        bar.SetOnMouseMove([&](TCaptionDBNavi* s, TShiftState shift, int x, int y, TNavigateBtn kind) {
            calls << Call{s, shift, x, y, kind};
        });
        auto colours = [&] {
            QString out;
            for (int k = 0; k < kNaviButtonCount; ++k) {
                const QColor c = bar.Button(TNavigateBtn(k))->CaptionColor();
                out += c == bar.OnMoveColor() ? 'M' : c == bar.FontColor() ? '.' : '?';
            }
            return out;
        };

        NaviButton* next = bar.Button(nbNext);
        MoveOver(next, {5, 6}, Qt::ShiftModifier);
        QCOMPARE(colours(), QStringLiteral("..M......."));
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].sender, &bar);
        QCOMPARE(calls[0].x, next->x() + 5);
        QCOMPARE(calls[0].y, 6);
        QCOMPARE(calls[0].kind, nbNext);
        QCOMPARE(calls[0].shift.keys, Qt::KeyboardModifiers(Qt::ShiftModifier));

        bar.SetOnMoveColor(QColor(200, 0, 0));
        MoveOver(bar.Button(nbRefresh), {1, 1});
        QCOMPARE(colours(), QStringLiteral(".........M"));
        QCOMPARE(calls.last().kind, nbRefresh);
        QCOMPARE(calls.last().x, bar.Button(nbRefresh)->x() + 1);

        // Over the bar itself: the button at that point, or nothing.
        MoveOver(&bar, {bar.Button(nbPost)->x() + 2, 30});
        QCOMPARE(calls.last().kind, nbPost);
        QCOMPARE(calls.last().x, bar.Button(nbPost)->x() + 2);
        const auto before = calls.size();
        MoveOver(&bar, {bar.width() + 3, 5});
        QCOMPARE(calls.size(), before);

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&bar, &leave);
        QCOMPARE(colours(), QStringLiteral(".........."));

        // No handler: colours still follow.
        bar.SetOnMouseMove({});
        MoveOver(bar.Button(nbFirst), {3, 3});
        QCOMPARE(colours(), QStringLiteral("M........."));
    }

    void buttonsAct_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("call");
        for (int k = 0; k < kNaviButtonCount; ++k)
            QTest::newRow(qPrintable(kDefaults[k].mid(1))) << k << kDefaults[k].mid(1);
    }
    void buttonsAct() {
        QFETCH(int, kind);
        QFETCH(QString, call);
        TCaptionDBNavi bar;
        bar.SetConfirmDelete(false);
        FakeTarget data;
        data.state.editing = kind == nbPost || kind == nbCancel;
        bar.SetTarget(&data);
        QList<TNavigateBtn> clicked;
        connect(&bar, &TCaptionDBNavi::clicked, this, [&](TNavigateBtn k) { clicked << k; });
        NaviButton* b = bar.Button(TNavigateBtn(kind));
        QVERIFY(b->isEnabled());
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(data.calls, QStringList{call});
        QCOMPARE(clicked, QList<TNavigateBtn>{TNavigateBtn(kind)});
        // The caption's mnemonic presses it too (Alt+P is shared by Prior and Post).
        if (kind != nbPost && kind != nbCancel && kind != nbPrior) {
            bar.show();
            bar.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&bar));
            QTest::keyClick(&bar, kDefaults[kind].at(1).toLatin1(), Qt::AltModifier);
            QTRY_COMPARE(data.calls.size(), 2);
            QCOMPARE(data.calls.last(), call);
        }
    }

    void buttonsFollowTheTarget_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("enabled");  // First … Refresh
        QTest::newRow("inactive") << "inactive"
                                  << "0000000000";
        QTest::newRow("first record") << "bof"
                                      << "0011111001";
        QTest::newRow("middle") << ""
                                << "1111111001";
        QTest::newRow("last record") << "eof"
                                     << "1100111001";
        QTest::newRow("empty") << "bof eof empty"
                               << "0000101001";
        QTest::newRow("editing") << "editing"
                                 << "1111110111";
        QTest::newRow("read only") << "readonly"
                                   << "1111000000";
    }
    void buttonsFollowTheTarget() {
        QFETCH(QString, state);
        QFETCH(QString, enabled);
        TCaptionDBNavi bar;
        FakeTarget data;
        bar.SetTarget(&data);
        data.state.active = !state.contains("inactive");
        data.state.bof = state.contains("bof");
        data.state.eof = state.contains("eof");
        data.state.empty = state.contains("empty");
        data.state.editing = state.contains("editing");
        data.state.canModify = !state.contains("readonly");
        data.Changed();
        QString got;
        for (int k = 0; k < kNaviButtonCount; ++k) got += bar.Button(TNavigateBtn(k))->isEnabled() ? '1' : '0';
        QCOMPARE(got, enabled);
    }

    // With ZELVARA_SHOT_DIR set: the bar in its four border styles, to look at.
    void pictures() {
        const QString folder = qEnvironmentVariable("ZELVARA_SHOT_DIR");
        if (folder.isEmpty()) QSKIP("ZELVARA_SHOT_DIR not set");
        QDir().mkpath(folder);
        FakeTarget data;
        const QStringList names = {"none", "frame", "topbottom", "leftright"};
        for (int b = nbNone; b <= nbLeftRight; ++b) {
            TCaptionDBNavi bar;
            bar.SetTarget(&data);
            bar.SetFlat(true);
            bar.SetNaviBorders(TNaviBorders(b));
            bar.SetCaptions(
                {"最初へ", "前へ", "次へ", "最後へ", "新規挿入", "削除", "編集", "更新登録", "キャンセル", "再表示"});
            bar.SetCaptionLayout(cbTop);
            bar.resize(560, 44);
            MoveOver(bar.Button(nbNext), {4, 4});
            QVERIFY(bar.grab().save(QDir(folder).filePath(QStringLiteral("navi_%1.png").arg(names[b]))));
        }
        TCaptionDBNavi plain;
        plain.SetTarget(&data);
        plain.SetBackBitmap(Pattern({40, 40}));
        plain.SetFlat(true);
        QVERIFY(plain.grab().save(QDir(folder).filePath(QStringLiteral("navi_default_back.png"))));
    }
};

QTEST_MAIN(TestCapNavi)
#include "tst_cap_navi.moc"
