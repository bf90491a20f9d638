#include "editors/koun_db_window.h"

#include "common/qstring_utf8.h"
#include "editors/editor_parts.h"
#include "editors/reading_tables.h"
#include "editors/record_navigator.h"
#include "editors/tab_rows.h"
#include "readings/luck_reading.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelvara {

const QStringList& LuckTabFields() {
    // The twenty graded stars, then the thirteen additional ones, by their long names.
    static const QStringList fields = [] {
        QStringList f;
        for (int s = 1; s <= kStars; ++s) f << Q(kStarLongNames[s]);
        for (int m = 1; m <= kMinorStars; ++m) f << Q(kMinorLongNames[m]);
        return f;
    }();
    return fields;
}

TkounDBfrm::TkounDBfrm(ReadingTables& tables, QWidget* parent) : CentredWindow(parent), tables_(tables) {
    setObjectName(QStringLiteral("TkounDBfrm"));
    setWindowTitle(QStringLiteral("行運のデータベース画面"));
    resize(676, 307);
    records_ = new RecordNavigator(tables.hosiImi(), this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PageControl1 = new TabRows(11, this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    for (const QString& field : LuckTabFields()) PageControl1->AddPage(BoundMemo(*records_, field), field);
    layout->addWidget(PageControl1, 1);

    closebtn = AddClosePanel(this, layout);
    connect(closebtn, &QPushButton::clicked, this, &TkounDBfrm::closebtnClick);
}

std::optional<QString> TkounDBfrm::LuckTextFor(const QString& name) const {
    return zelvara::LuckTextFor(name, tables_.Texts()->hosiImi(), tables_.Sink());
}

bool TkounDBfrm::SavePending() { return records_->SavePending(); }

void TkounDBfrm::closebtnClick() {
    records_->Edit();
    if (records_->Post()) close();
}

}  // namespace zelvara
