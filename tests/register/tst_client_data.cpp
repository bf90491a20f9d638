// A client's own data in a register file, through the real zelvara-cli:
// register export-person writes everything kept about the client (CSV read
// back, PDF read back with pdftotext), register erase names what goes and
// changes nothing without --yes, and with it leaves none of the client's text
// in the file's bytes, the other clients as they were, and names the backup
// copies that still hold the client without touching them.
#include "register/birth_time_table.h"
#include "register/consultation_storage.h"
#include "register/person_table.h"
#include "tests/recording_sink.h"
#include "tests/register/register_test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using namespace register_test;

namespace {

// Texts found nowhere else, so that their bytes can be looked for.
const QString kNotes = QStringLiteral(
    "ＺＱ固有メモ一段落目：転職の時期について、来年の春までは今の職場で経験を積み、"
    "その後に独立を考えるのがよいと伝えた。家族の意見もよく聞くこと。\n\n二段落目：健康面は秋に注意。");
const QString kDeletedAloneNotes = QStringLiteral("ＺＱ削除済み単独メモ");
const QString kDeletedCopyNotes = QStringLiteral("ＺＱ削除済み写しメモ");
const QString kOtherNotes = QStringLiteral("ＺＱ他の人のメモ");

ConsultationEntry Entry(qint64 client, const QString& theme, const QString& notes) {
    ConsultationEntry e;
    e.client = client;
    e.date = QDate(2026, 3, 1);
    e.time = QStringLiteral("10:00");
    e.theme = theme;
    e.question = QStringLiteral("%1の相談").arg(theme);
    e.notes = notes;
    e.fee = 10000;
    e.paid = true;
    return e;
}

QByteArray Hash(const QString& path) { return QCryptographicHash::hash(FileBytes(path), QCryptographicHash::Sha256); }

// Every file of the folder with its hash.
QMap<QString, QByteArray> Hashes(const QString& folder) {
    QMap<QString, QByteArray> all;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files)) all[f.fileName()] = Hash(f.absoluteFilePath());
    return all;
}

QString PdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString WithoutSpace(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

}  // namespace

class ClientDataTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    qint64 client_ = -1;  // 山田花子
    qint64 other_ = -1;   // 佐藤一郎

    QString Register() const { return dir_->filePath(QStringLiteral("nam_data.db")); }

