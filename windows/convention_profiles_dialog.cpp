#include "windows/convention_profiles_dialog.h"

#include "common/named_object.h"
#include "common/qstring_utf8.h"
#include "engine/context.h"
#include "store/convention_profiles.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelvara {
namespace {

const QString kStandardName = Q(kStandardProfileName);

// What each switch decides, in the order of ConventionSwitches().
QString SwitchLabel(std::string_view key) {
    static const std::pair<std::string_view, const char16_t*> labels[] = {
        {"palace-month", u"命宮・身宮の月"}, {"year-start", u"年の始まり"}, {"late-hour", u"23時台の日"},
        {"meridian", u"旧暦の経度"},         {"transform-wu", u"戊の四化"}, {"transform-geng", u"庚の四化"},
        {"transform-ren", u"壬の四化"},      {"correction", u"時刻の補正"},
    };
    for (const auto& [k, label] : labels)
        if (k == key) return QString::fromUtf16(label);
    return Q(key);
}

}  // namespace

ConventionProfilesDialog::ConventionProfilesDialog(const QString& settingsPath, MessageSink& sink, QWidget* parent)
    : QDialog(parent), settings_(settingsPath), sink_(sink) {
    setObjectName(QStringLiteral("ConventionProfilesDialog"));
    setWindowTitle(QStringLiteral("流派の設定"));
    setToolTip(QStringLiteral("F1キー押下でヘルプ"));

    profileList = Named(new QListWidget(this), "profileList");
    profileList->setMinimumWidth(150);
    newbtn = Named(new QPushButton(QStringLiteral("新規…"), this), "newbtn");
    newbtn->setToolTip(QStringLiteral("標準と同じ規則の新しい流派を作ります"));
    copybtn = Named(new QPushButton(QStringLiteral("複製…"), this), "copybtn");
    copybtn->setToolTip(QStringLiteral("選んでいる流派を別の名前で写します"));
    renamebtn = Named(new QPushButton(QStringLiteral("名前の変更…"), this), "renamebtn");
    deletebtn = Named(new QPushButton(QStringLiteral("削除"), this), "deletebtn");
    connect(newbtn, &QPushButton::clicked, this, &ConventionProfilesDialog::NewProfile);
    connect(copybtn, &QPushButton::clicked, this, &ConventionProfilesDialog::CopyProfile);
    connect(renamebtn, &QPushButton::clicked, this, &ConventionProfilesDialog::RenameProfile);
    connect(deletebtn, &QPushButton::clicked, this, &ConventionProfilesDialog::DeleteProfile);
    auto* left = new QVBoxLayout;
    left->addWidget(profileList, 1);
    auto* buttons = new QGridLayout;
    buttons->addWidget(newbtn, 0, 0);
    buttons->addWidget(copybtn, 0, 1);
    buttons->addWidget(renamebtn, 1, 0);
    buttons->addWidget(deletebtn, 1, 1);
    left->addLayout(buttons);

    auto* switches = Named(new QGroupBox(QStringLiteral("規則"), this), "switchGroup");
    auto* form = new QFormLayout(switches);
    for (const ConventionSwitch& s : ConventionSwitches()) {
        auto* box = new QComboBox(switches);
        box->setObjectName(Q(s.key));
        for (size_t v = 0; v < s.words.size(); ++v) {
            QString text = Q(ConventionValueText(s.key, s.words[v]));
            if (v == 0) text += QStringLiteral("（標準）");
            box->addItem(text, Q(s.words[v]));
        }
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (loading_) return;
            edited_ = true;
            savebtn->setEnabled(true);
        });
        form->addRow(SwitchLabel(s.key), box);
        switchBoxes_.push_back(box);
    }
    standardNote = Named(new QLabel(QStringLiteral("標準は変更できません"), switches), "standardNote");
    standardNote->setStyleSheet(QStringLiteral("color: #a00000"));
    form->addRow(standardNote);
    savebtn = Named(new QPushButton(QStringLiteral("保存"), this), "savebtn");
    connect(savebtn, &QPushButton::clicked, this, &ConventionProfilesDialog::SaveProfile);
    auto* closebtn = Named(new QPushButton(QStringLiteral("閉じる"), this), "closebtn");
    connect(closebtn, &QPushButton::clicked, this, &QDialog::accept);
    auto* right = new QVBoxLayout;
    right->addWidget(switches);
    right->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(savebtn);
    bottom->addStretch(1);
    bottom->addWidget(closebtn);
    right->addLayout(bottom);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    connect(profileList, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (loading_ || name.isEmpty() || name == shown_) return;
        if (!SettleEdits()) {
            SelectProfile(shown_);
            return;
        }
        shown_ = name;
        ShowProfile();
    });
    Reload(kStandardName);
}

