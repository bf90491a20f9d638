// The four tools on the shipped calendar data, over short ranges: files, line
// and record counts, order, failures, and the person register left alone.
#include "batch/batch_files.h"
#include "batch/batch_moments.h"
#include "batch/koyomi_table.h"
#include "tests/batch/batch_test_support.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace zelvara::batch;
using batchtest::ReadLines;
using batchtest::Run;

namespace {

QString Sha(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
}

// Runs fn with an open connection to a koyomi.DB.
template <class Fn>
void WithTable(const QString& path, Fn fn) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}

QVariant Scalar(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) return {};
    return q.value(0);
}

QString AnySlotEquals(const QString& text) {
    const QStringList fields = KoyomiFieldNames().mid(11);
    return QStringLiteral("'%1' IN (%2)").arg(text, fields.join(','));
}

}  // namespace

class TestBatchExports : public QObject {
    Q_OBJECT
    QTemporaryDir out_;
    BatchOutcome twoTxt_, casio_, kyu_, koyomi_;

private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(batchtest::DataDir() + "/1930.eto"), "calendar data beside the executables");
        twoTxt_ = Run(BatchKind::TwoTxt, out_.path(), 1925, 1928);
        casio_ = Run(BatchKind::Casio, out_.path());
        kyu_ = Run(BatchKind::Kyu, out_.path());
        koyomi_ = Run(BatchKind::Koyomi, out_.path(), 1930, 1930);
        for (const BatchOutcome* o : {&twoTxt_, &casio_, &kyu_, &koyomi_}) {
            QVERIFY2(o->ok, qPrintable(o->error));
            QCOMPARE(o->refused, 0L);
        }
    }

    void twoTxtFilesHoldEveryMomentInOrder() {
        QCOMPARE(twoTxt_.files.size(), 4);
        QCOMPARE(twoTxt_.moments, 12L * (3 * 365 + 366));
        const QRegularExpression form(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d,[0-9A-U]{8},[0-9A-U]{12}$"));
        bool sawNone = false, sawTuoluo = false;
        for (int y : {1925, 1926, 1927, 1928}) {
            bool crlf = false;
            const QStringList lines = ReadLines(out_.filePath(QStringLiteral("zelv%1.txt").arg(y)), &crlf);
            QVERIFY2(crlf, "every line ends with CR LF");
            QCOMPARE(lines.size(), y == 1928 ? 4392 : 4380);
            QVERIFY(lines.first().startsWith("01/01/00,"));
            QVERIFY(lines[11].startsWith("01/01/11,"));
            QVERIFY(lines[12].startsWith("01/02/00,"));
            QVERIFY(lines.last().startsWith("12/31/11,"));
            if (y == 1928) QVERIFY(lines[(31 + 28) * 12].startsWith("02/29/00,"));
            for (const QString& line : lines) {
                QVERIFY2(form.match(line).hasMatch(), qPrintable(line));
                const QString palaces = line.mid(18);
                sawNone |= palaces.contains('0');
                sawTuoluo |= palaces.contains('K');
            }
        }
        QVERIFY2(sawNone, "palaces without a main star are written as 0");
        QVERIFY2(sawTuoluo, "陀羅 (20) as a main star is written as K");
    }

    void casioHasOneFilePerMonth() {
        QStringList expected;
        for (int y = 1922; y <= 1929; ++y)
            for (int m = 1; m <= 12; ++m) expected << QStringLiteral("%1%2.dat").arg(y).arg(m, 2, 10, QChar('0'));
        const QDir dir(out_.filePath("CASIO"));
        QCOMPARE(dir.entryList(QDir::Files, QDir::Name), expected);
        const QRegularExpression form(QStringLiteral("^[0-9A-Z]{12}$"));
        for (int y : {1922, 1928})
            for (int m : {1, 2, 12}) {
                bool crlf = false;
                const QStringList lines =
                    ReadLines(dir.filePath(QStringLiteral("%1%2.dat").arg(y).arg(m, 2, 10, QChar('0'))), &crlf);
                QVERIFY(crlf);
                QCOMPARE(lines.size(), MonthLength(y, m) * 12);
                for (const QString& line : lines) QVERIFY2(form.match(line).hasMatch(), qPrintable(line));
            }
    }

    void kyuHasOneLinePerDayFromFebruary() {
        const QStringList lines = ReadLines(out_.filePath("zelv1921.txt"));
        QCOMPARE(lines.size(), 365 - 31);
        QVERIFY(lines.first().startsWith("02/01,"));
        QVERIFY(lines.last().startsWith("12/31,"));
        const QRegularExpression form(QStringLiteral("^\\d\\d/\\d\\d,[1-9]\\d?/[1-9]\\d?$"));
        for (const QString& line : lines) QVERIFY2(form.match(line).hasMatch(), qPrintable(line));
    }

    void koyomiRecordsInMomentOrder() {
        QVERIFY(!QFile::exists(out_.filePath("koyomi.DB.part")));
        WithTable(out_.filePath("koyomi.DB"), [](QSqlDatabase& db) {
            QSqlQuery q(db);
            QVERIFY(q.exec("PRAGMA table_info(koyomi)"));
            QStringList names;
            while (q.next()) names << q.value(1).toString();
            QCOMPARE(names, KoyomiFieldNames());

            QVERIFY(q.exec("SELECT KOYOMI FROM koyomi ORDER BY rowid"));
            int n = 0;
            for (int m = 1; m <= 12; ++m)
                for (int d = 1; d <= MonthLength(1930, m); ++d)
                    for (int h = 0; h < 12; ++h, ++n) {
                        QVERIFY(q.next());
                        QCOMPARE(q.value(0).toInt(), KoyomiKey(1930, m, d, h));
                    }
            QVERIFY(!q.next());
            QCOMPARE(n, 4380);

            QStringList nullChecks;
            for (const QString& f : KoyomiFieldNames()) nullChecks << f + " IS NULL";
            QCOMPARE(Scalar(db, "SELECT count(*) FROM koyomi WHERE " + nullChecks.join(" OR ")).toInt(), 0);
            QVERIFY(Scalar(db, "SELECT count(*) FROM koyomi WHERE TOKU06 = ''").toInt() > 0);
            QCOMPARE(Scalar(db, "SELECT count(*) FROM koyomi WHERE typeof(M06) <> 'text'").toInt(), 0);
            // The four transformation marks of every chart reach the table.
            QStringList marked;
            for (const QString& f : KoyomiFieldNames().mid(11)) marked << "(" + f + " LIKE '%(%')";
            QCOMPARE(Scalar(db, "SELECT count(*) FROM koyomi WHERE " + marked.join(" + ") + " <> 4").toInt(), 0);
            QVERIFY(Scalar(db, "SELECT count(*) FROM koyomi WHERE " + AnySlotEquals("武曲(権)")).toInt() > 0);  // 庚午
        });
    }

    void koyomiRunReplacesAnEarlierTable() {
        QTemporaryDir dir;
        for (int i = 0; i < 2; ++i) {
            const BatchOutcome o = Run(BatchKind::Koyomi, dir.path(), 1931, 1931);
            QVERIFY2(o.ok, qPrintable(o.error));
        }
        WithTable(dir.filePath("koyomi.DB"),
                  [](QSqlDatabase& db) { QCOMPARE(Scalar(db, "SELECT count(*) FROM koyomi").toInt(), 4380); });
    }

    // January 1921 lies partly before the calendar: the lines are written anyway.
    void refusedMomentsAreCountedAndWritten() {
        QTemporaryDir dir;
        const BatchOutcome o = Run(BatchKind::TwoTxt, dir.path(), 1921, 1921);
        QVERIFY2(o.ok, qPrintable(o.error));
        QVERIFY(o.refused > 0);
        QVERIFY2(o.firstRefusal.startsWith("1921/01/01 23:00-01:00"), qPrintable(o.firstRefusal));
        QCOMPARE(ReadLines(dir.filePath("zelv1921.txt")).size(), 4380);
    }

    void folderThatCannotBeCreatedIsNamed() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("plain-file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString out = dir.filePath("plain-file/sub");
        const BatchOutcome o = Run(BatchKind::Casio, out);
        QVERIFY(!o.ok);
        QVERIFY2(o.error.contains(out), qPrintable(o.error));
        QCOMPARE(o.moments, 0L);
    }

    // A year file that cannot be written stops the run; finished files stay and
    // no partial file is left behind.
    void failureMidRunKeepsFinishedFiles() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("zelv1927.txt/in-the-way"));
        const BatchOutcome o = Run(BatchKind::TwoTxt, dir.path(), 1925, 1928);
        QVERIFY(!o.ok);
        QVERIFY2(o.error.contains("zelv1927.txt"), qPrintable(o.error));
        QCOMPARE(o.files.size(), 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"zelv1925.txt", "zelv1926.txt", "zelv1927.txt"}));
        QCOMPARE(ReadLines(dir.filePath("zelv1926.txt")).size(), 4380);
    }

    // A second run into a folder where a run is writing stops at once and
    // leaves that run's temporary files alone.
    void secondRunIntoABusyFolderStops() {
        QTemporaryDir dir;
        QLockFile running(dir.filePath(QLatin1String(kRunLockName)));
        QVERIFY(running.tryLock(0));
        const QString part = dir.filePath("zelv1925.txt.part");
        QFile f(part);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const BatchOutcome o = Run(BatchKind::TwoTxt, dir.path(), 1925, 1925);
        QVERIFY(!o.ok);
        QVERIFY2(o.error.contains(QStringLiteral("書き込み中")), qPrintable(o.error));
        QVERIFY(QFile::exists(part));
        QCOMPARE(o.moments, 0L);
    }

    void koyomiFailureLeavesTheCompleteTable() {
        QTemporaryDir dir;
        QVERIFY(Run(BatchKind::Koyomi, dir.path(), 1931, 1931).ok);
        const QString before = Sha(dir.filePath("koyomi.DB"));
        QVERIFY(QDir(dir.path()).mkpath("koyomi.DB.part/in-the-way"));
        const BatchOutcome o = Run(BatchKind::Koyomi, dir.path(), 1932, 1932);
        QVERIFY(!o.ok);
        QVERIFY2(o.error.contains("koyomi.DB.part"), qPrintable(o.error));
        QCOMPARE(Sha(dir.filePath("koyomi.DB")), before);
    }

    void personRegisterIsNeverTouched() {
        QTemporaryDir home;
        for (const QString& eto : QDir(batchtest::DataDir()).entryList({"*.eto"}))
            QVERIFY(QFile::link(QDir(batchtest::DataDir()).filePath(eto), home.filePath(eto)));
        const QString register_ = home.filePath("nam_data.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "register");
            db.setDatabaseName(register_);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("CREATE TABLE nam_data (\"氏名\" TEXT, \"生まれた年\" TEXT)"));
            QVERIFY(q.exec("INSERT INTO nam_data VALUES ('見本花子', '1965')"));
            db.close();
        }
        QSqlDatabase::removeDatabase("register");
        const QString sha = Sha(register_);
        const QDateTime mtime = QFileInfo(register_).lastModified();
        const QStringList homeFiles = QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        QTemporaryDir out;
        for (auto [kind, year] : {std::pair{BatchKind::Koyomi, 1930},
                                  {BatchKind::TwoTxt, 2010},
                                  {BatchKind::Casio, 1922},
                                  {BatchKind::Kyu, 0}}) {
            const BatchOutcome o = Run(kind, out.path(), year, year, home.path());
            QVERIFY2(o.ok, qPrintable(o.error));
            QCOMPARE(Sha(register_), sha);
            QCOMPARE(QFileInfo(register_).lastModified(), mtime);
            QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), homeFiles);
        }
    }

    void requestsOutsideTheRulesAreRefused_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("out");
        QTest::newRow("旧 is 1921 only") << int(BatchKind::Kyu) << 1922 << 1922 << "x";
        QTest::newRow("from after to") << int(BatchKind::TwoTxt) << 1930 << 1929 << "x";
        QTest::newRow("before the calendar") << int(BatchKind::TwoTxt) << 1920 << 1925 << "x";
        QTest::newRow("beyond the leap rule") << int(BatchKind::Koyomi) << 2090 << 2100 << "x";
        QTest::newRow("no folder") << int(BatchKind::Casio) << 0 << 0 << "";
    }
    void requestsOutsideTheRulesAreRefused() {
        QFETCH(int, kind);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, out);
        BatchRequest r{BatchKind(kind), batchtest::DataDir(), out, from, to};
        QVERIFY(!CompleteRequest(r).isEmpty());
        const BatchOutcome o = RunBatch(r);
        QVERIFY(!o.ok);
        QCOMPARE(o.moments, 0L);
    }
};

QTEST_GUILESS_MAIN(TestBatchExports)
#include "tst_exports.moc"
