// The convention profile chosen for a client, kept beside the record in the
// register's file: names checked as the settings check them, kept with a
// deleted record and back with it, never inherited by a row number used
// again, erased with the client and named in the client's export; a file of
// an earlier version reads as none chosen and gains nothing until a profile
// is written; CSV carries it in the column 流派; zelvara-cli register profile.
#include "register/client_data.h"
#include "register/client_erasure.h"
#include "register/register_csv.h"
#include "register/register_faults.h"
#include "tests/register/register_test_support.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using namespace register_test;

namespace {

const QString kZhongzhou = QStringLiteral("中州派");
const QString kElsewhere = QStringLiteral("よその流派");

qint64 RowOf(const PersonTable& t, int row) { return t.Record(row).rowId; }

}  // namespace

class TestPersonProfile : public QObject {
    Q_OBJECT
private slots:
    void namesAreCheckedAsTheSettingsCheckThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fault");  // part of the message; empty: accepted
        QTest::newRow("japanese") << kZhongzhou << "";
        QTest::newRow("forty characters") << QString(40, QChar(0x6D3E)) << "";
        QTest::newRow("blanks around") << QStringLiteral("  飛星派 ") << "";
        QTest::newRow("empty after trim") << QStringLiteral("　 ") << "空の名前";
        QTest::newRow("control character") << QStringLiteral("中州\n派") << "制御文字";
        QTest::newRow("equals") << QStringLiteral("a=b") << "= [ ]";
        QTest::newRow("bracket") << QStringLiteral("[派]") << "= [ ]";
        QTest::newRow("closing bracket") << QStringLiteral("派]") << "= [ ]";
        QTest::newRow("forty-one characters") << QString(41, QChar(0x6D3E)) << "40 文字まで";
    }
    void namesAreCheckedAsTheSettingsCheckThem() {
        QFETCH(QString, name);
        QFETCH(QString, fault);
        RegisterFolder reg({QStringLiteral("一郎")});
        const PersonWrite w = reg.table.WriteProfile(RowOf(reg.table, 0), name);
        if (fault.isEmpty()) {
            QVERIFY2(w.Ok(), qPrintable(w.why));
            QCOMPARE(reg.table.Profile(RowOf(reg.table, 0)), name.trimmed());
        } else {
            QVERIFY(!w.Ok());
            QVERIFY2(w.why.contains(fault), qPrintable(w.why));
            QVERIFY(reg.table.Profile(RowOf(reg.table, 0)).isEmpty());
        }
    }

    // 削除 keeps the profile with the deleted record; 元に戻す brings it back
    // under the new row; the next person on a reused row number has none.
    void deleteAndUndeleteKeepTheProfile() {
        RegisterFolder reg({QStringLiteral("一郎"), QStringLiteral("花子"), QStringLiteral("次郎")});
        PersonTable& t = reg.table;
        const qint64 hanako = RowOf(t, 1), jiro = RowOf(t, 2);
        QVERIFY(t.WriteProfile(hanako, kZhongzhou).Ok());
        QVERIFY(t.WriteProfile(jiro, kElsewhere).Ok());
        QCOMPARE(t.Profile(RowOf(t, 0)), QString());

        QVERIFY((t.CurrentRow() == 2 || t.MoveTo(2)) && t.Delete());  // 次郎, the last row: its number is used again
        AddPerson(t, QStringLiteral("四郎"));
        QCOMPARE(RowOf(t, 2), jiro);
        QCOMPARE(t.Profile(jiro), QString());

        QVERIFY(t.MoveTo(1) && t.Delete());  // 花子
        QCOMPARE(t.Profile(hanako), QString());
        const std::vector<DeletedPerson> deleted = t.DeletedRecords();
        QCOMPARE(deleted.size(), size_t(2));
        for (const DeletedPerson& d : deleted) {
            QVERIFY(t.Undelete(d.number));
            QCOMPARE(t.Profile(RowOf(t, t.CurrentRow())),
                     d.values[kFieldName] == QStringLiteral("花子") ? kZhongzhou : kElsewhere);
        }
        OtherProgram file(t.FilePath());
        QCOMPARE(file.Value(QStringLiteral("SELECT count(*) FROM person_profile_deleted")), QStringLiteral("0"));

        QVERIFY(t.WriteProfile(RowOf(t, t.CurrentRow()), {}).Ok());  // the choice removed
        QCOMPARE(t.Profile(RowOf(t, t.CurrentRow())), QString());
        QCOMPARE(t.WriteProfile(999, kZhongzhou).result, PersonWrite::Result::Stale);
        QVERIFY2(RegisterFileFaults(t.FilePath()).isEmpty(), qPrintable(RegisterFileFaults(t.FilePath()).join('\n')));
    }

    // A file of an earlier version has no tables of profiles: everyone reads
    // as none chosen, and the file is not changed until a profile is written.
    // A register opened read-only refuses the write with its reason.
    void olderAndReadOnlyFiles() {
        RegisterFolder reg({QStringLiteral("一郎"), QStringLiteral("花子")});
        const QString path = reg.table.FilePath();
        const QByteArray before = FileBytes(path);
        QCOMPARE(reg.table.Profile(RowOf(reg.table, 0)), QString());
        QVERIFY(reg.table.WriteProfile(RowOf(reg.table, 0), {}).Ok());  // nothing to remove
        RecordProfiles profiles;
        QString why;
        QVERIFY(reg.table.ReadAllRecords(&why, nullptr, &profiles));
        QCOMPARE(profiles, (RecordProfiles{QString(), QString()}));
        reg.table.Close();
        QCOMPARE(FileBytes(path), before);

        RecordingSink sink;
        PersonTable readOnly(sink);
        QVERIFY(readOnly.OpenPath(path, PersonTable::OpenMode::ReadOnly));
        const PersonWrite refused = readOnly.WriteProfile(RowOf(readOnly, 0), kZhongzhou);
        QVERIFY(!refused.Ok());
        QVERIFY2(refused.why.contains(QStringLiteral("読み取り専用")), qPrintable(refused.why));
        readOnly.Close();
        QCOMPARE(FileBytes(path), before);
    }

    // The client's export names the profile; the erasure names and removes
    // it, with those kept for the deleted copies of the client's record.
    void exportAndErasure() {
        RegisterFolder reg({QStringLiteral("花子"), QStringLiteral("花子"), QStringLiteral("一郎")});
        PersonTable& t = reg.table;
        QVERIFY(t.WriteProfile(RowOf(t, 0), kElsewhere).Ok());
        QVERIFY(t.WriteProfile(RowOf(t, 1), kZhongzhou).Ok());
        QVERIFY(t.WriteProfile(RowOf(t, 2), kZhongzhou).Ok());
        QVERIFY(t.MoveTo(0) && t.Delete());  // a copy of 花子 among the deleted records
        const qint64 hanako = RowOf(t, 0);
        QString why;
        const std::optional<ClientData> data = ReadClientData(t, hanako, &why);
        QVERIFY2(data, qPrintable(why));
        QCOMPARE(data->profile, kZhongzhou);
        QVERIFY(QString::fromUtf8(ClientDataCsv(*data)).contains(QStringLiteral("人物,,流派,中州派")));

        const std::optional<ClientErasure> plan = PlanClientErasure(t, hanako, &why);
        QVERIFY2(plan, qPrintable(why));
        QVERIFY(ClientErasureText(*plan).contains(QStringLiteral("流派の選択（中州派）")));
        QCOMPARE(plan->deletedCopies.size(), size_t(1));
        const PersonWrite erased = EraseClient(t, *plan);
        QVERIFY2(erased.Ok(), qPrintable(erased.why));
        OtherProgram file(t.FilePath());
        QCOMPARE(file.Value(QStringLiteral("SELECT group_concat(profile) FROM person_profile")), kZhongzhou);  // 一郎's
        QCOMPARE(file.Value(QStringLiteral("SELECT count(*) FROM person_profile_deleted")), QStringLiteral("0"));
    }

    // The column 流派 after the exact time's, only when some record has a
    // profile; read back as written, names this computer does not know kept
    // and counted, a bad name refused with its line.
    void csvCarriesTheProfile() {
        RegisterFolder source;
        const std::vector<PersonValues> records{Person(QStringLiteral("甲")), Person(QStringLiteral("乙")),
                                                Person(QStringLiteral("丙"))};
        QString why;
        QVERIFY2(source.table.AppendRecords(records, &why), qPrintable(why));
        const QByteArray plain = WriteRegisterCsv(records, CsvEncoding::Utf8, &why);
        RecordProfiles none;
        QVERIFY(source.table.ReadAllRecords(&why, nullptr, &none));
        QCOMPARE(WriteRegisterCsv(records, CsvEncoding::Utf8, &why, {}, none), plain);
        QVERIFY(!QString::fromUtf8(plain).contains(ProfileCsvColumn()));

        const RecordProfiles profiles{kZhongzhou, QString(), kElsewhere};
        for (const CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Cp932}) {
            const QByteArray bytes = WriteRegisterCsv(records, encoding, &why, {}, profiles);
            QVERIFY2(why.isEmpty(), qPrintable(why));
            const CsvContent content = ReadRegisterCsv(bytes, QStringLiteral("a.csv"));
            QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
            RegisterFolder target;
            ImportOptions options;
            options.knownProfiles = {QStringLiteral("標準"), kZhongzhou};
            const ImportReport report = ImportRecords(target.table, content.items, options);
            QVERIFY2(report.written, qPrintable(report.error));
            QCOMPARE(report.unknownProfiles, 1);
            RecordProfiles read;
            QVERIFY(target.table.ReadAllRecords(&why, nullptr, &read));
            QCOMPARE(read, profiles);
        }
        const QByteArray withTimes =
            WriteRegisterCsv(records, CsvEncoding::Utf8, &why,
                             {BirthTimeEntry{QStringLiteral("05:50"), {}, std::nullopt, {}, {}}}, profiles);
        QVERIFY(
            QString::fromUtf8(withTimes).section(QStringLiteral("\r\n"), 0, 0).endsWith(QStringLiteral("補正,流派")));

        QString bad = QString::fromUtf8(WriteRegisterCsv(records, CsvEncoding::Utf8, &why, {}, profiles));
        bad.replace(kElsewhere, QStringLiteral("a=b"));
        RegisterFolder target;
        const ImportReport refused =
            ImportRecords(target.table, ReadRegisterCsv(bad.toUtf8(), QStringLiteral("b.csv")).items, {});
        QVERIFY(!refused.written);
        QCOMPARE(refused.refused.size(), size_t(1));
        QCOMPARE(refused.refused.front().first, 4);
        QVERIFY(refused.refused.front().second.contains(QStringLiteral("a=b")));
        QCOMPARE(target.table.RecordCount(), 0);
    }

    // zelvara-cli register profile N [NAME | --clear]: shown, set, cleared;
    // a bad name or number is a usage error, a missing client a failure.
    void commandLine() {
        RegisterFolder reg({QStringLiteral("一郎")});
        const QString home = reg.dir.path();
        reg.table.Close();
        const QString settings = reg.FilePath(QStringLiteral("zelv.ini"));
        WriteFile(settings, QStringLiteral("[profiles]\n中州派=year-start=lunar-new-year\n").toUtf8());
        QCOMPARE(Cli(home, {"profile", "1"}).out.trimmed(), QStringLiteral("（既定）"));
        Run set = Cli(home, {"profile", "1", kZhongzhou, "--settings", settings});
        QCOMPARE(set.code, 0);
        QVERIFY(set.err.isEmpty());
        QCOMPARE(Cli(home, {"profile", "1"}).out.trimmed(), kZhongzhou);
        set = Cli(home, {"profile", "1", kElsewhere, "--settings", settings});
        QCOMPARE(set.code, 0);
        QVERIFY2(set.err.contains(QStringLiteral("設定にありません")), qPrintable(set.err));
        const Run bad = Cli(home, {"profile", "1", "a=b"});
        QCOMPARE(bad.code, 2);
        QVERIFY(bad.err.contains(QStringLiteral("使えません")));
        QCOMPARE(Cli(home, {"profile", "1", "x", "--clear"}).code, 2);
        QCOMPARE(Cli(home, {"profile", "9", kZhongzhou}).code, 1);
        QCOMPARE(Cli(home, {"profile", "1"}).out.trimmed(), kElsewhere);
        // An import names the records whose profile the settings here lack.
        const QString csv = reg.FilePath(QStringLiteral("out.csv"));
        QCOMPARE(Cli(home, {"export", "--csv", csv}).code, 0);
        QTemporaryDir elsewhere;
        const Run imported = Cli(elsewhere.path(), {"import", "--csv", csv, "--settings", settings});
        QCOMPARE(imported.code, 0);
        QVERIFY2(imported.out.contains(QStringLiteral("設定にない記録が 1 件")), qPrintable(imported.out));
        QCOMPARE(Cli(elsewhere.path(), {"profile", "1"}).out.trimmed(), kElsewhere);

        QCOMPARE(Cli(home, {"profile", "1", "--clear"}).code, 0);
        QCOMPARE(Cli(home, {"profile", "1"}).out.trimmed(), QStringLiteral("（既定）"));
    }
};

QTEST_GUILESS_MAIN(TestPersonProfile)
#include "tst_person_profile.moc"
