#include "editors/db_memo.h"

#include "editors/reading_data_source.h"

namespace zelvara {

DBMemo::DBMemo(ReadingDataSource& source, const QString& field, QWidget* parent)
    : QPlainTextEdit(parent), source_(source), field_(field) {
    setObjectName(field);
    setToolTip(field);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(&source_, &ReadingDataSource::recordMoved, this, &DBMemo::Load);
    connect(&source_, &ReadingDataSource::rowsReset, this, &DBMemo::Load);
    connect(&source_, &ReadingDataSource::valueChanged, this, [this](int row, const QString& f) {
        if (f == field_ && row == source_.CurrentRow()) Load();
    });
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::Typed);
    Load();
}

void DBMemo::Load() {
    const QString value = source_.CurrentValue(field_);
    setReadOnly(source_.CurrentRow() < 0);
    if (toPlainText() == QString(value).replace(QLatin1String("\r\n"), QLatin1String("\n")))
        return;  // the same text: keep the cursor where it is
    loading_ = true;
    setPlainText(value);
    loading_ = false;
}

void DBMemo::Typed() {
    if (loading_) return;
    if (!source_.SetCurrentValue(field_, toPlainText())) Load();
}

}  // namespace zelvara
