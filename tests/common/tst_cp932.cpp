#include "common/cp932.h"

#include <QTest>

using namespace zelvara;

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void windowsMapping_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("fullwidth tilde") << QStringLiteral("～") << QByteArray::fromHex("8160");
        QTest::newRow("fullwidth minus") << QStringLiteral("－") << QByteArray::fromHex("817c");
        QTest::newRow("NEC circled one") << QStringLiteral("①") << QByteArray::fromHex("8740");
        QTest::newRow("NEC roman two") << QStringLiteral("Ⅱ") << QByteArray::fromHex("8755");
        QTest::newRow("IBM taka") << QStringLiteral("髙") << QByteArray::fromHex("fbfc");
        QTest::newRow("IBM saki") << QStringLiteral("﨑") << QByteArray::fromHex("fab1");
        QTest::newRow("half-width kana") << QStringLiteral("ﾃﾞｰﾀ") << QByteArray::fromHex("c3deb0c0");
        QTest::newRow("ascii") << QStringLiteral("S50") << QByteArray("S50");
    }
    void windowsMapping() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const auto encoded = cp932::Encode(text);
        QVERIFY2(encoded.has_value(), qPrintable(text));
        QCOMPARE(encoded->toHex(), bytes.toHex());
        QCOMPARE(cp932::Decode(bytes), text);
    }

    // What input methods type is kept as its full-width form.
    void inputMethodCharacters_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("wave dash") << QStringLiteral("1〜2") << QStringLiteral("1～2");
        QTest::newRow("minus sign") << QStringLiteral("\u2212") << QStringLiteral("－");
        QTest::newRow("double vertical line") << QStringLiteral("\u2016") << QStringLiteral("∥");
        QTest::newRow("cent pound not") << QStringLiteral("¢£¬") << QStringLiteral("￠￡￢");
    }
    void inputMethodCharacters() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(cp932::RemapInputMethodChars(typed), stored);
        const auto bytes = cp932::Encode(typed);
        QVERIFY2(bytes.has_value(), qPrintable(typed));
        QCOMPARE(cp932::Decode(*bytes), stored);
    }

    void fieldCheck_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("mentioned");
        QTest::newRow("ten kanji fit twenty bytes")
            << QStringLiteral("一二三四五六七八九十") << 20 << true << QString();
        QTest::newRow("eleven kanji do not")
            << QStringLiteral("一二三四五六七八九十壱") << 20 << false << QStringLiteral("22");
        QTest::newRow("half-width kana count one byte") << QStringLiteral("ｱｲｳｴ") << 4 << true << QString();
        QTest::newRow("emoji has no code") << QStringLiteral("花😀") << 20 << false << QStringLiteral("😀");
        QTest::newRow("hangul has no code") << QStringLiteral("한") << 20 << false << QStringLiteral("한");
        QTest::newRow("empty") << QString() << 2 << true << QString();
    }
    void fieldCheck() {
        QFETCH(QString, text);
        QFETCH(int, size);
        QFETCH(bool, accepted);
        QFETCH(QString, mentioned);
        const QString message = cp932::CheckFieldText(QStringLiteral("氏名"), text, size);
        QCOMPARE(message.isEmpty(), accepted);
        if (!accepted) {
            QVERIFY2(message.contains(QStringLiteral("氏名")), qPrintable(message));
            QVERIFY2(message.contains(mentioned), qPrintable(message));
        }
    }

    // A lead byte cut off at the end of a line is not dropped without a
    // trace: it decodes to a replacement character.
    void cutLeadByteIsKept() {
        QCOMPARE(cp932::Decode(QByteArray("\x8b")), QString(QChar::ReplacementCharacter));
        QCOMPARE(cp932::Decode(QByteArray("ab\x8b")), QStringLiteral("ab") + QChar::ReplacementCharacter);
        QCOMPARE(cp932::Decode(QByteArray("\x8b\x49")), QStringLiteral("紀"));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
