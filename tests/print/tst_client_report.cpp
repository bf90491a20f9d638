// The 鑑定書 from zelvara-cli print report, read back: every chosen page in
// its order with the birth data and "n / N" on each, no two words of a page
// on top of each other, the cover's dates, the consultation's notes from the
// register, the logo; a page that cannot be made leaves no file.
#include "register/consultation_storage.h"
#include "register/person_table.h"
#include "store/convention_profiles.h"
#include "tests/print/pdf_words.h"
#include "tests/recording_sink.h"
#include "tests/register/register_test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using pdftest::ReadPdf;

namespace {

struct Run {
    int code = -1;
    QString out, err;
};

QString PdfInfo(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Words of a page whose boxes cross by more than a tenth of a millimetre.
QStringList Overlaps(const pdftest::Page& page) {
    QStringList found;
    constexpr double kSlack = 0.1;
    for (int i = 0; i < page.size(); ++i)
        for (int j = i + 1; j < page.size(); ++j) {
            const pdftest::Word& a = page[i];
            const pdftest::Word& b = page[j];
            if (a.x + kSlack < b.right && b.x + kSlack < a.right && a.y + kSlack < b.bottom && b.y + kSlack < a.bottom)
                found << a.text + QStringLiteral(" × ") + b.text;
        }
    return found;
}

}  // namespace

class TestClientReport : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_;
    QTemporaryDir out_;
    qint64 client_ = -1;
    QString birthDate_;

