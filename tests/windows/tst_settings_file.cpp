#include "common/cp932.h"
#include "common/qstring_utf8.h"
#include "store/convention_profiles.h"
#include "store/settings_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;

namespace {

// A profile as the settings file writes it.
zelvara::ConventionProfile Profile(const char* name, std::string_view switches) {
    return {name, *zelvara::ParseConventionsText(switches)};
}
void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void WriteRaw(const QString& path, const QString& text) { WriteBytes(path, *cp932::Encode(text)); }

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    // Only the exact text "True" switches the start-up sound on.
    void soundSwitch_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("on");
        QTest::newRow("no file") << QString() << true;
        QTest::newRow("True") << QStringLiteral("[sound]\r\ncheck=True\r\n") << true;
        QTest::newRow("False") << QStringLiteral("[sound]\r\ncheck=False\r\n") << false;
        QTest::newRow("lower-case true") << QStringLiteral("[sound]\r\ncheck=true\r\n") << false;
        QTest::newRow("yes") << QStringLiteral("[sound]\r\ncheck=yes\r\n") << false;
        // Blanks around a value do not count, as with Windows' own reading.
        QTest::newRow("trailing blank") << QStringLiteral("[sound]\r\ncheck=True \r\n") << true;
        QTest::newRow("blanks around key and section")
            << QStringLiteral(" [ sound ] \r\n\t check \t=\tFalse\r\n") << false;
        QTest::newRow("key in another section") << QStringLiteral("[owner]\r\ncheck=False\r\n") << true;
        QTest::newRow("section case ignored") << QStringLiteral("[SOUND]\r\nCheck=False\r\n") << false;
    }
    void soundSwitch() {
        QFETCH(QString, content);
        QFETCH(bool, on);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelv.ini"));
        if (!content.isEmpty()) WriteRaw(path, content);
        QCOMPARE(StartupSoundEnabled(SettingsFile(path)), on);
    }

    void shiftJisValuesAndRewrite() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelv.ini"));
        WriteRaw(path, QStringLiteral(
                           "[owner]\r\ntitle=紫微斗数鑑定所～本店\r\ntel=03-1234-5678\r\n[sound]\r\ncheck=True\r\n"));
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
    // A file a text editor saved as UTF-8 reads as UTF-8 and is written
    // back in Shift-JIS; Shift-JIS bytes stay Shift-JIS.
    void encodingOfTheFile_data() {
        const QString text = QStringLiteral("[owner]\r\ntitle=紫微斗数　星読み館～ｱｲ\r\ntel=03-1234-5678\r\n");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("UTF-8 without byte-order mark") << text.toUtf8();
        QTest::newRow("Shift-JIS") << *cp932::Encode(text);
    }
    void encodingOfTheFile() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelv.ini"));
        WriteBytes(path, bytes);
        SettingsFile settings(path);
        QCOMPARE(settings.Read("owner", "title", {}), QStringLiteral("紫微斗数　星読み館～ｱｲ"));
        QString why;
        QVERIFY2(settings.Write("sound", "check", "False", &why), qPrintable(why));
        const QByteArray after = ReadBytes(path);
        QCOMPARE(after, *cp932::Encode(QStringLiteral("[owner]\r\ntitle=紫微斗数　星読み館～ｱｲ\r\ntel=03-1234-5678\r\n"
                                                      "[sound]\r\ncheck=False\r\n")));
    }

    // Blanks around section names, keys and values do not count; an
    // ideographic space is text. Writing a key replaces its blank-padded line.
    void blanksAroundNamesAndValues() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelv.ini"));
        WriteRaw(path, QStringLiteral("  [ Owner ]\t\r\n  title \t=  　星の館　 \r\n\ttel=\t03-1234-5678  \r\n"));
        SettingsFile settings(path);
        QCOMPARE(settings.Read("owner", "title", {}), QStringLiteral("　星の館　"));
        QCOMPARE(settings.Read("owner", "tel", {}), QStringLiteral("03-1234-5678"));
        QVERIFY(settings.Write("owner", "tel", "06-0000-1111"));
        const QString after = cp932::Decode(ReadBytes(path));
        QCOMPARE(after.count(QStringLiteral("tel")), 1);
        QCOMPARE(settings.Read("owner", "tel", {}), QStringLiteral("06-0000-1111"));
    }

    // A write that cannot be done says why and leaves the file as it was.
    // (Tests may run as root, who ignores permissions: the path is made
    // unusable instead.)
    void failedWriteSaysWhy_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("said");
        QTest::newRow("path is a folder") << "folder/zelv.ini"
                                          << "1"
                                          << "フォルダ";
        QTest::newRow("parent is a file") << "file/zelv.ini"
                                          << "1"
                                          << "を作れません";
        QTest::newRow("no Shift-JIS form") << "zelv.ini"
                                           << "星🌟"
                                           << "🌟";
    }
    void failedWriteSaysWhy() {
        QFETCH(QString, where);
        QFETCH(QString, value);
        QFETCH(QString, said);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("folder/zelv.ini"));
        WriteBytes(dir.filePath("file"), "[sound]\r\n");
        WriteRaw(dir.filePath("zelv.ini"), QStringLiteral("[owner]\r\ntitle=前\r\n"));
        const QByteArray before = ReadBytes(dir.filePath("zelv.ini"));
        SettingsFile settings(dir.filePath(where));
        QString why;
        QVERIFY(!settings.Write({{"owner", "title", "題"}, {"owner", "tel", value}}, &why));
        QVERIFY2(why.contains(said), qPrintable(why));
        QCOMPARE(ReadBytes(dir.filePath("zelv.ini")), before);
        QCOMPARE(ReadBytes(dir.filePath("file")), QByteArray("[sound]\r\n"));
    }

    // Named convention profiles: written and read back as the lines of
    // [profiles] in Shift-JIS, listed after 標準, which cannot be written.
    void conventionProfiles() {
        QTemporaryDir dir;
        SettingsFile settings(dir.filePath(QStringLiteral("zelv.ini")));
        ConventionProfile zensho{"全書", {}};
        zensho.conventions.transforms.geng = GengTransform::kTaiin;
        zensho.conventions.palaceMonth = PalaceMonth::kLunarSplit;
        QString why;
        QVERIFY2(SaveConventionProfile(settings, zensho, &why), qPrintable(why));
        QCOMPARE(ConventionProfileNames(settings), (QStringList{QStringLiteral("標準"), QStringLiteral("全書")}));
        QVERIFY(ReadBytes(settings.Path())
                    .contains(*cp932::Encode(
                        QStringLiteral("[profiles]\r\n全書=palace-month=lunar-split;transform-geng=taiin"))));
        const auto back = LoadConventionProfile(settings, QStringLiteral("全書"), &why);
        QVERIFY2(back.has_value(), qPrintable(why));
        QVERIFY(back->conventions == zensho.conventions);
        QVERIFY(LoadConventionProfile(settings, QStringLiteral("標準"))->conventions.IsStandard());

        QVERIFY(!SaveConventionProfile(settings, ConventionProfile{}, &why));
        QCOMPARE(why, QStringLiteral("規則の組「標準」は変更できません。別の名前を付けて下さい。"));
        QVERIFY(!SaveConventionProfile(settings, ConventionProfile{"a=b", {}}, &why));
        QVERIFY(why.contains(QStringLiteral("は使えません")));
        QVERIFY(!LoadConventionProfile(settings, QStringLiteral("無い"), &why));
        QVERIFY(why.contains(QStringLiteral("使える組: 標準、全書")));
    }

    // Deleting and renaming a profile: the line goes (or changes its name)
    // with the default following it in the same write; 標準, a name taken (in
    // any case) and a name the file lacks are refused with the file untouched.
    void deleteAndRenameProfiles() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelv.ini"));
        WriteRaw(path, QStringLiteral("[profiles]\r\n全書=palace-month=lunar\r\nabc=meridian=120\r\n"
                                      "[conventions]\r\ndefault=全書\r\n[sound]\r\ncheck=False\r\n"));
        SettingsFile settings(path);
        QString why;
        QVERIFY2(RenameConventionProfile(settings, QStringLiteral("全書"), QStringLiteral(" 中州派 "), &why),
                 qPrintable(why));
        QCOMPARE(ConventionProfileNames(settings),
                 (QStringList{QStringLiteral("標準"), QStringLiteral("abc"), QStringLiteral("中州派")}));
        QCOMPARE(LoadConventionProfile(settings, QStringLiteral("中州派"))->conventions.palaceMonth,
                 PalaceMonth::kLunar);
        QCOMPARE(Q(DefaultConventionProfile(settings).name), QStringLiteral("中州派"));

        const QByteArray before = ReadBytes(path);
        QVERIFY(!RenameConventionProfile(settings, QStringLiteral("中州派"), QStringLiteral("ABC"), &why));
        QCOMPARE(why, QStringLiteral("規則の組「abc」はもうあります。別の名前を付けて下さい。"));
        QVERIFY(!RenameConventionProfile(settings, QStringLiteral("中州派"), QStringLiteral("標準"), &why));
        QVERIFY(!RenameConventionProfile(settings, QStringLiteral("中州派"), QStringLiteral("a]b"), &why));
        QVERIFY(!RenameConventionProfile(settings, QStringLiteral("標準"), QStringLiteral("新"), &why));
        QVERIFY(!DeleteConventionProfile(settings, QStringLiteral("標準"), &why));
        QVERIFY(!DeleteConventionProfile(settings, QStringLiteral("無い"), &why));
        QVERIFY(!IsNewConventionProfileName(settings, QStringLiteral("Abc"), &why));
        QVERIFY(IsNewConventionProfileName(settings, QStringLiteral("三合派"), &why));
        QCOMPARE(ReadBytes(path), before);

        // A profile not the default goes alone; the default's going leaves 標準.
        QVERIFY2(DeleteConventionProfile(settings, QStringLiteral("ABC"), &why), qPrintable(why));
        QCOMPARE(Q(DefaultConventionProfile(settings).name), QStringLiteral("中州派"));
        QVERIFY2(DeleteConventionProfile(settings, QStringLiteral("中州派"), &why), qPrintable(why));
        QCOMPARE(ConventionProfileNames(settings), QStringList{QStringLiteral("標準")});
        QCOMPARE(ReadBytes(path),
                 *cp932::Encode(QStringLiteral("[profiles]\r\n[conventions]\r\n[sound]\r\ncheck=False\r\n")));
        why.clear();
        QVERIFY(DefaultConventionProfile(settings, &why).conventions.IsStandard());
        QVERIFY(why.isEmpty());
    }

    // The default profile: missing → 標準 quietly; a name the file lacks →
    // 標準 with why; written only for 標準 or a profile the file has.
    void defaultProfile() {
        QTemporaryDir dir;
        SettingsFile settings(dir.filePath(QStringLiteral("zelv.ini")));
        QString why;
        QCOMPARE(Q(DefaultConventionProfile(settings, &why).name), QStringLiteral("標準"));
        QVERIFY(why.isEmpty());
        QVERIFY(!SaveDefaultConventionProfile(settings, QStringLiteral("無い"), &why));
        QVERIFY(!QFile::exists(settings.Path()));
        QVERIFY(SaveConventionProfile(settings, Profile("全書", "palace-month=lunar"), &why));
        QVERIFY2(SaveDefaultConventionProfile(settings, QStringLiteral("全書"), &why), qPrintable(why));
        QVERIFY(ReadBytes(settings.Path()).contains(*cp932::Encode(QStringLiteral("[conventions]\r\ndefault=全書"))));
        QCOMPARE(DefaultConventionProfile(settings).conventions.palaceMonth, PalaceMonth::kLunar);

        QVERIFY(settings.Write(kConventionsSection, kDefaultProfileKey, QStringLiteral("消えた派")));
        const ConventionProfile fallback = DefaultConventionProfile(settings, &why);
        QVERIFY(fallback.conventions.IsStandard());
        QVERIFY2(why.contains(QStringLiteral("既定の流派「消えた派」を使えないため、「標準」で作成します。")),
                 qPrintable(why));
    }

    // The profile of a cast: the client's when the file has it, else the
    // default, with a word for a client's name the file lacks; a profile
    // other than 標準 brings its time correction, 標準 leaves the settings'.
    void effectiveProfile() {
        QTemporaryDir dir;
        SettingsFile settings(dir.filePath(QStringLiteral("zelv.ini")));
        ConventionProfile zensho = Profile("全書", "palace-month=lunar");
        zensho.conventions.correction = TimeCorrection::kTrue;
        QVERIFY(SaveConventionProfile(settings, zensho));
        QVERIFY(SaveConventionProfile(settings, ConventionProfile{"中州派", {}}));

        EffectiveProfile e = ResolveConventionProfile(settings, {});
        QCOMPARE(Q(e.profile.name), QStringLiteral("標準"));
        QVERIFY(e.notFound.isEmpty());
        e = ResolveConventionProfile(settings, QStringLiteral("全書"));
        QCOMPARE(e.profile.conventions, zensho.conventions);
        QVERIFY(e.notFound.isEmpty());
        QVERIFY(SaveDefaultConventionProfile(settings, QStringLiteral("中州派")));
        e = ResolveConventionProfile(settings, QStringLiteral("消えた派"));
        QCOMPARE(Q(e.profile.name), QStringLiteral("中州派"));
        QVERIFY2(e.notFound.startsWith(
                     QStringLiteral("この人物の流派「消えた派」を使えないため、既定の流派「中州派」で作成します。")),
                 qPrintable(e.notFound));
        QCOMPARE(Q(ResolveConventionProfile(settings, {}).profile.name), QStringLiteral("中州派"));

        // The person's own correction is applied over this one (ExactTimeOf).
        QCOMPARE(ProfileTimeCorrection(ConventionProfile{}, TimeCorrection::kMean), TimeCorrection::kMean);
        QCOMPARE(ProfileTimeCorrection(zensho, TimeCorrection::kMean), TimeCorrection::kTrue);
        QCOMPARE(ProfileTimeCorrection(ConventionProfile{"中州派", {}}, TimeCorrection::kMean), TimeCorrection::kNone);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
