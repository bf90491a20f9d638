// The convention profile chosen for a client on the data page: the combo
// 「流派」 is there only once the settings have a profile besides 標準, lists
// them with 「（既定）」 and a stored name the settings lack, writes the choice
// at once, goes back when the write is refused, follows the current person
// and the settings, and is disabled with the reason on a read-only register.
#include "common/register_lock.h"
#include "main/data_input_page.h"
#include "main/help_topics.h"
#include "register/person_table.h"
#include "store/convention_profiles.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSqlQuery>
#include <QTest>

using namespace zelvara;
using zelvara::testing::Person;

namespace {

const Person kHanako{QStringLiteral("山田花子"), QStringLiteral("1972"),        QStringLiteral("5"),
                     QStringLiteral("7"),        QStringLiteral("05:00-07:00"), QStringLiteral("女")};
const Person kTaro{QStringLiteral("山本太郎"), QStringLiteral("1970"),        QStringLiteral("3"),
                   QStringLiteral("1"),        QStringLiteral("13:00-15:00"), QStringLiteral("男")};
const QString kZhongzhou = QStringLiteral("中州派");

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

}  // namespace

class TestProfileChoice : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;
    std::unique_ptr<TMainForm1> w_;

    void Start(bool withProfiles) {
        w_.reset();
        home_ = testing::ProgramFolder();
        if (withProfiles) SetProfiles(true);
        Launch();
        testing::AddPeople(w_->Persons(), {kHanako, kTaro});
    }
    void Launch() {
        w_.reset();
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_->path()));
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    }
    // One profile besides 標準 in the settings, or none (an empty file).
    void SetProfiles(bool on) {
        const QString ini = home_->filePath(QStringLiteral("zelv.ini"));
        if (on) {
            QVERIFY(SettingsFile(ini).Write(kProfilesSection, kZhongzhou, QStringLiteral("year-start=lunar-new-year")));
            return;
        }
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    QComboBox* Box() { return w_->findChild<QComboBox*>(QStringLiteral("profileBox")); }
    qint64 CurrentRowId() { return w_->Persons().Record(w_->Persons().CurrentRow()).rowId; }
    bool Shown() { return Box()->isVisibleTo(w_.get()); }

private slots:
    void cleanup() { w_.reset(); }

    // Without profiles in the settings the page is as it always was, and
    // the register file gains nothing.
    void hiddenWithoutProfiles() {
        Start(false);
        QVERIFY(!Shown());
        QVERIFY(!w_->findChild<QLabel*>(QStringLiteral("profileLabel"))->isVisibleTo(w_.get()));
        QCOMPARE(w_->DataPage().CurrentProfileName(), QString());
        w_->Persons().Next();
        QVERIFY(!Shown());
        const QString path = w_->Persons().FilePath();
        w_.reset();
        RecordingSink sink;
        PersonTable table(sink);
        QVERIFY(table.OpenPath(path, PersonTable::OpenMode::ReadOnly));
        QSqlQuery q(table.Connection());
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE 'person_profile%'")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    void choosingWritesAtOnce() {
        Start(true);
        QVERIFY(Shown());
        QCOMPARE(Items(Box()), (QStringList{QStringLiteral("（既定）"), QStringLiteral("標準"), kZhongzhou}));
        QCOMPARE(Box()->currentIndex(), 0);
        auto* label = w_->findChild<QLabel*>(QStringLiteral("profileLabel"));
        QCOMPARE(label->buddy(), Box());
        // Its access key is the page's only one of that letter.
        for (const QAbstractButton* b : w_->findChildren<QAbstractButton*>())
            QVERIFY2(!b->isVisibleTo(w_.get()) || !b->text().contains(QStringLiteral("&R")), qPrintable(b->text()));
        QVERIFY(label->text().contains(QStringLiteral("&R")));
        QCOMPARE(HelpAnchorOf(Box()), QStringLiteral("topic21"));
        testing::Snapshot(w_.get(), QStringLiteral("data_page_profile"));

        Box()->setFocus();
        QTest::keyClick(Box(), Qt::Key_Down);  // 標準
        QTest::keyClick(Box(), Qt::Key_Down);  // 中州派
        QCOMPARE(w_->Persons().Profile(CurrentRowId()), kZhongzhou);
        QCOMPARE(w_->DataPage().CurrentProfileName(), kZhongzhou);
        QVERIFY(w_->Persons().Next());
        QCOMPARE(Box()->currentText(), QStringLiteral("（既定）"));
        QVERIFY(w_->Persons().Prior());
        QCOMPARE(Box()->currentText(), kZhongzhou);

        // A name from another computer's settings stays, marked.
        QVERIFY(w_->Persons().WriteProfile(CurrentRowId(), QStringLiteral("よその流派")).Ok());
        w_->DataPage().RefreshProfiles();
        QCOMPARE(Box()->currentText(), QStringLiteral("よその流派（この設定にない）"));
        QCOMPARE(w_->DataPage().CurrentProfileName(), QStringLiteral("よその流派"));

        // A person not yet in the register: refused, and the combo goes back.
        QVERIFY(w_->Persons().Append());
        w_->DataPage().RefreshProfiles();
        sink_.Clear();
        QTest::keyClick(Box(), Qt::Key_Down);
        QVERIFY2(sink_.Last().contains(QStringLiteral("登録")), qPrintable(sink_.Last()));
        QCOMPARE(Box()->currentIndex(), 0);
        w_->Persons().Cancel();

        // The settings lose their profiles: the combo goes with them.
        SetProfiles(false);
        w_->DataPage().RefreshProfiles();
        QVERIFY(!Shown());
    }

    void readOnlyRegisterDisablesTheChoice() {
        Start(true);
        const QString path = w_->Persons().FilePath();
        w_.reset();
        RegisterLock elsewhere(path);
        QVERIFY(elsewhere.held());
        Launch();
        QVERIFY(Shown());
        QVERIFY(!Box()->isEnabled());
        QVERIFY2(Box()->toolTip().contains(QStringLiteral("使用中")), qPrintable(Box()->toolTip()));
    }
};

QTEST_MAIN(TestProfileChoice)
#include "tst_profile_choice.moc"
