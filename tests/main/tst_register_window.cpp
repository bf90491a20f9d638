// The main window over a register that cannot be written: the chart is still
// cast and shown, the page says why nothing is kept, a refused write offers
// to discard the edit, and 終了 always ends the program after one question.
#include "common/register_lock.h"
#include "editors/reading_tables.h"
#include "main/app_windows.h"
#include "main/deleted_records_window.h"
#include "main/main_window.h"
#include "main/reading_pages.h"
#include "register/person_fields.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zelvara;
using zelvara::testing::TopLevel;

namespace {

// Another program's connection holding the register file locked.
class FileLockedElsewhere {
public:
    explicit FileLockedElsewhere(const QString& path) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("elsewhere"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~FileLockedElsewhere() {
        {
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("elsewhere"));
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("elsewhere"));
    }
};

}  // namespace

class TestRegisterWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;
    QStringList asked_;
    bool answer_ = true;
    std::unique_ptr<TMainForm1> w_;

    void PrepareHome() { home_ = testing::ProgramFolder(); }
    TMainForm1& Start() {
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_->path()), [this](const QString& text) {
            asked_ << text;
            return answer_;
        });
        return *w_;
    }
    template <typename T>
    T* Find(const char* name) {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }
    void TypePerson(const QString& name) {
        Find<QLineEdit>("inName")->setText(name);
        Find<QLineEdit>("inYy")->setText(QStringLiteral("1965"));
        Find<QComboBox>("inMm")->setCurrentText(QStringLiteral("3"));
        Find<QComboBox>("inDd")->setCurrentText(QStringLiteral("7"));
        Find<QComboBox>("inTime")->setCurrentText(QStringLiteral("03:00-05:00"));
        Find<QComboBox>("ChkSex")->setCurrentText(QStringLiteral("女"));
    }
    bool ChartShown() { return w_->Session().HasChart() && Find<QTabWidget>("PageControl1")->currentIndex() == 1; }

