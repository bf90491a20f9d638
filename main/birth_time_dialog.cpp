#include "main/birth_time_dialog.h"

#include "common/named_object.h"
#include "common/qstring_utf8.h"
#include "engine/chart_request.h"
#include "engine/exact_birth.h"
#include "engine/solar_time.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zelvara {
namespace {

QString Degrees(double longitude) { return QString::number(longitude, 'f', 2); }

// The world places a search lists at the most.
constexpr std::size_t kWorldMatches = 50;

// correctionbox's items after its first, the settings' choice.
constexpr TimeCorrection kCorrections[] = {TimeCorrection::kNone, TimeCorrection::kMean, TimeCorrection::kTrue};

}  // namespace

BirthTimeDialog::BirthTimeDialog(BirthTimeTable* table, qint64 person, const QString& cannotStore,
                                 std::vector<Birthplace> places, std::vector<GazetteerPlace> world, MessageSink& sink,
                                 std::function<bool(const QString&)> ask, QWidget* parent)
    : QDialog(parent),
      table_(table),
      person_(person),
      places_(std::move(places)),
      world_(std::move(world)),
      sink_(sink),
      ask_(std::move(ask)) {
    setObjectName(QStringLiteral("BirthTimeDialog"));
    setWindowTitle(QStringLiteral("出生時刻・出生地"));
    timeedit = Named(new QLineEdit(this), "timeedit");
    timeedit->setPlaceholderText(QStringLiteral("05:50"));
    timeedit->setMaxLength(5);
    placebox = Named(new QComboBox(this), "placebox");
    placebox->addItem(QStringLiteral("（経度で指定）"));
    for (const Birthplace& place : places_) placebox->addItem(Q(place.Name()));
    worldsearch = Named(new QLineEdit(this), "worldsearch");
    worldsearch->setPlaceholderText(QStringLiteral("日本語か英語で（例 ニューヨーク、London）"));
    worldbox = Named(new QComboBox(this), "worldbox");
    worldbox->addItem(QStringLiteral("（選ばない）"));
    longitudeedit = Named(new QLineEdit(this), "longitudeedit");
    longitudeedit->setPlaceholderText(QStringLiteral("例 141.35（空欄：補正なし）"));
    zoneedit = Named(new QLineEdit(this), "zoneedit");
    zoneedit->setPlaceholderText(QStringLiteral("Asia/Tokyo"));
    correctionbox = Named(new QComboBox(this), "correctionbox");
    correctionbox->addItems({QStringLiteral("設定に従う"), QStringLiteral("補正なし"), QStringLiteral("地方平均太陽時"),
                             QStringLiteral("真太陽時（均時差も）")});
    statuslbl = Named(new QLabel(this), "statuslbl");
    statuslbl->setWordWrap(true);
    statuslbl->setStyleSheet(QStringLiteral("color: #a00000"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("出生時刻（時計の時刻 HH:MM）"), timeedit);
    form->addRow(QStringLiteral("出生地"), placebox);
    form->addRow(QStringLiteral("世界の都市を検索"), worldsearch);
    form->addRow(QStringLiteral("世界の都市"), worldbox);
    form->addRow(QStringLiteral("東経（度）"), longitudeedit);
    form->addRow(QStringLiteral("タイムゾーン"), zoneedit);
    form->addRow(QStringLiteral("時刻の補正"), correctionbox);
    auto* buttons = new QDialogButtonBox(this);
    savebtn = Named(buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole), "savebtn");
    clearbtn = Named(buttons->addButton(QStringLiteral("時刻を消す"), QDialogButtonBox::DestructiveRole), "clearbtn");
    Named(buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole), "cancelbtn");
    // Save and clear close the dialog only when they succeeded.
    connect(savebtn, &QPushButton::clicked, this, [this] { Save(); });
    connect(clearbtn, &QPushButton::clicked, this, [this] { Clear(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(placebox, &QComboBox::currentIndexChanged, this, &BirthTimeDialog::PlaceChosen);
    connect(worldsearch, &QLineEdit::textEdited, this, &BirthTimeDialog::SearchWorld);
    connect(worldbox, &QComboBox::currentIndexChanged, this, &BirthTimeDialog::WorldPlaceChosen);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* note =
        new QLabel(QStringLiteral("時計の時刻は出生地のタイムゾーンで読み、夏時間は常に除きます。経度と均時差の"
                                  "補正は、この人の「時刻の補正」か、設定画面の「時刻の補正」で選びます。"),
                   this);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addWidget(statuslbl);
    layout->addWidget(buttons);

    QString why = cannotStore;
    if (why.isEmpty() && !table_) why = QStringLiteral("出生時刻の表を開けません。");
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
        if (const auto entry = table_->Read(person_)) ShowEntry(*entry);
    }
}

void BirthTimeDialog::ShowEntry(const BirthTimeEntry& entry) {
    timeedit->setText(entry.clockTime);
    const int at = entry.place.isEmpty() ? -1 : placebox->findText(entry.place);
    placebox->setCurrentIndex(std::max(at, 0));
    if (at <= 0 && !entry.place.isEmpty() && entry.longitude) {
        // A world place: listed alone until the reader searches again.
        found_ = {PlaceChoice{entry.place.toStdString(), *entry.longitude, entry.zone.toStdString()}};
        worldbox->addItem(entry.place);
        worldbox->setCurrentIndex(1);
    } else if (at <= 0 && entry.longitude) {
        longitudeedit->setText(Degrees(*entry.longitude));
    }
    if (!entry.InJapan()) zoneedit->setText(entry.zone);
    if (entry.correction)
        correctionbox->setCurrentIndex(
            1 + int(std::find(std::begin(kCorrections), std::end(kCorrections), *entry.correction) -
                    std::begin(kCorrections)));
}

void BirthTimeDialog::PlaceChosen(int index) {
    // A place from the list brings its own longitude (and Japan's zone); only
    // item 0 is typed.
    const bool typed = index <= 0 && !worldPlace_;
    longitudeedit->setEnabled(typed);
    zoneedit->setEnabled(typed);
    if (index > 0) {
        worldbox->setCurrentIndex(0);
        longitudeedit->setText(Degrees(places_[size_t(index - 1)].longitude));
        zoneedit->clear();
    }
}

void BirthTimeDialog::SearchWorld(const QString& typed) {
    found_.clear();
    const QSignalBlocker quiet(worldbox);
    worldbox->clear();
    worldbox->addItem(typed.trimmed().isEmpty() ? QStringLiteral("（選ばない）") : QStringLiteral("（%1 件）").arg(0));
    for (const GazetteerPlace* p : SearchGazetteer(world_, typed.trimmed().toStdString(), kWorldMatches)) {
        found_.push_back(PlaceChoice{p->Label(), p->longitude, p->zone == kJapanZone ? std::string() : p->zone});
        worldbox->addItem(Q(p->Label() + (p->state.empty() || p->state == p->name ? "" : "　" + p->state)));
    }
    if (!typed.trimmed().isEmpty())
        worldbox->setItemText(0, QStringLiteral("（%1 件見つかりました）").arg(found_.size()));
    WorldPlaceChosen(0);
    worldbox->setCurrentIndex(0);
}

void BirthTimeDialog::WorldPlaceChosen(int index) {
    worldPlace_.reset();
    if (index > 0 && size_t(index - 1) < found_.size()) {
        worldPlace_ = found_[size_t(index - 1)];
        const QSignalBlocker quiet(placebox);
        placebox->setCurrentIndex(0);
        longitudeedit->setText(Degrees(worldPlace_->longitude));
        zoneedit->setText(Q(worldPlace_->zone));
    }
    PlaceChosen(placebox->currentIndex());
}

void BirthTimeDialog::Show(const QString& text) const { sink_.Show(text.toStdString(), "出生時刻・出生地"); }

bool BirthTimeDialog::Save() {
    if (!savebtn->isEnabled()) return false;
    const QString typedTime = timeedit->text().trimmed();
    const std::optional<int> minute = ParseClockTime(typedTime.toStdString());
    if (!minute) {
        Show(
            QStringLiteral(
                "出生時刻は HH:MM の形（00:00〜23:59、例 05:50）で入力して下さい（入力: %1）。\n何も保存していません。")
                .arg(typedTime));
        return false;
    }
    BirthTimeEntry entry;
    entry.clockTime = Q(ClockTimeText(*minute));
    bool confirmed = false;
    if (const int index = correctionbox->currentIndex(); index > 0) entry.correction = kCorrections[index - 1];
    if (worldPlace_) {
        entry.place = Q(worldPlace_->label);
        entry.longitude = worldPlace_->longitude;
        entry.zone = Q(worldPlace_->zone);
    } else if (const int index = placebox->currentIndex(); index > 0) {
        const Birthplace& place = places_[size_t(index - 1)];
        entry.place = Q(place.Name());
        entry.longitude = place.longitude;
    } else if (const QString typed = Q(NormalizeTypedText(longitudeedit->text().trimmed().toStdString()));
               !typed.isEmpty()) {
        bool ok = false;
        const double value = QLocale::c().toDouble(typed, &ok);
        if (!ok || !std::isfinite(value) || value < -180 || value > 360) {
            Show(QStringLiteral("東経は度で入力して下さい（例 141.35）（入力: %1）。\n何も保存していません。")
                     .arg(typed));
            return false;
        }
        entry.zone = zoneedit->text().trimmed();
        if (entry.InJapan() && (value < kFirstJapanLongitude || value > kLastJapanLongitude)) {
            confirmed =
                ask_ && ask_(QStringLiteral("東経 %1 度は日本（東経 %2〜%3 度）の外です。この経度で保存しますか？")
                                 .arg(typed)
                                 .arg(int(kFirstJapanLongitude))
                                 .arg(int(kLastJapanLongitude)));
            if (!confirmed) return false;
        }
        entry.longitude = value;
    } else {
        entry.zone = zoneedit->text().trimmed();
    }
    if (const QString why = table_->Write(person_, entry, confirmed); !why.isEmpty()) {
        Show(why + QStringLiteral("\n何も保存していません。"));
        return false;
    }
    accept();
    return true;
}

void BirthTimeDialog::SetHelp(std::function<void(QWidget* parent)> show) {
    auto* buttons = qobject_cast<QDialogButtonBox*>(savebtn->parentWidget());
    QPushButton* help = Named(buttons->addButton(QStringLiteral("ヘルプ"), QDialogButtonBox::HelpRole), "helpbtn");
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QPushButton::clicked, this, [this, show = std::move(show)] { show(this); });
}

bool BirthTimeDialog::Clear() {
    if (!clearbtn->isEnabled()) return false;
    if (const QString why = table_->Remove(person_); !why.isEmpty()) {
        Show(why + QStringLiteral("\n出生時刻は消していません。"));
        return false;
    }
    accept();
    return true;
}

}  // namespace zelvara