    Run Cli(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZELVARA_HOME"), home_.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZELVARA_CLI), QStringList{QStringLiteral("print"), QStringLiteral("report")} + args);
        Run r;
        if (!p.waitForFinished(60000)) return r;
        r.code = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QString Pdf(const QString& name) const { return out_.filePath(name); }
    QStringList Person() const { return {QStringLiteral("--person"), QString::number(client_)}; }

private slots:
    void initTestCase() {
        const QDir data(qEnvironmentVariable("ZELVARA_DATA_DIR"));
        for (const QString& f : data.entryList({QStringLiteral("*.eto")}, QDir::Files))
            QVERIFY(QFile::copy(data.filePath(f), home_.filePath(f)));
        RecordingSink sink;
        PersonTable table(sink);
        QVERIFY(table.Open(home_.path()));
        register_test::AddPerson(table, QStringLiteral("山田花子"));
        client_ = table.Record(0).rowId;
        const PersonValues& v = table.Record(0).values;
        birthDate_ = QStringLiteral("%1/%2/%3").arg(v[kFieldYear], v[kFieldMonth], v[kFieldDay]);
        QString why;
        auto book = OpenConsultations(table, &why);
        QVERIFY2(book, qPrintable(why));
        for (const auto& [date, notes] :
             {std::pair{"2027-01-10", "古い記録"}, std::pair{"2027-04-12", "転職は秋以降"}}) {
            ConsultationEntry e;
            e.client = client_;
            e.date = *ParseConsultationDate(QString::fromLatin1(date));
            e.time = QStringLiteral("14:00");
            e.theme = QStringLiteral("仕事");
            e.question = QStringLiteral("転職の時期について");
            e.notes = QString::fromUtf8(notes);
            QVERIFY(book->Insert(e).Ok());
        }
    }

    // Thirteen pages: the cover, each chosen page in its order, the newest
    // notes; birth data and the right "n / N" on every page; no words on top
    // of each other; the metadata and the embedded font; within a second.
    void twelvePagesReadBack() {
        const QString pdf = Pdf(QStringLiteral("鑑定書.pdf"));
        QElapsedTimer timer;
        timer.start();
        const Run r =
            Cli(Person() + QStringList{"--pages",
                                       "chart,graph,decade:3,year:2027,flying,overall:命宮,overall:財帛宮,luck,"
                                       "marriage,notes:LAST",
                                       "--pdf", pdf, "--title", "星読み舎", "--tel", "03-1234-5678"});
        const qint64 ms = timer.elapsed();
        QVERIFY2(r.code == 0, qPrintable(r.err));
        qInfo("13-page report written in %lld ms (the whole command)", ms);
        QVERIFY2(ms <= 1000, qPrintable(QString::number(ms)));
        const auto pages = ReadPdf(pdf);
        // Eleven pages chosen, the cover, and a reading that runs over a page.
        QCOMPARE(pages.size(), 13);
        const QString headings[] = {QStringLiteral("鑑 定 書"),
                                    QStringLiteral("【Zelvaraプロ版"),
                                    QStringLiteral("【出生図における１２宮の特徴を分析】"),
                                    QStringLiteral("大限3"),
                                    QStringLiteral("流年2027"),
                                    QStringLiteral("【飛星表】"),
                                    QStringLiteral("【命宮の診断】"),
                                    QStringLiteral("【財帛宮の診断】"),
                                    QStringLiteral("【行運の診断】"),
                                    QStringLiteral("【好きな異性・結婚にふさわしい相手】"),
                                    QStringLiteral("【鑑定記録】"),
                                    QString()};
        int page = 0;
        for (const pdftest::Page& words : pages) {
            ++page;
            const QString text = pdftest::PageText(words);
            QVERIFY2(text.contains(QStringLiteral("%1 / 13").arg(page)), qPrintable(text.right(200)));
            QVERIFY2(text.contains(QStringLiteral("生年月日：") + birthDate_), qPrintable(text.right(200)));
            QVERIFY2(text.contains(QStringLiteral("(著作)星読み舎")), qPrintable(text.right(200)));
            const QStringList overlaps = Overlaps(words);
            QVERIFY2(overlaps.isEmpty(), qPrintable(QStringLiteral("page %1: ").arg(page) + overlaps.join(", ")));
        }
        // A reading that runs over a page keeps the pages after it in order.
        for (int i = 0, at = 0; i < 11; ++i) {
            while (at < pages.size() && !pdftest::PageText(pages[at]).contains(headings[i])) ++at;
            QVERIFY2(at < pages.size(), qPrintable(headings[i]));
        }
        const QString last = pdftest::PageText(pages.last()) + pdftest::PageText(pages[pages.size() - 2]);
        QVERIFY(last.contains(QStringLiteral("転職は秋以降")));
        QVERIFY(!last.contains(QStringLiteral("古い記録")));
        const QString cover = pdftest::PageText(pages.first());
        QVERIFY2(cover.contains(QStringLiteral("令和9年4月12日（2027年4月12日）")), qPrintable(cover));
        const QString meta = PdfInfo({QStringLiteral("-meta"), pdf});
        QVERIFY2(meta.contains(QStringLiteral("星読み舎")) && meta.contains(QStringLiteral("山田花子 様の鑑定書")),
                 qPrintable(meta));
        QVERIFY(PdfInfo({pdf}).contains(QStringLiteral("鑑定書 山田花子 様")));
        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {pdf});
        QVERIFY(fonts.waitForFinished(30000));
        const QStringList rows = QString::fromUtf8(fonts.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY(rows.size() > 2);
        for (const QString& row : rows.mid(2)) QVERIFY2(row.contains(QStringLiteral(" yes ")), qPrintable(row));
    }

    // The cover's era changes on the day the era does.
    void coverDateInItsEra_data() {
        QTest::addColumn<QString>("on");
        QTest::addColumn<QString>("cover");
        QTest::newRow("last day of 平成") << "2019-04-30" << QStringLiteral("平成31年4月30日（2019年4月30日）");
        QTest::newRow("first day of 令和") << "2019-05-01" << QStringLiteral("令和元年5月1日（2019年5月1日）");
        QTest::newRow("昭和 64") << "1989-01-07" << QStringLiteral("昭和64年1月7日（1989年1月7日）");
    }
    void coverDateInItsEra() {
        QFETCH(QString, on);
        QFETCH(QString, cover);
        const QString pdf = Pdf(on + QStringLiteral(".pdf"));
        const Run r = Cli(Person() + QStringList{"--pages", "chart", "--on", on, "--pdf", pdf});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(pdftest::PageText(ReadPdf(pdf).value(0)).contains(cover));
    }

    // The settings' logo is on the cover; a logo that cannot be read is
    // named and the report is made without it.
    void logoFromTheSettings() {
        const QString logo = out_.filePath(QStringLiteral("logo.png"));
        QImage picture(200, 100, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        QVERIFY(picture.save(logo));
        const QString ini = out_.filePath(QStringLiteral("zelv.ini"));
        for (const auto& [file, images] :
             {std::pair{logo, 1}, std::pair{out_.filePath(QStringLiteral("none.png")), 0}}) {
            QFile settings(ini);
            QVERIFY(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
            settings.write(QStringLiteral("[owner]\ntitle=星読み舎\nlogo=%1\n").arg(file).toUtf8());
            settings.close();
            const QString pdf = Pdf(QStringLiteral("logo%1.pdf").arg(images));
            const Run r = Cli(Person() + QStringList{"--pages", "chart", "--settings", ini, "--pdf", pdf});
            QVERIFY2(r.code == 0, qPrintable(r.err));
            QCOMPARE(r.err.contains(QStringLiteral("ロゴの画像")), images == 0);
            QProcess list;
            list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), QStringLiteral("-f"), QStringLiteral("1"),
                                                     QStringLiteral("-l"), QStringLiteral("1"), pdf});
            QVERIFY(list.waitForFinished(30000));
            QCOMPARE(QString::fromUtf8(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).size() - 2,
                     images);
        }
    }

