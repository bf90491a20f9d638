// A memo bound to one field of a data source: it shows the current record's
// value and typing into it changes the record (which starts editing it).
#pragma once

#include <QPlainTextEdit>

namespace zelvara {

class ReadingDataSource;

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    DBMemo(ReadingDataSource& source, const QString& field, QWidget* parent = nullptr);

    QString DataField() const { return field_; }
    ReadingDataSource& Source() const { return source_; }

private:
    void Load();
    void Typed();

    ReadingDataSource& source_;
    QString field_;
    bool loading_ = false;
};

}  // namespace zelvara
