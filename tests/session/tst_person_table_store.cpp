// The register behind the chart session's PersonStore: a cast's fields reach
// the file in one post, a register that cannot be written says why before
// anything is tried, and a field the register refuses fails the write.
#include "register/person_table.h"
#include "session/person_table_store.h"
#include "tests/recording_sink.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;

namespace {

PersonChartFields Fields(const QString& year) {
    PersonChartFields f;
    f.year = year;
    f.hour = QStringLiteral("05:00-07:00");
    f.mainStars[2] = QStringLiteral("紫薇");
    f.mainStars[8] = QStringLiteral("天府");
    return f;
}

}  // namespace

class TestPersonTableStore : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    RecordingSink sink_;

    // A register with one person, typed as on the data page and posted.
    void MakeRegister() {
        PersonTable table(sink_);
        QVERIFY(table.Open(dir_.path()));
        table.SetValue(kFieldName, QStringLiteral("見本"));
        table.SetValue(kFieldYear, QStringLiteral("S40"));
        QVERIFY(table.Post());
    }

private slots:
    void init() {
        QFile::remove(dir_.filePath(PersonTable::kFileName));
        sink_ = RecordingSink();
        MakeRegister();
    }

    void writesTheFieldsIntoTheFile() {
        {
            PersonTable table(sink_);
            QVERIFY(table.Open(dir_.path()));
            PersonTableStore store(table);
            QCOMPARE(store.Unavailability(), QString());
            QVERIFY(store.WriteChartFields(Fields(QStringLiteral("1965"))));
            QVERIFY(!table.IsModified());
        }
        PersonTable reread(sink_);
        QVERIFY(reread.Open(dir_.path()));
        QCOMPARE(reread.RecordCount(), 1);
        QCOMPARE(reread.Value(kFieldName), QStringLiteral("見本"));
        QCOMPARE(reread.Value(kFieldYear), QStringLiteral("1965"));
        QCOMPARE(reread.Value(kFieldTime), QStringLiteral("05:00-07:00"));
        QCOMPARE(reread.Value(PalaceFieldIndex(2)), QStringLiteral("紫薇"));
        QCOMPARE(reread.Value(PalaceFieldIndex(8)), QStringLiteral("天府"));
        QCOMPARE(reread.Value(PalaceFieldIndex(1)), QString());
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.Last()));
    }

    // Read-only (a second program) or never opened: a sentence for the user.
    void unavailableRegisterSaysWhy() {
        PersonTable readOnly(sink_);
        QVERIFY(readOnly.Open(dir_.path(), PersonTable::OpenMode::ReadOnly));
        const QString why = PersonTableStore(readOnly).Unavailability();
        QVERIFY2(why.contains(QStringLiteral("読み取り専用")), qPrintable(why));

        PersonTable closed(sink_);
        QVERIFY(!PersonTableStore(closed).Unavailability().isEmpty());
    }

    // A year the field cannot hold: refused with the register's message,
    // nothing in the file changes.
    void refusedFieldFailsTheWrite() {
        {
            PersonTable table(sink_);
            QVERIFY(table.Open(dir_.path()));
            QVERIFY(!PersonTableStore(table).WriteChartFields(Fields(QStringLiteral("19650"))));
            QCOMPARE(sink_.messages.size(), 1);
            table.Cancel();
        }
        PersonTable reread(sink_);
        QVERIFY(reread.Open(dir_.path()));
        QCOMPARE(reread.Value(kFieldYear), QStringLiteral("S40"));
    }
};

QTEST_GUILESS_MAIN(TestPersonTableStore)
#include "tst_person_table_store.moc"
