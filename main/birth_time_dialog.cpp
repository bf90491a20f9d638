#include "birth_time_dialog.h"

#include "chart_request.h"
#include "named_object.h"
#include "qstring_utf8.h"
#include "solar_time.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zelvara {
namespace {

QString Degrees(double longitude) { return QString::number(longitude, 'f', 2); }

}  // namespace

BirthTimeDialog::BirthTimeDialog(BirthTimeTable* table, qint64 person, const QString& cannotStore,
                                 std::vector<Birthplace> places, MessageSink& sink,
                                 std::function<bool(const QString&)> ask, QWidget* parent)
    : QDialog(parent), table_(table), person_(person), places_(std::move(places)), sink_(sink), ask_(std::move(ask))
{
    setObjectName(QStringLiteral("BirthTimeDialog"));
    setWindowTitle(QStringLiteral("出生時刻・出生地"));
    timeedit = Named(new QLineEdit(this), "timeedit");
    timeedit->setPlaceholderText(QStringLiteral("05:50"));
    timeedit->setMaxLength(5);
    placebox = Named(new QComboBox(this), "placebox");
    placebox->addItem(QStringLiteral("（経度で指定）"));
    for (const Birthplace& place : places_)
        placebox->addItem(Q(place.Name()));
    longitudeedit = Named(new QLineEdit(this), "longitudeedit");
    longitudeedit->setPlaceholderText(QStringLiteral("例 141.35（空欄：補正なし）"));
    statuslbl = Named(new QLabel(this), "statuslbl");
    statuslbl->setWordWrap(true);
    statuslbl->setStyleSheet(QStringLiteral("color: #a00000"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("出生時刻（時計の時刻 HH:MM）"), timeedit);
    form->addRow(QStringLiteral("出生地"), placebox);
    form->addRow(QStringLiteral("東経（度）"), longitudeedit);
    auto* buttons = new QDialogButtonBox(this);
    savebtn = Named(buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole), "savebtn");
    clearbtn = Named(buttons->addButton(QStringLiteral("時刻を消す"), QDialogButtonBox::DestructiveRole), "clearbtn");
    Named(buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole), "cancelbtn");
    // Save and clear close the dialog only when they succeeded.
    connect(savebtn, &QPushButton::clicked, this, [this] { Save(); });
    connect(clearbtn, &QPushButton::clicked, this, [this] { Clear(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(placebox, &QComboBox::currentIndexChanged, this, &BirthTimeDialog::PlaceChosen);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("夏時間（昭和23〜26年）は常に除きます。経度と均時差の補正は設定画面の「時刻の補正」で選びます。"),
                                 this));
    layout->addWidget(statuslbl);
    layout->addWidget(buttons);

    QString why = cannotStore;
    if (why.isEmpty() && !table_)
        why = QStringLiteral("出生時刻の表を開けません。");
    if (why.isEmpty() && person_ < 0)
        why = QStringLiteral("この人物はまだ名簿に登録されていません。先に「ﾃﾞｰﾀ登録」をして下さい。");
    if (!why.isEmpty()) {
        statuslbl->setText(why + QStringLiteral("\n出生時刻は保存できません。"));
        savebtn->setEnabled(false);
        clearbtn->setEnabled(false);
    }
    statuslbl->setVisible(!why.isEmpty());
    PlaceChosen(0);
    if (table_ && person_ >= 0) {
        if (const auto entry = table_->Read(person_))
            ShowEntry(*entry);
    }
}

void BirthTimeDialog::ShowEntry(const BirthTimeEntry& entry)
{
    timeedit->setText(entry.clockTime);
    const int at = entry.place.isEmpty() ? -1 : placebox->findText(entry.place);
    placebox->setCurrentIndex(std::max(at, 0));
    if (at <= 0 && entry.longitude)
        longitudeedit->setText(Degrees(*entry.longitude));
}

void BirthTimeDialog::PlaceChosen(int index)
{
    // A place from the list brings its own longitude; only item 0 is typed.
    longitudeedit->setEnabled(index <= 0);
    if (index > 0)
        longitudeedit->setText(Degrees(places_[size_t(index - 1)].longitude));
}

void BirthTimeDialog::Show(const QString& text) const { sink_.Show(text.toStdString(), "出生時刻・出生地"); }

bool BirthTimeDialog::Save()
{
    if (!savebtn->isEnabled())
        return false;
    const QString typedTime = timeedit->text().trimmed();
    const std::optional<int> minute = ParseClockTime(typedTime.toStdString());
    if (!minute) {
        Show(QStringLiteral("出生時刻は HH:MM の形（00:00〜23:59、例 05:50）で入力して下さい（入力: %1）。\n何も保存していません。")
                 .arg(typedTime));
        return false;
    }
    BirthTimeEntry entry;
    entry.clockTime = Q(ClockTimeText(*minute));
    bool confirmed = false;
    if (const int index = placebox->currentIndex(); index > 0) {
        const Birthplace& place = places_[size_t(index - 1)];
        entry.place = Q(place.Name());
        entry.longitude = place.longitude;
    } else if (const QString typed = Q(NormalizeTypedText(longitudeedit->text().trimmed().toStdString()));
               !typed.isEmpty()) {
        bool ok = false;
        const double value = QLocale::c().toDouble(typed, &ok);
        if (!ok || !std::isfinite(value) || value < -180 || value > 360) {
            Show(QStringLiteral("東経は度で入力して下さい（例 141.35）（入力: %1）。\n何も保存していません。").arg(typed));
            return false;
        }
        if (value < kFirstJapanLongitude || value > kLastJapanLongitude) {
            confirmed = ask_ && ask_(QStringLiteral("東経 %1 度は日本（東経 %2〜%3 度）の外です。この経度で保存しますか？")
                                         .arg(typed)
                                         .arg(int(kFirstJapanLongitude))
                                         .arg(int(kLastJapanLongitude)));
            if (!confirmed)
                return false;
        }
        entry.longitude = value;
    }
    if (const QString why = table_->Write(person_, entry, confirmed); !why.isEmpty()) {
        Show(why + QStringLiteral("\n何も保存していません。"));
        return false;
    }
    accept();
    return true;
}

bool BirthTimeDialog::Clear()
{
    if (!clearbtn->isEnabled())
        return false;
    if (const QString why = table_->Remove(person_); !why.isEmpty()) {
        Show(why + QStringLiteral("\n出生時刻は消していません。"));
        return false;
    }
    accept();
    return true;
}

}  // namespace zelvara