QString ConventionProfilesDialog::CurrentName() const { return shown_; }

bool ConventionProfilesDialog::SelectProfile(const QString& name) {
    const QList<QListWidgetItem*> found = profileList->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    profileList->setCurrentItem(found.constFirst());
    return true;
}

void ConventionProfilesDialog::Reload(const QString& select) {
    loading_ = true;
    profileList->clear();
    profileList->addItems(ConventionProfileNames(settings_));
    loading_ = false;
    shown_.clear();
    if (!SelectProfile(select)) SelectProfile(kStandardName);
}

void ConventionProfilesDialog::ShowProfile() {
    QString why;
    const std::optional<ConventionProfile> profile = LoadConventionProfile(settings_, shown_, &why);
    if (!profile) Say(why + QStringLiteral("\n標準の規則を表示します。保存すると読める形で書き直します。"));
    Conventions c = profile ? profile->conventions : Conventions{};
    const bool standard = shown_ == kStandardName;
    // 標準 corrects times as the settings' 時刻の補正 says.
    if (standard) c.correction = LoadTimeCorrection(settings_);
    loading_ = true;
    const std::vector<ConventionSwitch>& all = ConventionSwitches();
    for (size_t i = 0; i < all.size() && i < switchBoxes_.size(); ++i) {
        switchBoxes_[i]->setCurrentIndex(std::max(0, switchBoxes_[i]->findData(Q(ConventionWord(c, all[i].key)))));
        switchBoxes_[i]->setEnabled(!standard);
        switchBoxes_[i]->setToolTip(standard ? standardNote->text() : QString());
        if (standard && all[i].key == "correction")
            switchBoxes_[i]->setToolTip(QStringLiteral("標準では環境設定の「時刻の補正」を使います"));
    }
    loading_ = false;
    edited_ = !profile && !standard;
    standardNote->setVisible(standard);
    savebtn->setEnabled(edited_);
    renamebtn->setEnabled(!standard);
    deletebtn->setEnabled(!standard);
}

Conventions ConventionProfilesDialog::ShownConventions() const {
    Conventions c;
    const std::vector<ConventionSwitch>& all = ConventionSwitches();
    for (size_t i = 0; i < all.size() && i < switchBoxes_.size(); ++i)
        SetConvention(c, all[i].key, switchBoxes_[i]->currentData().toString().toStdString());
    return c;
}

bool ConventionProfilesDialog::SaveProfile() {
    if (shown_ == kStandardName) return false;
    QString why;
    if (!SaveConventionProfile(settings_, ConventionProfile{shown_.toStdString(), ShownConventions()}, &why)) {
        Say(QStringLiteral("流派「%1」を保存できませんでした。\n%2").arg(shown_, why));
        return false;
    }
    edited_ = false;
    savebtn->setEnabled(false);
    return true;
}

bool ConventionProfilesDialog::SettleEdits() {
    if (!edited_) return true;
    if (Ask(QStringLiteral("流派「%1」の変更を保存しますか？\n（「いいえ」で変更を捨てます）").arg(shown_)))
        return SaveProfile();
    edited_ = false;
    return true;
}

