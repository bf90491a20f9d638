// The main window's work across clients and on one client's own data, on a
// real register file: 予定 lists the coming appointments and opens the
// client, 記録検索 needs two characters and shows the passage, and the data
// page's 個人データ menu writes a client's data out (CSV and PDF) and erases
// it after a confirmation naming what goes.
#include "main/consultation_list_windows.h"
#include "main/consultation_page.h"
#include "main/main_window.h"
#include "register/consultation_listing_model.h"
#include "register/consultation_storage.h"
#include "register/person_fields.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;

class TestConsultationWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;
    QStringList asked_;
    bool answer_ = true;
    std::unique_ptr<TMainForm1> w_;
    std::vector<qint64> clients_;  // 山田花子, 佐藤一郎, 鈴木次郎
    std::vector<qint64> entries_;

    template <typename T>
    T* Find(QObject* in, const char* name) {
        return in->findChild<T*>(QString::fromLatin1(name));
    }
    void Add(int client, int inDays, const QString& time, const QString& theme, const QString& notes) {
        QString why;
        auto book = OpenConsultations(w_->Persons(), &why);
        QVERIFY2(book, qPrintable(why));
        ConsultationEntry e;
        e.client = clients_[size_t(client)];
        e.date = QDate::currentDate().addDays(-30);
        e.theme = theme;
        e.notes = notes;
        e.nextDate = QDate::currentDate().addDays(inDays);
        e.nextTime = time;
        const PersonWrite w = book->Insert(e);
        QVERIFY2(w.Ok(), qPrintable(w.why));
        entries_.push_back(w.rowId);
    }

