// The settings window's CSV doors on an open register: export through the
// file dialog in either encoding, import with its confirmation and summary,
// and a refused file that leaves the register as it was.
#include "main/register_csv_window.h"
#include "register/person_table.h"
#include "register/register_csv.h"
#include "tests/recording_sink.h"
#include "tests/register/register_test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zelvara;
using namespace register_test;

namespace {

// Answers the modal dialogs as they come: a file dialog gets `file`, a
// question box `answer`, any other box is closed; the texts are recorded.
class DialogAnswers : public QObject {
public:
    DialogAnswers(QString file, bool answer) : file_(std::move(file)), answer_(answer) {
        connect(&timer_, &QTimer::timeout, this, &DialogAnswers::Answer);
        timer_.start(20);
    }
    QStringList texts;

private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            // selectFile() leaves the name box alone once it has the focus,
            // which comes at a moment of the window system's choosing: the
            // folder and the name are set as a user would type them.
            files->setDirectory(QFileInfo(file_).absolutePath());
            auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) QFAIL("the file dialog has no name box");
            name->setText(QFileInfo(file_).fileName());
            static_cast<QDialog*>(files)->accept();  // public in QDialog
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts << box->text();
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            if (yes && answer_)
                yes->click();
            else if (QAbstractButton* no = box->button(QMessageBox::No))
                no->click();
            else
                box->accept();
        }
    }
    QString file_;
    bool answer_;
    QTimer timer_;
};

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestCsvWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(QDir::setCurrent(cwd_.path()));  // the save dialog opens on a small, quiet folder
    }

    void exportThenImportIntoAnotherRegister() {
        QTemporaryDir dir, other;
        RecordingSink sink;
        PersonTable table(sink), target(sink);
        QVERIFY(table.Open(dir.path()));
        AddPerson(table, QStringLiteral("山田, \"花子\"～"));
        AddPerson(table, QStringLiteral("見本太郎"));
        QWidget parent;
        const QString csv = dir.filePath("out.csv");
        {
            DialogAnswers answers(csv, true);
            ExportRegisterCsvDialog(&parent, table);  // through the file dialog
            QVERIFY2(answers.texts.value(0).contains(QStringLiteral("2 件")), qPrintable(answers.texts.join('|')));
        }
        QVERIFY(Read(csv).startsWith("\xEF\xBB\xBF"));

        QVERIFY(target.Open(other.path()));
        AddPerson(target, QStringLiteral("見本太郎"));
        int resets = 0;
        connect(&target, &PersonTable::recordsReset, this, [&resets] { ++resets; });
        {
            DialogAnswers answers(csv, true);
            ImportRegisterCsvDialog(&parent, target, csv);
            QCOMPARE(answers.texts.size(), 2);
            QVERIFY2(answers.texts[0].contains(QStringLiteral("1 件を名簿に加えます。同じ人物がすでにある 1 件")),
                     qPrintable(answers.texts[0]));
            QVERIFY2(answers.texts[1].contains(QStringLiteral("1 件を読み込みました")), qPrintable(answers.texts[1]));
        }
        QCOMPARE(target.RecordCount(), 2);  // the view shows the new record
        QVERIFY(resets > 0);
        QCOMPARE(target.Record(1).values[kFieldName], QStringLiteral("山田, \"花子\"～"));
    }

    void declinedOrRefusedLeavesTheRegister_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray header =
            QStringLiteral("氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別\r\n").toUtf8();
        QTest::newRow("declined") << header + "a,1959,5,7,05:00-07:00,\xE5\xA5\xB3\r\n"
                                  << QStringLiteral("1 件を名簿に加えます");
        QTest::newRow("truncated") << header + "\"a,1959" << QStringLiteral("2 行目から始まる引用符");
        QTest::newRow("all refused") << header + "a,1959,5,7,05:00-07:00,x\r\n" << QStringLiteral("2 行目: 性別「x」");
    }
    void declinedOrRefusedLeavesTheRegister() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        RecordingSink sink;
        PersonTable table(sink);
        QVERIFY(table.Open(dir.path()));
        AddPerson(table, QStringLiteral("甲"));
        const QString csv = dir.filePath("in.csv");
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QWidget parent;
        DialogAnswers answers(csv, false);
        ImportRegisterCsvDialog(&parent, table, csv);
        QVERIFY2(answers.texts.join('|').contains(expected), qPrintable(answers.texts.join('|')));
        QCOMPARE(table.AllRecords().size(), size_t(1));
    }

private:
    QTemporaryDir cwd_;
};

QTEST_MAIN(TestCsvWindow)
#include "tst_csv_window.moc"
