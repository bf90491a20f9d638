#include "cli/register_command.h"

#include "cli/command_line.h"
#include "cli/data_folders_cli.h"
#include "cli/exact_hours_command.h"
#include "cli/person_data_command.h"
#include "cli/register_location.h"
#include "cli/register_transfer.h"
#include "common/cp932.h"
#include "common/register_lock.h"
#include "register/person_table.h"
#include "register/register_csv.h"
#include "register/register_faults.h"
#include "register/sqlite_copy.h"
#include "store/convention_profiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <iostream>

namespace zelvara::cli {
namespace {

std::string Local(const QString& text) { return text.toStdString(); }

// One CSV field as RFC 4180 writes it: quoted when it holds a comma, a quote
// or a line break, quotes doubled.
QString CsvField(const QString& value) {
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n')) &&
        !value.contains(QLatin1Char('\r')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString BirthText(const PersonValues& v) {
    return QStringLiteral("%1/%2/%3\t%4\t%5")
        .arg(v[kFieldYear], v[kFieldMonth], v[kFieldDay], v[kFieldTime], v[kFieldSex]);
}

int List(PersonTable& table, bool csv) {
    if (csv) {
        QStringList header;
        for (int i = 0; i < kPersonFieldCount; ++i) header << CsvField(FieldName(i));
        std::cout << Local(header.join(QLatin1Char(','))) << "\r\n";
    }
    for (int row = 0; row < table.RecordCount(); ++row) {
        const PersonValues& v = table.Record(row).values;
        if (csv) {
            QStringList fields;
            for (const QString& value : v) fields << CsvField(GuardedForSpreadsheet(value));
            std::cout << Local(fields.join(QLatin1Char(','))) << "\r\n";
        } else {
            std::cout << row + 1 << '\t' << Local(v[kFieldName]) << '\t' << Local(BirthText(v)) << '\n';
        }
    }
    return 0;
}

int Check(const QString& path, PersonTable& table) {
    const QStringList faults = RegisterFileFaults(path) + ExactHourFaultLines(path, table);
    for (const QString& f : faults) std::cout << Local(f) << '\n';
    if (!faults.isEmpty()) {
        std::cout << Local(QStringLiteral("名簿「%1」に問題が %2 件あります。").arg(path).arg(faults.size())) << '\n';
        return 1;
    }
    std::cout << Local(QStringLiteral("名簿「%1」: %2 件、問題はありません。").arg(path).arg(table.RecordCount()))
              << '\n';
    return 0;
}

int Deleted(PersonTable& table) {
    QString why;
    const auto deleted = table.ReadDeletedRecords(&why);
    if (!deleted) {
        std::cerr << Local(why) << '\n';
        return 1;
    }
    for (const DeletedPerson& d : *deleted)
        std::cout << d.number << '\t' << Local(d.deletedAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))) << '\t'
                  << Local(d.values[kFieldName]) << '\t' << Local(BirthText(d.values)) << '\n';
    return 0;
}

int Undelete(const Options& opts, const QString& folder, const std::string& numberText) {
    bool ok = false;
    const qint64 number = QString::fromStdString(numberText).toLongLong(&ok);
    if (!ok || number <= 0) {
        std::cerr << "undelete の後には、register deleted が示す番号を書いて下さい。\n";
        return 2;
    }
    StderrSink sink;
    PersonTable table(sink);
    if (const int refused = OpenForWriting(opts, table, folder)) return refused;
    // On a server another desk may be importing or bringing records back.
    const ExclusiveWork work = table.TakeExclusiveWork();
    if (!work.taken) {
        std::cerr << Local(work.holder.isEmpty() ? work.why
                                                 : ExclusiveWorkBusyText(work.holder) +
                                                       QStringLiteral("終わってから、もう一度実行してください。"))
                  << '\n';
        return work.holder.isEmpty() ? 1 : kExitHeld;
    }
    const bool undeleted = table.Undelete(number);
    table.ReleaseExclusiveWork();
    if (!undeleted) return 1;
    std::cout << Local(QStringLiteral("番号 %1 の「%2」を名簿に戻しました。").arg(number).arg(table.Value(kFieldName)))
              << '\n';
    return 0;
}

// Why `from` cannot be brought in as the register, or empty: it must be a
// register file as `check` finds it sound.
QString RestoreSourceProblem(const QString& from) {
    const QFileInfo info(from);
    if (!info.exists()) return QStringLiteral("「%1」がありません。戻す名簿のファイルを確かめてください。").arg(from);
    if (!info.isFile()) return QStringLiteral("「%1」はファイルではありません。").arg(from);
    if (info.size() == 0)
        return QStringLiteral("「%1」は空のファイルです（0 バイト）。名簿の写しではないため戻せません。").arg(from);
    if (const QStringList faults = RegisterFileFaults(from); !faults.isEmpty())
        return QStringLiteral("「%1」は名簿として使えないため戻せません。\n%2")
            .arg(from, faults.join(QLatin1Char('\n')));
    return {};
}

int Restore(const QString& registerPath, const QString& from) {
    if (const QString problem = RestoreSourceProblem(from); !problem.isEmpty()) {
        std::cerr << Local(problem) << '\n';
        return 1;
    }
    const RegisterLock lock(registerPath);
    if (lock.state() == RegisterLock::State::HeldElsewhere) return HeldElsewhere(lock.holder());
    if (!lock.held()) {
        std::cerr << Local(QStringLiteral("名簿「%1」に書き込めません %2").arg(registerPath, lock.holder())) << '\n';
        return 1;
    }
    if (QFileInfo(registerPath).isFile()) {
        const QString folder = QFileInfo(registerPath).dir().filePath(QStringLiteral("backup"));
        QString copy;
        if (const QString error = CopyIntoBackupFolder(registerPath, folder, QStringLiteral("nam_data"), &copy);
            !error.isEmpty()) {
            std::cerr
                << Local(QStringLiteral("今の名簿のバックアップを作れないため、戻すのをやめました。\n%1").arg(error))
                << '\n';
            return 1;
        }
        std::cout << Local(QStringLiteral("今の名簿を「%1」に保存しました。").arg(copy)) << '\n';
    }
    if (const QString error = ReplaceSqliteContent(from, registerPath); !error.isEmpty()) {
        std::cerr << Local(error) << '\n';
        return 1;
    }
    std::cout << Local(QStringLiteral("名簿「%1」を「%2」の内容に戻しました。").arg(registerPath, from)) << '\n';
    return 0;
}

// Copies the register to `out`: only ever as a regular file, and over an
// existing one only when forced.
int BackUp(const QString& registerPath, const QString& out, bool force) {
    if (const QString error = CopySqliteFile(registerPath, out, force ? ExistingFile::Replace : ExistingFile::Keep);
        !error.isEmpty()) {
        std::cerr << Local(error) << '\n';
        if (QFileInfo(out).isFile() && !QFileInfo(out).isSymLink() && !force && QFileInfo::exists(registerPath))
            std::cerr << Local(QStringLiteral("置き換えるときは --force を付けてください。")) << '\n';
        return 1;
    }
    std::cout << Local(out) << '\n';
    return 0;
}

}  // namespace

int OpenForWriting(const Options& opts, PersonTable& table, const QString& folder) {
    if (!OpenChosenRegister(opts, table, folder, PersonTable::OpenMode::Write)) return 1;
    if (!table.LockHolder().isEmpty()) return HeldElsewhere(table.LockHolder());
    if (!table.IsWritable()) {
        std::cerr << Local(table.Unavailability()) << '\n';
        return 1;
    }
    return 0;
}

int HeldElsewhere(const QString& holder) {
    std::cerr
        << Local(QStringLiteral(
                     "名簿は %1 が使用中のため書き込めません。そのプログラムを終了してから、もう一度実行してください。")
                     .arg(holder))
        << '\n';
    return kExitHeld;
}

int RunRegister(const QStringList& args) {
    if (args.value(0) == QLatin1String("export") || args.value(0) == QLatin1String("import"))
        return RunRegisterTransfer(args);
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "The person register nam_data.db. list prints the records (--csv: every field, RFC 4180, UTF-8); check tests "
        "the file (its pages, no tables, views or triggers but the register's own, the columns of both tables) and "
        "every record, the deleted ones too: field sizes in Shift-JIS bytes, control characters, sex, hour period, "
        "and a date the program can chart (1921-01-06 to 2100-12-31), naming each record at fault (exit 1 on a "
        "fault); backup copies the register consistently to FILE, a new regular file (--force replaces an existing "
        "file, never a folder, link or device); restore replaces it with FILE, a backup or an exported copy that "
        "check finds sound, after saving the current register under backup/ (each copy under a name of its own); "
        "deleted lists the deleted records with their numbers; undelete N brings one back; mend-times sets the hour "
        "of each record with an exact birth time to the period of its clock time (an earlier version stored the "
        "corrected period; check names them), after saving the register under backup/. A write cut off by a crash "
        "is undone when the register is next opened. "
        "export-person N --out BASE writes everything kept about client N (the number notes --client takes: the "
        "record, the exact birth time and place, every consultation entry and those deleted alone) to BASE.csv "
        "(UTF-8) and BASE.pdf; erase N prints what erasing client N would take away (the record, its time, its "
        "entries and deleted entries, copies of its record among the deleted records) and exits 1 changing "
        "nothing; erase N --yes erases all of it in one transaction and names the backup copies that still hold "
        "the client (they are never changed). profile N prints the name of the convention profile chosen for client "
        "N (（既定）: none, the settings' default); profile N NAME chooses one (a name the settings here do not have "
        "is kept, with a note), profile N --clear removes the choice. "
        "restore and undelete take the register's lock and stop with exit code 3 while another program holds it. "
        "export --csv FILE and import --csv FILE move records to and from CSV (register export --help). "
        "With --register URL (or ZELVARA_REGISTER) list, deleted, undelete, export and import work on a register on a "
        "PostgreSQL server instead."));
    opts.addPositionalArgument(
        QStringLiteral("action"), QStringLiteral("what to do"),
        QStringLiteral("list|check|backup|restore|deleted|undelete N|mend-times|export-person N|erase N|"
                       "profile N [NAME]"));
    opts.addOptions({
        {QStringLiteral("csv"), QStringLiteral("list: every field as CSV")},
        {QStringLiteral("out"), QStringLiteral("backup: the copy to write; export-person: the files' name"),
         QStringLiteral("FILE")},
        {QStringLiteral("yes"), QStringLiteral("erase: erase without asking")},
        {QStringLiteral("clear"), QStringLiteral("profile: remove the profile chosen for the client")},
        {QStringLiteral("settings"),
         QStringLiteral("profile: the settings file whose profiles this computer has (default: the user's zelv.ini)"),
         QStringLiteral("FILE")},
        {QStringLiteral("force"), QStringLiteral("backup: replace an existing file FILE")},
        {QStringLiteral("from"), QStringLiteral("restore: the register to restore"), QStringLiteral("FILE")},
    });
    AddHomeOption(opts);
    AddRegisterOption(opts);
    const QString command = QStringLiteral("register");
    if (const auto code = ParseCommand(opts, command, args, 0, 3)) return *code;
    const QStringList words = opts.positionalArguments();
    const QString kind = words.value(0);
    const bool takesNumber = QStringList{"undelete", "export-person", "erase", "profile"}.contains(kind);
    const bool known = QStringList{"list",     "check",      "backup",        "restore", "deleted",
                                   "undelete", "mend-times", "export-person", "erase",   "profile"}
                           .contains(kind);
    const bool wordsFit = words.size() == (takesNumber ? 2 : 1) || (kind == "profile" && words.size() == 3);
    if (!known || !wordsFit)
        return UsageError(
            opts, command,
            QStringLiteral("register の後には list、check、backup、restore、deleted、undelete 番号、mend-times、"
                           "export-person 番号、erase 番号、profile 番号 [流派] のどれかを指定して下さい。"));
    const std::string programFolder = ProgramFolder(opts);

    const QString folder = UserFolder(programFolder);  // the register, its lock and backup/
    const QString registerPath = QDir(folder).filePath(QString::fromLatin1(PersonTable::kFileName));
    if (kind == "undelete") return Undelete(opts, folder, words[1].toStdString());
    if (kind == "mend-times") return MendExactHours(opts, folder);
    if (kind == "export-person") return ExportPerson(opts, folder, words[1], opts.value(QStringLiteral("out")));
    if (kind == "erase") return ErasePerson(opts, folder, words[1], opts.isSet(QStringLiteral("yes")));
    if (kind == "profile")
        return PersonProfile(opts, folder, words[1], words.size() == 3 ? std::optional(words[2]) : std::nullopt,
                             opts.isSet(QStringLiteral("clear")),
                             ConventionProfileNames(SettingsFile(opts.value(QStringLiteral("settings")))));
    if (ServerRegisterChosen(opts) && (kind == "restore" || kind == "backup" || kind == "check")) {
        std::cerr << Local(QStringLiteral("register %1 はこのコンピューターの名簿ファイルのためのものです。"
                                          "サーバーの名簿の写しは、サーバーの管理者が pg_dump で取ってください。")
                               .arg(kind))
                  << '\n';
        return 2;
    }
    if (kind == "restore") {
        if (opts.value(QStringLiteral("from")).isEmpty()) {
            std::cerr << "register restore には --from FILE が要ります。\n";
            return 2;
        }
        return Restore(registerPath, opts.value(QStringLiteral("from")));
    }
    if (kind == "backup") {
        if (opts.value(QStringLiteral("out")).isEmpty()) {
            std::cerr << "register backup には --out FILE が要ります。\n";
            return 2;
        }
        return BackUp(registerPath, opts.value(QStringLiteral("out")), opts.isSet(QStringLiteral("force")));
    }

    // Reading commands: never take the lock, never write.
    StderrSink sink;
    PersonTable table(sink);
    if (!OpenChosenRegister(opts, table, folder, PersonTable::OpenMode::ReadOnly)) return 1;
    if (kind == "list") return List(table, opts.isSet(QStringLiteral("csv")));
    if (kind == "deleted") return Deleted(table);
    return Check(registerPath, table);
}

QString ImportSummary(int added, const QString& already, int duplicates, int refused, bool dryRun) {
    return QStringLiteral("%1 件%2、%3 %4 件を飛ばし、受け付けられない %5 件を飛ばしました。")
        .arg(added)
        .arg(dryRun ? QStringLiteral("を読み込めます（--dry-run: 書き込んでいません）")
                    : QStringLiteral("を読み込みました"))
        .arg(already)
        .arg(duplicates)
        .arg(refused);
}

}  // namespace zelvara::cli