private slots:
    void init() {
        home_ = testing::ProgramFolder();
        asked_.clear();
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_->path()), [this](const QString& text) {
            asked_ << text;
            return answer_;
        });
        testing::AddPeople(w_->Persons(), {{"山田花子", "1965", "3", "14", "09:00-11:00", "女"},
                                           {"佐藤一郎", "1970", "8", "2", "05:00-07:00", "男"},
                                           {"鈴木次郎", "1980", "1", "20", "13:00-15:00", "男"}});
        clients_.clear();
        entries_.clear();
        for (int r = 0; r < 3; ++r) clients_.push_back(w_->Persons().Record(r).rowId);
        Add(0, 2, QStringLiteral("10:00"), QStringLiteral("仕事"),
            QStringLiteral("転職の時期を相談された。来春が良い。"));
        Add(1, 0, QStringLiteral("09:00"), QStringLiteral("結婚"), QStringLiteral("相手との相性を見た。"));
        Add(2, 10, QStringLiteral("15:00"), QStringLiteral("健康"), QStringLiteral("秋に注意。"));
        sink_.messages.clear();
    }
    void cleanup() { w_.reset(); }

    // The two buttons sit in the bottom panel at the program's smallest size
    // without squeezing any caption.
    void bottomPanelHoldsTheNewButtons() {
        w_->resize(792, 571);
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
        QWidget* panel = Find<QWidget>(w_.get(), "Panel1");
        for (QPushButton* b : panel->findChildren<QPushButton*>())
            QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->text()));
        QCOMPARE(Find<QPushButton>(panel, "agendabtn")->text(), QStringLiteral("予定"));
        QCOMPARE(Find<QPushButton>(panel, "notesSearchbtn")->text(), QStringLiteral("記録検索"));
        testing::Snapshot(w_.get(), QStringLiteral("main-window-792x571"));
    }

    void agendaListsTheComingDaysAndOpensTheClient() {
        w_->show();
        Find<QPushButton>(w_.get(), "agendabtn")->click();
        auto* agenda = qobject_cast<TAgendaFrm*>(testing::TopLevel("TAgendaFrm"));
        QVERIFY(agenda && agenda->isVisible());
        QAbstractItemModel* model = agenda->List()->model();
        QCOMPARE(model->rowCount(), 2);  // today and in two days; not the one in ten
        QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("佐藤一郎"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("09:00"));
        QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("山田花子"));
        QCOMPARE(model->index(1, 3).data().toString(), QStringLiteral("仕事"));
        QVERIFY(model->index(1, 0).data().toString().startsWith(
            QDate::currentDate().addDays(2).toString(QStringLiteral("yyyy/MM/dd"))));
        agenda->SetDays(14);
        QCOMPARE(model->rowCount(), 3);
        QVERIFY2(agenda->Status().contains(QStringLiteral("3 件")), qPrintable(agenda->Status()));
        testing::Snapshot(agenda, QStringLiteral("agenda-window"));

        // Opening 山田花子's appointment from the chart page: she becomes the
        // current person, and the entry is shown on the 鑑定記録 page.
        auto* pages = Find<QTabWidget>(w_.get(), "PageControl1");
        pages->setCurrentIndex(1);
        QVERIFY(w_->Persons().Last());
        agenda->List()->selectRow(1);
        Find<QPushButton>(agenda, "openbtn")->click();
        QCOMPARE(w_->Persons().Value(kFieldName), QStringLiteral("山田花子"));
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("consultationsheet"));
        QCOMPARE(w_->Consultations().Edited().id, entries_[0]);
    }

    void searchNeedsTwoCharactersAndShowsThePassage() {
        w_->show();
        Find<QPushButton>(w_.get(), "notesSearchbtn")->click();
        auto* search = qobject_cast<TNotesSearchFrm*>(testing::TopLevel("TNotesSearchFrm"));
        QVERIFY(search && search->isVisible());
        Find<QLineEdit>(search, "queryEdit")->setText(QStringLiteral("転"));
        Find<QPushButton>(search, "searchbtn")->click();
        QCOMPARE(search->List()->model()->rowCount(), 0);
        QVERIFY2(search->Status().contains(QStringLiteral("2 文字以上")), qPrintable(search->Status()));

        Find<QLineEdit>(search, "queryEdit")->setText(QStringLiteral("転職"));
        Find<QPushButton>(search, "searchbtn")->click();
        QAbstractItemModel* model = search->List()->model();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("山田花子"));
        QVERIFY2(model->index(0, ConsultationListingModel::kPassageColumn)
                     .data()
                     .toString()
                     .contains(QStringLiteral("転職の時期")),
                 qPrintable(model->index(0, 3).data().toString()));
        search->resize(680, 300);
        testing::Snapshot(search, QStringLiteral("notes-search-window"));

        QVERIFY(w_->Persons().Last());
        search->List()->selectRow(0);
        search->OpenCurrent();
        QCOMPARE(w_->Persons().Value(kFieldName), QStringLiteral("山田花子"));
    }

    void personalDataIsWrittenOutAndErased() {
        const QString out = home_->filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        QString offered;
        w_->SetExportNameQuestion([&](const QString& suggested) {
            offered = suggested;
            return QDir(out).filePath(QFileInfo(suggested).fileName());
        });
        QCOMPARE(w_->Persons().Value(kFieldName), QStringLiteral("山田花子"));
        Find<QAction>(w_.get(), "exportPersonAction")->trigger();
        QVERIFY2(offered.endsWith(QStringLiteral("山田花子_個人データ")), qPrintable(offered));
        const QString base = QDir(out).filePath(QStringLiteral("山田花子_個人データ"));
        QVERIFY2(sink_.messages.join(QString()).contains(QStringLiteral("書き出しました")),
                 qPrintable(sink_.messages.join(QLatin1Char('\n'))));
        QFile csv(base + QStringLiteral(".csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().contains(QStringLiteral("転職の時期を相談された").toUtf8()));
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {base + QStringLiteral(".pdf"), QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(pdftotext.readAllStandardOutput()).contains(QStringLiteral("山田花子")));

        // Declined: nothing goes. Confirmed: she and her entry are gone.
        answer_ = false;
        Find<QAction>(w_.get(), "erasePersonAction")->trigger();
        QCOMPARE(asked_.size(), 1);
        QVERIFY2(asked_[0].contains(QStringLiteral("鑑定記録 1 件")), qPrintable(asked_[0]));
        QCOMPARE(w_->Persons().RecordCount(), 3);
        answer_ = true;
        Find<QAction>(w_.get(), "erasePersonAction")->trigger();
        QCOMPARE(w_->Persons().RecordCount(), 2);
        QVERIFY(w_->Persons().Value(kFieldName) != QStringLiteral("山田花子"));
        QVERIFY2(sink_.messages.last().contains(QStringLiteral("完全に削除しました")) &&
                     sink_.messages.last().contains(QStringLiteral("バックアップ")),
                 qPrintable(sink_.messages.last()));
        QString why;
        auto book = OpenConsultations(w_->Persons(), &why);
        QVERIFY(book->Search(QStringLiteral("転職"), 10, &why)->empty());
    }
};

QTEST_MAIN(TestConsultationWindows)
#include "tst_consultation_windows.moc"
