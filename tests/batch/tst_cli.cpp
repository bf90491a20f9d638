// zelvara-cli export, checked against zelvara-cli chart: for a handful of
// moments the exported line and record hold what the chart command prints.
#include "batch/batch_moments.h"
#include "batch/koyomi_table.h"
#include "tests/batch/batch_test_support.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace zelvara::batch;
using batchtest::ReadLines;

namespace {

const char* const kHours[12] = {"23:00-01:00", "01:00-03:00", "03:00-05:00", "05:00-07:00",
                                "07:00-09:00", "09:00-11:00", "11:00-13:00", "13:00-15:00",
                                "15:00-17:00", "17:00-19:00", "19:00-21:00", "21:00-23:00"};

struct Cli {
    int exitCode = -1;
    QString out, err;
};

Cli RunCli(QStringList args, const QString& home = batchtest::DataDir()) {
    QProcess p;
    p.setProgram(QStringLiteral(ZELVARA_CLI));
    p.setArguments(args << "--home" << home);
    p.start();
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QJsonObject Chart(int y, int m, int d, int h) {
    const Cli c = RunCli({"chart", "--sex", "男", "--date", QStringLiteral("%1/%2/%3").arg(y).arg(m).arg(d), "--hour",
                          kHours[h], "--json"});
    return QJsonDocument::fromJson(c.out.toUtf8()).object();
}

QString Code(int v) { return QString(QChar(CodeChar(v))); }

QString PillarCodes(const QJsonObject& chart) {
    QString s;
    for (const char* set : {"stems", "branches"})
        for (const char* key : {"year", "month", "day", "hour"}) s += Code(chart[set].toObject()[key].toInt());
    return s;
}

// Line number of a moment in its year's 2TXT file.
int LineOf(int y, int m, int d, int h) {
    int days = d - 1;
    for (int k = 1; k < m; ++k) days += MonthLength(y, k);
    return days * 12 + h;
}

struct Moment {
    int y, m, d, h;
};
// A program folder of its own with a copy of every calendar data file.
bool CopyCalendarData(const QString& home) {
    const QDir data(batchtest::DataDir());
    for (const QString& eto : data.entryList({"*.eto"}, QDir::Files))
        if (!QFile::copy(data.filePath(eto), QDir(home).filePath(eto))) return false;
    return true;
}

// Replaces line (1-based) of a calendar data file.
bool ReplaceLine(const QString& path, int line, const QByteArray& text) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QList<QByteArray> lines = f.readAll().split('\n');
    f.close();
    if (line < 1 || line > lines.size()) return false;
    lines[line - 1] = text + "\r";
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(lines.join('\n')) > 0;
}

bool WriteText(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray Content(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file below the folder, relative to it.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

const QByteArray kOlder = "an older output, kept\r\n";

const Moment kMoments[] = {{1925, 1, 1, 0}, {1926, 6, 15, 5}, {1927, 11, 30, 11}, {1928, 2, 29, 7}, {1928, 12, 31, 11}};
const Moment kKoyomiMoments[] = {{1930, 1, 1, 0}, {1930, 2, 4, 3}, {1930, 7, 21, 6}, {1930, 12, 31, 11}};

}  // namespace

class TestBatchCli : public QObject {
    Q_OBJECT
    QTemporaryDir out_;

private slots:
    void twoTxtLinesMatchTheChartCommand() {
        const Cli run = RunCli({"export", "2txt", "--out", out_.path(), "--from", "1925", "--to", "1928"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("4 files, 17532 moments"), qPrintable(run.out));
        QVERIFY2(run.out.contains("refused by the engine: 0 moments"), qPrintable(run.out));
        for (const Moment& t : kMoments) {
            const QJsonObject chart = Chart(t.y, t.m, t.d, t.h);
            QString expected = QStringLiteral("%1/%2/%3,")
                                   .arg(t.m, 2, 10, QChar('0'))
                                   .arg(t.d, 2, 10, QChar('0'))
                                   .arg(t.h, 2, 10, QChar('0'));
            expected += PillarCodes(chart) + ",";
            for (const QJsonValue v : chart["mainStar"].toArray()) expected += Code(v.toInt());
            const QStringList lines = ReadLines(out_.filePath(QStringLiteral("zelv%1.txt").arg(t.y)));
            QCOMPARE(lines.value(LineOf(t.y, t.m, t.d, t.h)), expected);
        }
    }

    void casioLineMatchesTheChartCommand() {
        const Cli run = RunCli({"export", "casio", "--out", out_.path()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("96 files"), qPrintable(run.out));
        const QJsonObject chart = Chart(1924, 2, 29, 9);
        const QString expected =
            PillarCodes(chart) + Code(chart["firstLuckAgeMale"].toInt()) + Code(chart["firstLuckAgeFemale"].toInt()) +
            Code(chart["starBranch"].toArray()[0].toInt()) + Code(chart["starBranch"].toArray()[6].toInt());
        QCOMPARE(ReadLines(out_.filePath("CASIO/192402.dat")).value(28 * 12 + 9), expected);
    }

    void koyomiRecordsMatchTheChartCommand() {
        const Cli run = RunCli({"export", "koyomi", "--out", out_.path(), "--from", "1930", "--to", "1930"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "golden");
            db.setDatabaseName(out_.filePath("koyomi.DB"));
            QVERIFY(db.open());
            for (const Moment& t : kKoyomiMoments) {
                const QJsonObject chart = Chart(t.y, t.m, t.d, t.h);
                QSqlQuery q(db);
                q.prepare("SELECT * FROM koyomi WHERE KOYOMI = ?");
                q.addBindValue(KoyomiKey(t.y, t.m, t.d, t.h));
                QVERIFY(q.exec() && q.next());
                QString pillars;
                for (int i = 1; i <= 8; ++i) pillars += Code(q.value(i).toInt());
                QCOMPARE(pillars, PillarCodes(chart));
                QCOMPARE(q.value("ritsuM").toInt(), chart["firstLuckAgeMale"].toInt());
                QCOMPARE(q.value("ritsuF").toInt(), chart["firstLuckAgeFemale"].toInt());
                const QJsonArray box = chart["boxText"].toArray();
                for (int p = 1; p <= 12; ++p)
                    for (int r = 1; r <= 6; ++r)
                        QCOMPARE(q.value(KoyomiSlotField(p, r)).toString(), box[p - 1].toArray()[r - 1].toString());
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("golden");
    }

    // A missing or broken calendar file stops every export before it writes
    // anything, with the loader's message; an older output stays as it was.
    void calendarFileFaultStopsBeforeWriting_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("eto");  // the file removed, or broken when line > 0
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("older");  // an output of an earlier run
        QTest::addColumn<QString>("says");
        QTest::newRow("2txt, 1951 missing") << QStringList{"export", "2txt"} << "1951.eto" << 0 << "zelv1925.txt"
                                            << "1951.etonot found ?";
        QTest::newRow("koyomi, 1951 missing") << QStringList{"export", "koyomi"} << "1951.eto" << 0 << "koyomi.DB"
                                              << "1951.etonot found ?";
        QTest::newRow("casio, 1925 missing") << QStringList{"export", "casio"} << "1925.eto" << 0 << "CASIO/192201.dat"
                                             << "1925.etonot found ?";
        QTest::newRow("kyu, 1922 missing") << QStringList{"export", "kyu"} << "1922.eto" << 0 << "zelv1921.txt"
                                           << "1922.etonot found ?";
        QTest::newRow("2txt, 1951 with lunar month 0")
            << QStringList{"export", "2txt"} << "1951.eto" << 13 << "zelv1925.txt"
            << "1951.eto 13行目の旧暦の月「0」";
    }
    void calendarFileFaultStopsBeforeWriting() {
        QFETCH(QStringList, args);
        QFETCH(QString, eto);
        QFETCH(int, line);
        QFETCH(QString, older);
        QFETCH(QString, says);
        QTemporaryDir home, out;
        QVERIFY(CopyCalendarData(home.path()));
        if (line > 0)
            QVERIFY(ReplaceLine(home.filePath(eto), line, "6-8:0/6-30,29"));
        else
            QVERIFY(QFile::remove(home.filePath(eto)));
        QVERIFY(WriteText(out.filePath(older), kOlder));

        const Cli run = RunCli(args << "--out" << out.path(), home.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
        QVERIFY2(!run.out.contains("files"), qPrintable(run.out));
        QCOMPARE(FilesBelow(out.path()), QStringList{older});
        QCOMPARE(Content(out.filePath(older)), kOlder);
    }

    // A moment the engine refuses stops the export; it names the moment, and
    // the file that would hold it is not put in place. The refusals before the
    // first term of 1921 (1921-01-06) are the calendar's start, not a fault:
    // with January's term moved to the 20th, the 7th is refused.
    void refusedMomentStopsTheExport_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("older");
        QTest::newRow("2txt") << "2txt"
                              << "zelv1921.txt";
        QTest::newRow("casio") << "casio"
                               << "CASIO/192101.dat";
        QTest::newRow("koyomi") << "koyomi"
                                << "koyomi.DB";
    }
    void refusedMomentStopsTheExport() {
        QFETCH(QString, kind);
        QFETCH(QString, older);
        QTemporaryDir home, out;
        QVERIFY(CopyCalendarData(home.path()));
        QVERIFY(ReplaceLine(home.filePath("1921.eto"), 2, "6-2:20:4:31"));
        QVERIFY(WriteText(out.filePath(older), kOlder));

        const Cli run = RunCli({"export", kind, "--from", "1921", "--to", "1921", "--out", out.path()}, home.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("1921/01/07 23:00-01:00"), qPrintable(run.err));
        QCOMPARE(Content(out.filePath(older)), kOlder);
        for (const QString& file : FilesBelow(out.path()))
            QVERIFY2(file == older || file == "koyomi.DB.part", qPrintable(file));
    }

    // January 1921 before its first term is refused in every run over it, and
    // the run still completes.
    void startOfTheCalendarIsNoFault() {
        QTemporaryDir out;
        const Cli run = RunCli({"export", "2txt", "--from", "1921", "--to", "1921", "--out", out.path()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("first: 1921/01/01 23:00-01:00"), qPrintable(run.out));
        QCOMPARE(ReadLines(out.filePath("zelv1921.txt")).size(), 4380);
    }

    // A killed export leaves its temporary file; the next run removes it.
    void leftoverOfAKilledRunIsRemoved_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("leftover");
        QTest::newRow("2txt") << QStringList{"export", "2txt", "--from", "1925", "--to", "1925"} << "zelv1951.txt.part";
        QTest::newRow("kyu") << QStringList{"export", "kyu"} << "zelv1921.txt.part";
        QTest::newRow("casio") << QStringList{"export", "casio", "--from", "1922", "--to", "1922"}
                               << "CASIO/192905.dat.part";
        QTest::newRow("koyomi") << QStringList{"export", "koyomi", "--from", "1930", "--to", "1930"}
                                << "koyomi.DB.part";
    }
    void leftoverOfAKilledRunIsRemoved() {
        QFETCH(QStringList, args);
        QFETCH(QString, leftover);
        QTemporaryDir out;
        QVERIFY(WriteText(out.filePath(leftover), "half a file"));
        const Cli run = RunCli(args << "--out" << out.path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        for (const QString& file : FilesBelow(out.path())) QVERIFY2(!file.endsWith(".part"), qPrintable(file));
    }

    void badRequestsGetAClearMessage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown tool") << QStringList{"export", "3txt", "--out", "x"} << 2 << "3txt";
        QTest::newRow("no tool") << QStringList{"export", "--out", "x"} << 2 << "koyomi, 2txt, casio, kyu";
        QTest::newRow("旧 with years") << QStringList{"export", "kyu", "--out", "x", "--from", "1925"} << 2 << "1921";
        QTest::newRow("year not a number")
            << QStringList{"export", "2txt", "--out", "x", "--from", "S40"} << 2 << "S40";
        QTest::newRow("no folder") << QStringList{"export", "casio"} << 2 << "フォルダ";
        QTest::newRow("folder under a file")
            << QStringList{"export", "casio", "--out", "/dev/null/casio"} << 1 << "/dev/null/casio";
    }
    void badRequestsGetAClearMessage() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const Cli run = RunCli(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestBatchCli)
#include "tst_cli.moc"