std::optional<QString> ConventionProfilesDialog::AskNewName(const QString& label, const QString& offered) {
    std::optional<QString> name;
    if (askName_) {
        name = askName_(label, offered);
    } else {
        bool ok = false;
        const QString typed = QInputDialog::getText(this, windowTitle(), label, QLineEdit::Normal, offered, &ok);
        if (ok) name = typed;
    }
    if (!name) return std::nullopt;
    QString why;
    if (!IsNewConventionProfileName(settings_, *name, &why)) {
        Say(why);
        return std::nullopt;
    }
    return name->trimmed();
}

void ConventionProfilesDialog::NewProfile() {
    if (!SettleEdits()) return;
    const std::optional<QString> name = AskNewName(QStringLiteral("新しい流派の名前"), {});
    if (!name) return;
    // It starts as 標準 with the time correction the settings use, so that a
    // profile made for another switch does not change how times are corrected.
    ConventionProfile profile{name->toStdString(), {}};
    profile.conventions.correction = LoadTimeCorrection(settings_);
    QString why;
    if (!SaveConventionProfile(settings_, profile, &why)) {
        Say(QStringLiteral("流派「%1」を作れませんでした。\n%2").arg(*name, why));
        return;
    }
    Reload(*name);
}

void ConventionProfilesDialog::CopyProfile() {
    if (!SettleEdits()) return;
    const QString from = shown_;
    const std::optional<QString> name =
        AskNewName(QStringLiteral("「%1」の写しの名前").arg(from), QStringLiteral("%1の写し").arg(from));
    if (!name) return;
    QString why;
    const std::optional<ConventionProfile> source = LoadConventionProfile(settings_, from, &why);
    if (!source ||
        !SaveConventionProfile(settings_, ConventionProfile{name->toStdString(), source->conventions}, &why)) {
        Say(QStringLiteral("流派「%1」を写せませんでした。\n%2").arg(from, why));
        return;
    }
    Reload(*name);
}

void ConventionProfilesDialog::RenameProfile() {
    if (shown_ == kStandardName || !SettleEdits()) return;
    const QString from = shown_;
    const std::optional<QString> name = AskNewName(QStringLiteral("「%1」の新しい名前").arg(from), from);
    if (!name) return;
    if (!Ask(QStringLiteral("流派「%1」の名前を「%2」に変えますか？\n"
                            "「%1」を選んでいる人物は、流派を選び直すまで既定の流派で作成します。")
                 .arg(from, *name)))
        return;
    QString why;
    if (!RenameConventionProfile(settings_, from, *name, &why)) {
        Say(QStringLiteral("流派「%1」の名前を変えられませんでした。\n%2").arg(from, why));
        return;
    }
    Reload(*name);
}

void ConventionProfilesDialog::DeleteProfile() {
    if (shown_ == kStandardName) return;
    const QString name = shown_;
    QString question = QStringLiteral(
                           "流派「%1」を削除しますか？\n"
                           "この流派を選んでいる人物は、既定の流派で作成します。")
                           .arg(name);
    if (Q(DefaultConventionProfile(settings_).name) == name)
        question += QStringLiteral("\n「%1」は既定の流派なので、既定は「%2」に戻ります。").arg(name, kStandardName);
    if (!Ask(question)) return;
    QString why;
    if (!DeleteConventionProfile(settings_, name, &why)) {
        Say(QStringLiteral("流派「%1」を削除できませんでした。\n%2").arg(name, why));
        return;
    }
    edited_ = false;
    Reload(kStandardName);
}

void ConventionProfilesDialog::done(int result) {
    if (!SettleEdits()) return;
    QDialog::done(result);
}

bool ConventionProfilesDialog::Ask(const QString& text) {
    if (ask_) return ask_(text);
    return QMessageBox::question(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void ConventionProfilesDialog::Say(const QString& text) { sink_.Show(text.toStdString(), {}); }

}  // namespace zelvara
