// The legends table helpbun.DB: one SQLite table "helpbun" in the program
// folder holding one record whose fourteen text fields are named after the
// major stars. The table keeps that record and an edit buffer for it, as a
// data set in edit mode does: edits stay in the buffer until Post().
#pragma once

#include "common/single_table_store.h"

#include <QString>
#include <QStringList>

#include <array>

namespace zelvara {

class MessageSink;

constexpr int kLegendFields = 14;

// 紫薇星 … 破軍星 in the viewer's tab order; the only field names ever used.
const QStringList& LegendFieldNames();
// "zelvsei.bmp" … "hagun.bmp", in the same order.
const QStringList& LegendPictureFiles();

class LegendsTable {
public:
    static constexpr const char* kFileName = "helpbun.DB";
    static constexpr const char* kSeedResource = ":/store/seed/helpbun.txt";

    explicit LegendsTable(MessageSink& sink);
    ~LegendsTable();
    LegendsTable(const LegendsTable&) = delete;
    LegendsTable& operator=(const LegendsTable&) = delete;

    // Opens folder/helpbun.DB. A missing or empty file, or a table without a
    // record, is filled from the seed. A file that is not a legends table is
    // reported and left untouched; the table then stays closed.
    bool Open(const QString& folder);
    void Close();
    bool IsOpen() const { return open_; }
    QString FilePath() const { return path_; }

    // Of the edit buffer; empty for an unknown field or a closed table.
    QString Value(const QString& field) const;
    void SetValue(const QString& field, const QString& text);
    bool IsModified() const { return modified_; }

    // Writes the buffer in one transaction. Text that Shift-JIS cannot write
    // is refused with a message; the buffer keeps the edits either way.
    bool Post();

private:
    bool Load();
    void Report(const QString& text) const;

    MessageSink& sink_;
    SingleTableStore store_;
    QString path_;
    bool open_ = false;
    bool modified_ = false;
    qint64 rowId_ = -1;
    std::array<QString, kLegendFields> values_;
};

// The seed text, in the seed format of every table (seed_file.h) with one
// record: "[記録]" starts it, "star: <<" opens a text that runs up to a line
// ">>", "#" lines are comments. Missing fields stay empty. An error names the
// file and the line; values then holds what was read before it.
struct LegendSeed {
    std::array<QString, kLegendFields> values;
    QString error;
};
LegendSeed ParseLegendSeed(const QString& text);
// The fields of the table, one text field per major star.
const QList<FieldDef>& LegendFields();

}  // namespace zelvara