    // A person with an exact birth time and place kept in the register: the
    // report's chart sheet is cast from the corrected moment and names the
    // place, as the desktop program's is.
    void personsExactTimeOnTheSheet() {
        RecordingSink sink;
        PersonTable table(sink);
        QVERIFY(table.Open(home_.path()));
        register_test::AddPerson(table, QStringLiteral("佐藤一郎"));
        qint64 person = -1;
        for (int r = 0; r < table.RecordCount(); ++r)
            if (table.Record(r).values[kFieldName] == QStringLiteral("佐藤一郎")) person = table.Record(r).rowId;
        QVERIFY(person > 0);
        QVERIFY(
            table.WriteBirthTime(person, BirthTimeEntry{QStringLiteral("10:40"), {}, 141.35, {}, TimeCorrection::kMean})
                .Ok());
        table.Close();
        const QString pdf = Pdf(QStringLiteral("exact.pdf"));
        const Run r = Cli({"--person", QString::number(person), "--pages", "chart", "--pdf", pdf});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString sheet = pdftest::PageText(ReadPdf(pdf).value(1));
        QVERIFY2(sheet.contains(QStringLiteral("東経 141.35 度")), qPrintable(sheet));
        QVERIFY2(sheet.contains(QStringLiteral("10:40")), qPrintable(sheet));

        // The client's profile casts the report when no convention option is
        // given; a name the settings lack is said, and the default casts.
        QVERIFY(table.Open(home_.path()));
        QVERIFY(table.WriteProfile(person, QStringLiteral("旧暦月派")).Ok());
        table.Close();
        const QString ini = out_.filePath(QStringLiteral("client-profile.ini"));
        SettingsFile settings(ini);
        QVERIFY(SaveConventionProfile(settings, {"旧暦月派", *ParseConventionsText("palace-month=lunar")}));
        const QStringList args{"--person", QString::number(person), "--pages", "chart", "--pdf", pdf};
        Run byProfile = Cli(args + QStringList{"--settings", ini});
        QVERIFY2(byProfile.code == 0, qPrintable(byProfile.err));
        QVERIFY(pdftest::PageText(ReadPdf(pdf).value(0)).contains(QStringLiteral("流派：旧暦月派")));
        QVERIFY(pdftest::PageText(ReadPdf(pdf).value(1)).contains(QStringLiteral("旧暦月派：命宮 旧暦月")));
        QVERIFY(DeleteConventionProfile(settings, QStringLiteral("旧暦月派")));
        byProfile = Cli(args + QStringList{"--settings", ini});
        QVERIFY2(byProfile.code == 0, qPrintable(byProfile.err));
        QVERIFY2(byProfile.err.contains(QStringLiteral("旧暦月派")), qPrintable(byProfile.err));
        QVERIFY(pdftest::PageText(ReadPdf(pdf).value(0)).contains(QStringLiteral("流派：標準")));
        QVERIFY(!pdftest::PageText(ReadPdf(pdf).value(1)).contains(QStringLiteral("命宮 節月")));
    }