private slots:
    // 山田花子 with an exact time, two entries, one deleted alone, and a
    // deleted copy of her record with an entry of its own; 佐藤一郎 beside her.
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path()));
        AddPerson(t, QStringLiteral("山田花子"));
        AddPerson(t, QStringLiteral("佐藤一郎"));
        AddPerson(t, QStringLiteral("山田花子"));  // the copy, deleted below
        client_ = t.Record(0).rowId;
        other_ = t.Record(1).rowId;
        const qint64 copy = t.Record(2).rowId;
        QVERIFY(
            t.WriteBirthTime(
                 client_, BirthTimeEntry{QStringLiteral("10:40"), QStringLiteral("東京都"), 139.69, {}, std::nullopt})
                .Ok());
        QString why;
        auto book = OpenConsultations(t, &why);
        QVERIFY2(book, qPrintable(why));
        QVERIFY(book->Insert(Entry(client_, QStringLiteral("仕事"), kNotes)).Ok());
        QVERIFY(book->Insert(Entry(client_, QStringLiteral("結婚"), QStringLiteral("相手の命宮を見た"))).Ok());
        const PersonWrite alone = book->Insert(Entry(client_, QStringLiteral("健康"), kDeletedAloneNotes));
        QVERIFY(alone.Ok());
        QVERIFY(book->Remove(*book->One(alone.rowId, &why)).Ok());
        QVERIFY(book->Insert(Entry(other_, QStringLiteral("金運"), kOtherNotes)).Ok());
        QVERIFY(book->Insert(Entry(copy, QStringLiteral("転居"), kDeletedCopyNotes)).Ok());
        book.reset();
        QVERIFY(t.CurrentRow() == 2 || t.MoveTo(2));
        QVERIFY(t.Delete());
    }

    void exportWritesEverythingKeptAboutTheClient() {
        const QString base = dir_->filePath(QStringLiteral("山田花子_個人データ"));
        const Run run = Cli(dir_->path(), {"export-person", QString::number(client_), "--out", base});
        QVERIFY2(run.code == 0, qPrintable(run.err + run.out));
        QVERIFY2(run.out.contains(QStringLiteral("鑑定記録 2 件、削除した鑑定記録 1 件")), qPrintable(run.out));

        const QByteArray bytes = FileBytes(base + QStringLiteral(".csv"));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString csv = QString::fromUtf8(bytes.mid(3));
        QVERIFY2(csv.startsWith(QStringLiteral("区分,番号,項目,内容\r\n人物,,氏名,山田花子\r\n")),
                 qPrintable(csv.left(80)));
        for (const QString& kept :
             {QStringLiteral("出生時刻,,出生時刻,10:40"), QStringLiteral("出生時刻,,出生地,東京都"),
              QStringLiteral("鑑定記録,1,テーマ,"), QStringLiteral("削除した鑑定記録,1,メモ,") + kDeletedAloneNotes})
            QVERIFY2(csv.contains(kept), qPrintable(kept));
        QVERIFY(csv.contains(QLatin1Char('"') + kNotes + QLatin1Char('"')));  // paragraphs kept, quoted
        for (const QString& foreign : {kOtherNotes, kDeletedCopyNotes}) QVERIFY(!csv.contains(foreign));

        // The print holds the same, the long notes wrapped but whole.
        const QString pdf = PdfText(base + QStringLiteral(".pdf"));
        QVERIFY2(pdf.contains(QStringLiteral("【個人データ】 山田花子")), qPrintable(pdf.left(200)));
        const QString flat = WithoutSpace(pdf);
        QVERIFY2(flat.contains(WithoutSpace(QStringLiteral("メモ：") + kNotes)), qPrintable(flat));
        QVERIFY(flat.contains(kDeletedAloneNotes));
        QVERIFY(flat.contains(QStringLiteral("出生地：東京都")));
        QVERIFY(!flat.contains(kOtherNotes));

        // A client who is not there: exit 1, and no file.
        const QString none = dir_->filePath(QStringLiteral("none"));
        const Run missing = Cli(dir_->path(), {"export-person", "999", "--out", none});
        QCOMPARE(missing.code, 1);
        QVERIFY2(missing.err.contains(QStringLiteral("999")), qPrintable(missing.err));
        QVERIFY(!QFile::exists(none + QStringLiteral(".csv")) && !QFile::exists(none + QStringLiteral(".pdf")));
        QCOMPARE(Cli(dir_->path(), {"export-person", "x", "--out", none}).code, 2);
    }

    void eraseWithoutYesNamesWhatGoesAndChangesNothing() {
        const auto before = Hashes(dir_->path());
        const Run run = Cli(dir_->path(), {"erase", QString::number(client_)});
        QCOMPARE(run.code, 1);
        for (const QString& named : {QStringLiteral("山田花子"), QStringLiteral("鑑定記録 2 件"),
                                     QStringLiteral("削除した鑑定記録 1 件"), QStringLiteral("出生時刻・出生地\n"),
                                     QStringLiteral("記録 1 件（その鑑定記録 1 件）"), QStringLiteral("--yes")})
            QVERIFY2(run.out.contains(named), qPrintable(named + QStringLiteral(" / ") + run.out));
        QCOMPARE(Hashes(dir_->path()), before);
    }

    void eraseLeavesNoTextAndNamesTheBackupsStillHoldingTheClient() {
        // Copies made before the erasure: one holding her, one made before she
        // came (佐藤一郎 alone), one that is no database at all.
        const QString backup = dir_->filePath(QStringLiteral("backup"));
        QDir().mkpath(backup);
        QVERIFY(QFile::copy(Register(), backup + QStringLiteral("/nam_data-20260105.db")));
        {
            QTemporaryDir otherDir;
            RecordingSink sink;
            PersonTable other(sink);
            QVERIFY(other.Open(otherDir.path()));
            AddPerson(other, QStringLiteral("佐藤一郎"));
            other.Close();
            QVERIFY(QFile::copy(otherDir.filePath(QStringLiteral("nam_data.db")),
                                backup + QStringLiteral("/nam_data-20260104.db")));
        }
        WriteFile(backup + QStringLiteral("/nam_data-20260106.db"), "not a database, but named like a copy");
        const auto backups = Hashes(backup);
        QVERIFY(FileBytes(Register()).contains(kNotes.left(8).toUtf8()));

        const Run run = Cli(dir_->path(), {"erase", QString::number(client_), "--yes"});
        QVERIFY2(run.code == 0, qPrintable(run.err + run.out));
        QVERIFY2(run.out.contains(QStringLiteral("・nam_data-20260105.db（2026/01/05）")), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("・nam_data-20260106.db（2026/01/06）: 読めないため確かめられません")),
                 qPrintable(run.out));
        QVERIFY2(!run.out.contains(QStringLiteral("20260104")), qPrintable(run.out));
        QCOMPARE(Hashes(backup), backups);  // only read

        // Not a trigram of her texts is left in the file: neither in the
        // entries nor in the full-text index's segments, which keep the
        // trigrams of erased texts until they are merged.
        const QByteArray file = FileBytes(Register());
        for (const QString& text :
             {kNotes, kDeletedAloneNotes, kDeletedCopyNotes, QStringLiteral("相手の命宮を見た")}) {
            for (qsizetype i = 0; i + 3 <= text.size(); ++i) {
                const QString trigram = text.mid(i, 3);
                if (trigram.contains(QLatin1Char('\n'))) continue;
                for (const QString& form : {trigram, trigram.toLower()})
                    QVERIFY2(!file.contains(form.toUtf8()), qPrintable(form));
            }
        }
        QVERIFY(!QFile::exists(Register() + QStringLiteral("-journal")));

        // 佐藤一郎 and his entry stay, and are still found.
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path(), PersonTable::OpenMode::ReadOnly));
        QCOMPARE(Names(t), QStringList{QStringLiteral("佐藤一郎")});
        QVERIFY(t.DeletedRecords().empty());
        QVERIFY(!t.BirthTime(client_));
        QString why;
        auto book = OpenConsultations(t, &why);
        QVERIFY2(book, qPrintable(why));
        const auto found = book->Search(QStringLiteral("他の人"), 10, &why);
        QVERIFY(found && found->size() == 1 && found->front().entry.client == other_);
        QVERIFY(book->Search(QStringLiteral("固有"), 10, &why)->empty());
        QVERIFY(book->Deleted(&why)->empty());
        OtherProgram raw(Register());
        QCOMPARE(raw.Value(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        QCOMPARE(raw.Value(QStringLiteral("SELECT count(*) FROM birth_time_deleted")), QStringLiteral("0"));

        // Once erased, she is not there to erase again.
        QCOMPARE(Cli(dir_->path(), {"erase", QString::number(client_), "--yes"}).code, 1);
    }
};

QTEST_GUILESS_MAIN(ClientDataTest)
#include "tst_client_data.moc"
