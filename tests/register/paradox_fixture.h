// Paradox tables for the tests, written with pxlib's own writer: the fields
// and records given (texts encoded in Shift-JIS), memo texts in a memo file
// of the same name with .MB beside the table.
#pragma once

#include "common/cp932.h"
#include "register/person_fields.h"
#include "store/legends_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <paradox.h>
}

namespace paradox_fixture {

struct Field {
    QString name;
    char type;  // pxfAlpha, pxfShort, pxfMemoBLOb
    int size;   // bytes in the record (a memo: leader + 10)
};

inline QByteArray Sjis(const QString& text) { return zelvara::cp932::Encode(text).value_or(QByteArray("?")); }

// Empty on success. An empty value leaves the field blank (null).
inline QString Write(const QString& path, const QList<Field>& fields, const QList<QStringList>& records) {
    pxdoc_t* doc = PX_new();
    auto* defs = static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * size_t(fields.size()), "fields"));
    bool memo = false;
    for (int i = 0; i < fields.size(); ++i) {
        defs[i].px_fname = PX_strdup(doc, Sjis(fields[i].name).constData());
        defs[i].px_ftype = fields[i].type;
        defs[i].px_flen = fields[i].size;
        defs[i].px_fdc = 0;
        memo = memo || fields[i].type == pxfMemoBLOb;
    }
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb+");
    if (!file || PX_create_fp(doc, defs, int(fields.size()), file, pxfFileTypNonIndexDB) < 0)
        return QStringLiteral("cannot create %1").arg(path);
    PX_set_tablename(doc, QFileInfo(path).completeBaseName().toLatin1().constData());
    const QString memoPath = QFileInfo(path).dir().filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".MB"));
    if (memo && PX_set_blob_file(doc, QFile::encodeName(memoPath).constData()) < 0)
        return QStringLiteral("cannot create %1").arg(memoPath);
    QString error;
    for (const QStringList& values : records) {
        std::vector<char> record(size_t(PX_get_recordsize(doc)), 0);
        int offset = 0;
        for (int i = 0; i < fields.size(); ++i) {
            char* data = record.data() + offset;
            offset += fields[i].size;
            const QString value = values.value(i);
            if (value.isEmpty()) continue;
            QByteArray bytes = Sjis(value);
            if (fields[i].type == pxfAlpha)
                PX_put_data_alpha(doc, data, fields[i].size, bytes.data());
            else if (fields[i].type == pxfShort)
                PX_put_data_short(doc, data, fields[i].size, short(value.toInt()));
            else if (PX_put_data_blob(doc, data, fields[i].size, bytes.data(), int(bytes.size())) < 0)
                error = QStringLiteral("cannot write a memo of %1").arg(path);
        }
        if (PX_put_record(doc, record.data()) < 0) error = QStringLiteral("cannot write a record of %1").arg(path);
    }
    PX_close(doc);
    PX_delete(doc);
    std::fclose(file);
    return error;
}

// The register's eighteen fields, alpha of their sizes.
inline QList<Field> RegisterFields() {
    QList<Field> fields;
    for (int i = 0; i < zelvara::kPersonFieldCount; ++i)
        fields << Field{zelvara::FieldName(i), pxfAlpha, zelvara::kPersonFields[size_t(i)].size};
    return fields;
}

// The legends table's fourteen memos.
inline QList<Field> LegendMemoFields() {
    QList<Field> fields;
    for (const QString& name : zelvara::LegendFieldNames()) fields << Field{name, pxfMemoBLOb, 30};
    return fields;
}

}  // namespace paradox_fixture