    // A profile other than 標準 is named on the cover's 流派 line, with its
    // conventions line under it and above the footer of every page; without
    // one the cover says 標準 and no page carries the line.
    void profileOnTheCoverAndEveryPage() {
        const QString ini = out_.filePath(QStringLiteral("profiles.ini"));
        QFile settings(ini);
        QVERIFY(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
        settings.write(QStringLiteral("[profiles]\n紫雲=transform-wu=ubitsu\n").toUtf8());
        settings.close();
        const QString line = QStringLiteral(
            "紫雲：命宮 節月・年 立春・23時 当日・旧暦 135°E・四化 戊科右弼 庚科天府 壬科天府・補正 なし");
        for (const bool named : {true, false}) {
            const QString pdf = Pdf(named ? QStringLiteral("profile.pdf") : QStringLiteral("standard.pdf"));
            QStringList args = Person() + QStringList{"--pages", "chart,flying,luck", "--settings", ini, "--pdf", pdf};
            if (named) args << QStringLiteral("--profile") << QStringLiteral("紫雲");
            const Run r = Cli(args);
            QVERIFY2(r.code == 0, qPrintable(r.err));
            const auto pages = ReadPdf(pdf);
            QVERIFY(pages.size() >= 4);
            QVERIFY2(pdftest::Has(pages[0], named ? QStringLiteral("流派：紫雲") : QStringLiteral("流派：標準")),
                     qPrintable(pdftest::PageText(pages[0])));
            QVERIFY(!pdftest::Has(pages[0], named ? QStringLiteral("流派：標準") : QStringLiteral("流派：紫雲")));
            QCOMPARE(pdftest::Count(pages[0], QStringLiteral("紫雲：命宮")),
                     named ? 2 : 0);  // under 流派 and the footer
            for (const pdftest::Page& page : pages) {
                QCOMPARE(pdftest::PageText(page).contains(line), named);
                QVERIFY2(Overlaps(page).isEmpty(), qPrintable(Overlaps(page).join(QStringLiteral(", "))));
            }
        }
    }

    // A page that cannot be made stops the command with a Japanese message;
    // no file is written.
    void refusedPagesWriteNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown word") << (Person() + QStringList{"--pages", "chart,horoscope"}) << 2
                                      << QStringLiteral("「horoscope」は作れません");
        QTest::newRow("decade 13") << (Person() + QStringList{"--pages", "decade:13"}) << 2
                                   << QStringLiteral("1 から 12");
        QTest::newRow("no such palace") << (Person() + QStringList{"--pages", "overall:天宮"}) << 2
                                        << QStringLiteral("宮名");
        QTest::newRow("notes without a person")
            << QStringList{"--sex", "女", "--date", "1965/3/7", "--hour", "07:00-09:00", "--pages", "notes:LAST"} << 2
            << QStringLiteral("--person");
        QTest::newRow("another client's entry")
            << (Person() + QStringList{"--pages", "chart,notes:99"}) << 1 << QStringLiteral("鑑定記録 99 はありません");
        QTest::newRow("no such person") << QStringList{"--person", "999", "--pages", "chart"} << 1
                                        << QStringLiteral("番号 999 の人物は名簿にいません");
    }
    void refusedPagesWriteNothing() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QString pdf = Pdf(QStringLiteral("refused.pdf"));
        const Run r = Cli(args + QStringList{"--pdf", pdf});
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(TestClientReport)
#include "tst_client_report.moc"