private slots:
    void init() {
        sink_ = RecordingSink();
        asked_.clear();
        answer_ = true;
    }
    void cleanup() { w_.reset(); }

    // No register at all: the boxes still take a birth and the chart is cast.
    void chartWithoutRegister() {
        PrepareHome();
        QVERIFY(QDir(home_->path()).mkdir("nam_data.db"));
        Start();
        QLabel* status = Find<QLabel>("registerStatus");
        QVERIFY(!status->isHidden());
        QVERIFY2(status->text().contains(QStringLiteral("開けません")), qPrintable(status->text()));
        QVERIFY(Find<QLineEdit>("inName")->isEnabled());
        TypePerson(QStringLiteral("登録なし"));
        sink_ = RecordingSink();
        Find<QPushButton>("btnOk")->click();
        QVERIFY2(ChartShown(), qPrintable(sink_.messages.join('\n')));
        QVERIFY(sink_.messages.isEmpty());
        QVERIFY(w_->close());
        QVERIFY(asked_.isEmpty());
    }

    // A second program on the register: read-only, says who holds it, casts
    // charts, writes nothing and ends without a question.
    void chartOnReadOnlyRegister() {
        PrepareHome();
        RecordingSink sink;
        PersonTable first(sink);
        QVERIFY(first.Open(home_->path()));
        first.Append();
        first.SetValue(kFieldName, QStringLiteral("先の人"));
        QVERIFY(first.Post());
        Start();
        QCOMPARE(w_->Persons().access(), PersonTable::Access::ReadOnly);
        QLabel* status = Find<QLabel>("registerStatus");
        QVERIFY(!status->isHidden());
        QVERIFY2(status->text().contains(QString::number(QCoreApplication::applicationPid())),
                 qPrintable(status->text()));
        TypePerson(QStringLiteral("先の人"));
        Find<QPushButton>("btnOk")->click();
        QVERIFY2(ChartShown(), qPrintable(sink_.messages.join('\n')));
        QVERIFY(sink_.messages.isEmpty());
        QVERIFY(w_->close());
        QVERIFY(asked_.isEmpty());
        PersonTable reread(sink);
        QVERIFY(reread.Open(home_->path()));
        QCOMPARE(reread.Record(0).values[kFieldYear], QString());  // no write-back
    }

    // The write-back is refused: the chart still stands, the user is told
    // what happened and may go back to the stored record.
    void refusedWriteBackKeepsTheChart() {
        PrepareHome();
        Start();
        TypePerson(QStringLiteral("書けない人"));
        QVERIFY(w_->Persons().Post());
        TypePerson(QStringLiteral("書けない人"));
        Find<QLineEdit>("inName")->setText(QStringLiteral("名前を変えた"));
        {
            FileLockedElsewhere lock(w_->Persons().FilePath());
            Find<QPushButton>("btnOk")->click();
        }
        QVERIFY(ChartShown());
        QCOMPARE(asked_.size(), 1);
        QVERIFY2(asked_[0].contains(QStringLiteral("nam_data.db")) && asked_[0].contains(QStringLiteral("破棄")),
                 qPrintable(asked_[0]));
        QCOMPARE(w_->Persons().Value(kFieldName), QStringLiteral("書けない人"));
        QVERIFY(!w_->Persons().IsModified());
    }

    // 終了 with an edit the register refuses: one question; yes ends the
    // program without the edit, no keeps both.
    void closeAsksOnce_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("discard and end") << true;
        QTest::newRow("stay") << false;
    }
    void closeAsksOnce() {
        QFETCH(bool, answer);
        PrepareHome();
        Start();
        TypePerson(QStringLiteral("終わる人"));
        QVERIFY(w_->Persons().Post());
        Find<QLineEdit>("inName")->setText(QStringLiteral("未保存"));
        answer_ = answer;
        bool closed = false;
        {
            FileLockedElsewhere lock(w_->Persons().FilePath());
            closed = w_->close();
        }
        QCOMPARE(closed, answer);
        QCOMPARE(asked_.size(), 1);
        QVERIFY2(asked_[0].contains(QStringLiteral("保存できなかった変更を破棄して終了しますか？")),
                 qPrintable(asked_[0]));
        QVERIFY(sink_.messages.isEmpty());
        QCOMPARE(w_->Persons().Value(kFieldName), answer ? QStringLiteral("終わる人") : QStringLiteral("未保存"));
        if (!answer) {  // the file is free again: the next 終了 saves and ends
            QVERIFY(w_->close());
            QCOMPARE(asked_.size(), 1);
        }
    }

    // A reading-text edit the table refuses: named, then one question; no
    // keeps the program and the edit, yes ends without it.
    void closeWithRefusedReadingEdit_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("end without it") << true;
        QTest::newRow("stay") << false;
    }
    void closeWithRefusedReadingEdit() {
        QFETCH(bool, answer);
        PrepareHome();
        Start();
        ReadingTables& tables = w_->Readings().Tables();
        QVERIFY(tables.ai01().SetValue(0, "天機星", "書けない😀"));
        answer_ = answer;
        QCOMPARE(w_->close(), answer);
        QCOMPARE(asked_.size(), 1);
        QVERIFY2(asked_[0].contains(QStringLiteral("破棄")), qPrintable(asked_[0]));
        QVERIFY2(sink_.Last().contains("Ai01.DB"), qPrintable(sink_.Last()));
        QCOMPARE(tables.HasPendingEdits(), !answer);
    }

    // The door to the deleted records lists them and brings one back.
    void deletedRecordsWindow() {
        PrepareHome();
        Start();
        TypePerson(QStringLiteral("消した人"));
        QVERIFY(w_->Persons().Post());
        QVERIFY(w_->Persons().Delete());
        QCOMPARE(w_->Persons().RecordCount(), 0);
        TDeletedRecordsFrm window(w_->Persons(), w_.get());
        window.Refresh();
        auto* list = window.findChild<QTableWidget*>("deletedList");
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->item(0, 2)->text(), QStringLiteral("消した人"));
        window.findChild<QPushButton*>("undeletebtn")->click();
        QCOMPARE(list->rowCount(), 0);
        QCOMPARE(w_->Persons().RecordCount(), 1);
        QCOMPARE(Find<QLineEdit>("inName")->text(), QStringLiteral("消した人"));

        // The settings window's door opens it over the running register.
        ApplicationWindows windows(*w_);
        QPushButton* door = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* b = top->findChild<QPushButton*>("deletedbtn")) door = b;
        }
        QVERIFY(door && !door->isHidden());
        bool shown = false;
        QTimer::singleShot(0, this, [&shown] {
            auto* dialog = qobject_cast<TDeletedRecordsFrm*>(QApplication::activeModalWidget());
            shown = dialog != nullptr;
            if (dialog) dialog->accept();
        });
        door->click();
        QVERIFY(shown);
    }

    // On a register another program holds, the buttons that write are
    // disabled and say why; once the register can be written they work again
    // with their own hints.
    void writingButtonsFollowTheRegistersAccess() {
        PrepareHome();
        RecordingSink sink;
        auto first = std::make_unique<PersonTable>(sink);
        QVERIFY(first->Open(home_->path()));
        Start();
        QCOMPARE(w_->Persons().access(), PersonTable::Access::ReadOnly);
        ApplicationWindows windows(*w_);
        QWidget* settings = TopLevel("TCunstomFrm");
        QVERIFY(settings);
        auto* importCsv = settings->findChild<QPushButton*>("csvinbtn");
        auto* importParadox = settings->findChild<QAction*>("paradoxregister");
        QVERIFY(importCsv && importParadox);
        TDeletedRecordsFrm deleted(w_->Persons(), w_.get());
        deleted.Refresh();
        auto* undelete = deleted.findChild<QPushButton*>("undeletebtn");
        const QList<QWidget*> writing{Find<QPushButton>("gonew"), Find<QPushButton>("gotoroku"),
                                      Find<QPushButton>("godel"), importCsv, undelete};
        for (QWidget* b : writing) {
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
            QVERIFY2(b->toolTip().startsWith(QStringLiteral("名簿が読み取り専用で開かれているため使えません。")),
                     qPrintable(b->objectName() + ": " + b->toolTip()));
            QVERIFY2(b->toolTip().contains(QString::number(QCoreApplication::applicationPid())),
                     qPrintable(b->toolTip()));
        }
        QVERIFY(!importParadox->isEnabled());
        QVERIFY(importParadox->toolTip().contains(QStringLiteral("読み取り専用")));
        for (const char* name : {"gotop", "gomae", "gosaki", "golast", "findbtn", "btnOk"})
            QVERIFY2(Find<QPushButton>(name)->isEnabled(), name);
        testing::Snapshot(w_.get(), "read_only_data_page");
        settings->adjustSize();
        testing::Snapshot(settings, "read_only_settings");

        first.reset();  // the other program ends
        w_->ReopenRegister();
        QCOMPARE(w_->Persons().access(), PersonTable::Access::Writable);
        deleted.Refresh();
        for (QWidget* b : writing)
            QVERIFY2(b != undelete ? b->isEnabled() : !b->toolTip().contains(QStringLiteral("読み取り専用")),
                     qPrintable(b->objectName()));
        QVERIFY(importParadox->isEnabled());
        QCOMPARE(Find<QPushButton>("gotoroku")->toolTip(), QStringLiteral("データを登録します"));
        QCOMPARE(importCsv->toolTip(), QStringLiteral("CSV ファイルの人物データを名簿に加えます"));
    }

    // 終了 while the settings window and a reading-text editor it opened are
    // shown: the refused reading edit is asked about once, every window
    // closes, the program's event loop ends, and with the main window the
    // register's lock is gone.
    void endClosesEveryWindowAndTheProgramEnds() {
        PrepareHome();
        Start();
        const QString lock = RegisterLock::LockPathFor(w_->Persons().FilePath());
        QVERIFY(QFile::exists(lock));
        {
            ApplicationWindows windows(*w_);
            w_->show();
            Find<QPushButton>("passbtn")->click();
            QWidget* settings = TopLevel("TCunstomFrm");
            QVERIFY(settings && settings->isVisible());
            settings->findChild<QPushButton*>("databasebtn")->click();
            QWidget* editor = TopLevel("Tdbenvfrm");
            QVERIFY(editor && editor->isVisible());
            QVERIFY(w_->Readings().Tables().ai01().SetValue(0, "天機星", "書けない😀"));

            QTimer stuck;  // the program did not end
            stuck.setSingleShot(true);
            connect(&stuck, &QTimer::timeout, this, [] { QCoreApplication::exit(1); });
            stuck.start(10000);
            QTimer::singleShot(0, this, [this] { Find<QPushButton>("endbtn")->click(); });
            QCOMPARE(QApplication::exec(), 0);
            QCOMPARE(asked_.size(), 1);
            QVERIFY(!settings->isVisible());
            QVERIFY(!editor->isVisible());
            QVERIFY(!w_->isVisible());
        }
        w_.reset();  // as main() ends
        QVERIFY(!QFile::exists(lock));
    }
};

QTEST_MAIN(TestRegisterWindow)
#include "tst_register_window.moc"
