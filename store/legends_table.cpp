#include "store/legends_table.h"

#include "common/seed_file.h"
#include "engine/context.h"
#include "engine/zelvara.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace zelvara {
namespace {

constexpr const char* kTableName = "helpbun";

QString FromView(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

const QStringList& LegendFieldNames() {
    static const QStringList names = [] {
        QStringList list;
        for (int star = 1; star <= kLegendFields; ++star) list << FromView(kStarLongNames[star]);
        return list;
    }();
    return names;
}

const QStringList& LegendPictureFiles() {
    static const QStringList files = [] {
        QStringList list;
        for (int star = 1; star <= kLegendFields; ++star) list << FromView(kStarPictureFiles[star - 1]);
        return list;
    }();
    return files;
}

const QList<FieldDef>& LegendFields() {
    static const QList<FieldDef> fields = [] {
        QList<FieldDef> list;
        for (const QString& name : LegendFieldNames()) list << FieldDef{name, FieldType::Memo, 0};
        return list;
    }();
    return fields;
}

LegendSeed ParseLegendSeed(const QString& text) {
    const SeedParse parse =
        ParseSeed(text, LegendFields(), QLatin1String(kTableName), QStringLiteral("helpbun.txt"), 1);
    LegendSeed seed;
    seed.error = parse.error;
    if (!parse.records.isEmpty())
        for (int i = 0; i < kLegendFields; ++i)
            seed.values[i] = parse.records.first().values.value(LegendFieldNames().at(i));
    return seed;
}

LegendsTable::LegendsTable(MessageSink& sink)
    : sink_(sink),
      store_(TableLayout{QLatin1String(kTableName), LegendFields(), TableLayout::Columns::NotNullText, {}},
             QStringLiteral("legends")) {}

LegendsTable::~LegendsTable() { Close(); }

void LegendsTable::Report(const QString& text) const { sink_.Show(text.toStdString(), {}); }

namespace {

// The shipped seed's record, or why it cannot be read (reported).
std::optional<QList<SeedRecord>> ShippedSeed(QString* why) {
    const SeedParse seed =
        ReadSeedFile(QString::fromLatin1(LegendsTable::kSeedResource), LegendFields(), QLatin1String(kTableName), 1);
    if (!seed.error.isEmpty()) {
        *why = seed.error;
        return std::nullopt;
    }
    return seed.records;
}

}  // namespace

bool LegendsTable::Open(const QString& folder) {
    Close();
    path_ = QDir(folder).filePath(QString::fromLatin1(kFileName));
    const QFileInfo info(path_);
    const bool fresh = !info.exists() || info.size() == 0;
    QString why;
    std::optional<QList<SeedRecord>> seed;
    if (fresh) {
        if (!(seed = ShippedSeed(&why))) {
            Report(QStringLiteral("星の説明の見本を読めません（%1）。").arg(why));
            return false;
        }
        if (why = store_.CreateFile(path_, *seed); !why.isEmpty()) {
            Report(QStringLiteral("星の説明のファイル「%1」を作れません。\n%2").arg(path_, why));
            return false;
        }
    }
    if (why = store_.Open(path_); !why.isEmpty()) {
        Report(QStringLiteral("星の説明のファイル「%1」を開けません。\n%2").arg(path_, why));
        return false;
    }
    open_ = true;
    if (why = store_.CheckSchema(SingleTableStore::SchemaRule::AllDeclared); !why.isEmpty()) {
        Report(QStringLiteral("「%1」は星の説明の表ではありません（%2）。\nファイルはそのままにしてあります。")
                   .arg(path_, why));
        Close();
        return false;
    }
    bool ok = Load();
    if (ok && rowId_ < 0) {  // a legends table without its record
        if (!(seed = ShippedSeed(&why))) {
            Report(QStringLiteral("星の説明の見本を読めません（%1）。").arg(why));
            ok = false;
        } else if (why = store_.InsertSeed(*seed); !why.isEmpty()) {
            Report(QStringLiteral("星の説明のファイル「%1」を作れません。\n%2").arg(path_, why));
            ok = false;
        } else {
            ok = Load();
        }
    }
    if (!ok) Close();
    return ok;
}

void LegendsTable::Close() {
    values_ = {};
    modified_ = false;
    rowId_ = -1;
    open_ = false;
    store_.Close();
}

bool LegendsTable::Load() {
    QString why;
    const auto rows = store_.Select(LegendFieldNames(), QStringLiteral("rowid"), &why);
    if (!rows) {
        Report(QStringLiteral("星の説明のファイル「%1」を読めません。\n%2").arg(path_, why));
        return false;
    }
    rowId_ = -1;
    values_ = {};
    modified_ = false;
    if (!rows->isEmpty()) {
        rowId_ = rows->first().rowId;
        for (int i = 0; i < kLegendFields; ++i) values_[i] = rows->first().values.at(i);
    }
    return true;
}

QString LegendsTable::Value(const QString& field) const {
    const int i = int(LegendFieldNames().indexOf(field));
    return i < 0 ? QString() : values_[i];
}

void LegendsTable::SetValue(const QString& field, const QString& text) {
    const int i = int(LegendFieldNames().indexOf(field));
    if (i < 0 || !open_ || values_[i] == text) return;
    values_[i] = text;
    modified_ = true;
}

bool LegendsTable::Post() {
    if (!open_ || rowId_ < 0) return false;
    if (!modified_) return true;
    const QStringList stored = SingleTableStore::Writable(QStringList(values_.begin(), values_.end()));
    if (const QString why = store_.CheckValues(LegendFieldNames(), stored); !why.isEmpty()) {
        Report(why + QStringLiteral("\nその文字を直してから閉じてください。"));
        return false;
    }
    if (const StoreWrite w = store_.Update(rowId_, LegendFieldNames(), stored); !w.ok) {
        Report(QStringLiteral("星の説明を書き込めません。\n%1").arg(w.Why()));
        return false;
    }
    for (int i = 0; i < kLegendFields; ++i) values_[i] = stored.at(i);
    modified_ = false;
    return true;
}

}  // namespace zelvara
