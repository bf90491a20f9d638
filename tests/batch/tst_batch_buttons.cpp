// The hidden batch buttons of the real main window: shown only to
// maintainers; a click runs the tool into the chosen folder and leaves the
// person register and the chart record alone.
#include "main/batch_buttons.h"
#include "main/main_window.h"
#include "tests/batch/batch_test_support.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QCryptographicHash>
#include <QPushButton>
#include <QTemporaryDir>

using namespace zelvara;

namespace {

QByteArray Sha(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

const char* const kNames[] = {"datacreate", "TXTbtn", "CASIOBTN", "SpeedButton5"};

}  // namespace

class TestBatchButtons : public QObject {
    Q_OBJECT
    QTemporaryDir home_;
    RecordingSink sink_;

    std::unique_ptr<TMainForm1> Start(bool maintainer) {
        const QDir data(batchtest::DataDir());
        for (const QString& f : data.entryList({"*.eto", "*.bmp"}, QDir::Files))
            if (!QFile::exists(home_.filePath(f))) QFile::link(data.filePath(f), home_.filePath(f));
        StartupOptions o = testing::QuietStartup(home_.path());
        o.maintainer = maintainer;
        return testing::StartMainWindow(sink_, o);
    }

private slots:
    void shownOnlyToMaintainers() {
        for (bool maintainer : {false, true}) {
            auto w = Start(maintainer);
            for (const char* name : kNames) {
                auto* b = w->findChild<QPushButton*>(name);
                QVERIFY2(b, name);
                QCOMPARE(b->isVisibleTo(b->parentWidget()), maintainer);
            }
        }
    }

    void clickWritesIntoTheChosenFolderOnly() {
        auto w = Start(true);
        PersonTable& persons = w->Persons();
        QVERIFY(persons.Append());
        persons.SetValue(kFieldName, QStringLiteral("見本花子"));
        persons.SetValue(kFieldYear, QStringLiteral("1965"));
        QVERIFY(persons.Post());
        const QByteArray registerBefore = Sha(home_.filePath("nam_data.db"));
        const int birthYear = w->Context().man.birthYear;

        QTemporaryDir out;
        auto* wiring = w->findChild<BatchButtons*>();
        QVERIFY(wiring);
        QStringList asked;
        wiring->SetFolderChooser([&](QWidget*, const QString& title, const QString&) {
            asked << title;
            return out.path();
        });
        sink_.messages.clear();
        auto* casio = w->findChild<QPushButton*>("CASIOBTN");
        casio->click();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(QDir(out.filePath("CASIO")).entryList(QDir::Files).size(), 96);
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.messages[0].contains(QStringLiteral("ファイル 96 個")), qPrintable(sink_.messages[0]));
        QCOMPARE(casio->text(), QStringLiteral("CASIO"));
        QVERIFY(casio->isEnabled());

        w->findChild<QPushButton*>("SpeedButton5")->click();
        QCOMPARE(batchtest::ReadLines(out.filePath("zelv1921.txt")).size(), 334);

        QCOMPARE(Sha(home_.filePath("nam_data.db")), registerBefore);
        QCOMPARE(persons.Value(kFieldName), QStringLiteral("見本花子"));
        QCOMPARE(persons.Value(kFieldYear), QStringLiteral("1965"));
        QCOMPARE(w->Context().man.birthYear, birthYear);
    }

    // A missing calendar file is said in a message, never as a success, and
    // nothing is written into the chosen folder.
    void missingCalendarFileIsReportedNotASuccess() {
        auto w = Start(true);
        const QString missing = home_.filePath("1951.eto");
        const QString shipped = QFile::symLinkTarget(missing);
        QVERIFY(QFile::remove(missing));
        QTemporaryDir out;
        w->findChild<BatchButtons*>()->SetFolderChooser(
            [&](QWidget*, const QString&, const QString&) { return out.path(); });
        sink_.messages.clear();
        auto* button = w->findChild<QPushButton*>("TXTbtn");
        button->click();
        const bool restored = QFile::link(shipped, missing);

        QCOMPARE(sink_.messages.size(), 1);
        const QString& said = sink_.messages[0];
        QVERIFY2(said.contains(QStringLiteral("1951.etonot found ?")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("完了しませんでした")), qPrintable(said));
        QVERIFY2(!said.contains(QStringLiteral("作りました")), qPrintable(said));
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        QCOMPARE(button->text(), QStringLiteral("2TXT"));
        QVERIFY(button->isEnabled());
        QVERIFY(restored);
    }

    void cancelledFolderRunsNothing() {
        auto w = Start(true);
        w->findChild<BatchButtons*>()->SetFolderChooser(
            [](QWidget*, const QString&, const QString&) { return QString(); });
        sink_.messages.clear();
        w->findChild<QPushButton*>("TXTbtn")->click();
        QVERIFY(sink_.messages.isEmpty());
    }
};

QTEST_MAIN(TestBatchButtons)
#include "tst_batch_buttons.moc"
