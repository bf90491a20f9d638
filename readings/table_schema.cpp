#include "readings/table_schema.h"

#include "common/qstring_utf8.h"
#include "engine/zelvara.h"

namespace zelvara {
namespace {

// The additional stars in the order of the text tables (駅馬 is not among
// them; the luck table has it at the very end).
const QStringList& TableMinorNames() {
    static const QStringList names = [] {
        QStringList n;
        for (int m = 1; m <= kMinorStars; ++m)
            if (kMinorShortNames[m] != "駅馬") n << Q(kMinorShortNames[m]);
        return n;
    }();
    return names;
}

const QStringList& TransformNames() {
    static const QStringList names = [] {
        QStringList n;
        for (int t = 1; t <= kTransforms; ++t) n << Q(kTransformNames[t]);
        return n;
    }();
    return names;
}

FieldDef No() { return {QStringLiteral("No"), FieldType::SmallInt, 0}; }
FieldDef Str(const QString& name, int size) { return {name, FieldType::String, size}; }
FieldDef Memo(const QString& name) { return {name, FieldType::Memo, 0}; }

TableSchema Kyu12() {
    TableSchema t{TableId::Kyu12, QStringLiteral("KYU12.db"), QStringLiteral("KYU12"), QStringLiteral("KYU12.txt"), {},
                  false};
    t.fields << No() << Str(QStringLiteral("宮名称"), 20) << Memo(QStringLiteral("内容"))
             << Memo(QStringLiteral("星相性"));
    for (int s = 1; s <= kStars; ++s) t.fields << Str(Q(kStarLongNames[s]), 10);
    t.fields << Str(QStringLiteral("ETC"), 10);
    return t;
}

TableSchema Kantei() {
    TableSchema t{
        TableId::Kantei, QStringLiteral("KANTEI.DB"), QStringLiteral("KANTEI"), QStringLiteral("KANTEI.txt"), {}, true};
    t.fields << No() << Str(QStringLiteral("宮名称"), 20) << Memo(QStringLiteral("内容"));
    QStringList names;
    for (int s = 1; s <= kStars; ++s) names << Q(kStarShortNames[s]);
    names << TableMinorNames() << TransformNames();
    for (const QString& n : names) t.fields << Memo(n + QStringLiteral("星1")) << Memo(n + QStringLiteral("星2"));
    return t;
}

TableSchema StarTexts(TableId id, const char* file, const char* table, const char* seed) {
    TableSchema t{id, QString::fromLatin1(file), QString::fromLatin1(table), QString::fromLatin1(seed), {}, false};
    t.fields << No();
    for (const QString& n : StarTextFieldNames()) t.fields << Memo(n);
    return t;
}

}  // namespace

const QStringList& StarTextFieldNames() {
    static const QStringList names = [] {
        QStringList n;
        for (int s = 1; s <= kStars; ++s) n << Q(kStarLongNames[s]);
        for (const QString& m : TableMinorNames()) n << m + QStringLiteral("星");
        for (const QString& x : TransformNames()) n << x + QStringLiteral("星");
        n << QStringLiteral("駅馬星");
        return n;
    }();
    return names;
}

int TableSchema::FieldIndex(const QString& name) const {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) return i;
    return -1;
}

QStringList TableSchema::FieldNames() const {
    QStringList names;
    for (const FieldDef& f : fields) names << f.name;
    return names;
}

TableLayout TableSchema::Layout() const {
    return TableLayout{tableName, fields, TableLayout::Columns::Typed, keyedByNo ? QStringLiteral("No") : QString()};
}

const TableSchema& SchemaOf(TableId id) {
    static const TableSchema kyu12 = Kyu12();
    static const TableSchema kantei = Kantei();
    static const TableSchema hosiImi = StarTexts(TableId::HosiImi, "hosiImi.DB", "hosiImi", "hosiImi.txt");
    static const TableSchema ai01 = StarTexts(TableId::Ai01, "Ai01.DB", "Ai01", "Ai01.txt");
    static const TableSchema ai02 = StarTexts(TableId::Ai02, "Ai02.DB", "Ai02", "Ai02.txt");
    switch (id) {
        case TableId::Kyu12: return kyu12;
        case TableId::Kantei: return kantei;
        case TableId::HosiImi: return hosiImi;
        case TableId::Ai01: return ai01;
        case TableId::Ai02: break;
    }
    return ai02;
}

const QList<TableId>& AllReadingTables() {
    static const QList<TableId> ids = {TableId::Kyu12, TableId::Kantei, TableId::HosiImi, TableId::Ai01, TableId::Ai02};
    return ids;
}

}  // namespace zelvara
