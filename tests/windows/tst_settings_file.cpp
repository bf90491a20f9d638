#include "cp932.h"
#include "settings_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;

namespace {
void WriteRaw(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(*cp932::Encode(text));
}
}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    // Only the exact text "True" switches the start-up sound on.
    void soundSwitch_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("on");
        QTest::newRow("no file") << QString() << true;
        QTest::newRow("True") << QStringLiteral("[sound]\r\ncheck=True\r\n") << true;
        QTest::newRow("False") << QStringLiteral("[sound]\r\ncheck=False\r\n") << false;
        QTest::newRow("lower-case true") << QStringLiteral("[sound]\r\ncheck=true\r\n") << false;
        QTest::newRow("yes") << QStringLiteral("[sound]\r\ncheck=yes\r\n") << false;
        QTest::newRow("trailing blank") << QStringLiteral("[sound]\r\ncheck=True \r\n") << false;
        QTest::newRow("key in another section") << QStringLiteral("[owner]\r\ncheck=False\r\n") << true;
        QTest::newRow("section case ignored") << QStringLiteral("[SOUND]\r\nCheck=False\r\n") << false;
    }
    void soundSwitch()
    {
        QFETCH(QString, content);
        QFETCH(bool, on);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelv.ini"));
        if (!content.isEmpty())
            WriteRaw(path, content);
        QCOMPARE(StartupSoundEnabled(SettingsFile(path)), on);
    }

    void shiftJisValuesAndRewrite()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelv.ini"));
        WriteRaw(path, QStringLiteral("[owner]\r\ntitle=紫微斗数鑑定所～本店\r\ntel=03-1234-5678\r\n[sound]\r\ncheck=True\r\n"));
        SettingsFile settings(path);
        QCOMPARE(settings.Read("owner", "title", {}), QStringLiteral("紫微斗数鑑定所～本店"));
        QVERIFY(settings.Write("sound", "check", "False"));
        QVERIFY(settings.Write("owner", "title", QStringLiteral("星の館〜")));  // wave dash as typed
        QVERIFY(settings.Write("extra", "key", "1"));
        QCOMPARE(settings.Read("sound", "check", "True"), QStringLiteral("False"));
        QCOMPARE(settings.Read("owner", "title", {}), QStringLiteral("星の館～"));
        QCOMPARE(settings.Read("owner", "tel", {}), QStringLiteral("03-1234-5678"));
        QCOMPARE(settings.Read("extra", "key", {}), QStringLiteral("1"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(f.readAll().contains(QByteArray::fromHex("8160")), "the tilde is stored as CP932 0x8160");
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
