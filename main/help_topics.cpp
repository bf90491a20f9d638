#include "main/help_topics.h"

#include "main/help_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>
#include <QWidget>

namespace zelvara {
namespace {

// The dynamic property a HelpContext sets on its window.
constexpr char kContextProperty[] = "helpContext";

// By objectName unless said otherwise. A window that is not listed answers
// for the window that owns it, so a new window needs its own line here.
constexpr HelpTopic kHelpTopics[] = {
    // The main window: outside its pages, the page it shows.
    {"MainForm1", "topic2"},
    {"datainput", "topic4"},
    {"syuseizu", "topic5"},
    // The chart page's centre panel, where the time layers are picked, and
    // the palaces' menu of flying 四化.
    {"centerPanel", "topic10"},
    {"palaceMenu", "topic10"},
    // The chart handed over as a picture or a text.
    {"pictureSaveBtn", "topic19"},
    {"pictureSizeMenu", "topic19"},
    {"pictureCopyBtn", "topic19"},
    {"textCopyBtn", "topic19"},
    // The conventions a chart not cast by 標準 was cast by.
    {"conventionsLine", "topic21"},
    {"reportBtn", "topic20"},
    {"reportWindow", "topic20"},
    // 「境界注意」 and the comparison window it opens.
    {"boundaryBtn", "topic22"},
    {"chartComparisonWindow", "topic22"},
    {"kanteisheet", "topic6"},
    {"kounsheet", "topic6"},
    {"kekkonsheet", "topic6"},
    {"consultationsheet", "topic16"},
    {"Tkekkonfrm", "topic6"},
    {"Ttimefrm", "topic4"},
    {"BirthTimeDialog", "topic9"},
    // The client's convention profile on the data page.
    {"profileBox", "topic21"},
    {"profileLabel", "topic21"},
    {"title", "topic3"},  // the splash
    {"PrinterSetupDialog1", "topic7"},
    {"TCunstomFrm", "topic8"},
    {"logoFileDialog", "topic8"},
    {"Tdbenvfrm", "topic8"},
    {"TkounDBfrm", "topic8"},
    {"TAiDBfrm", "topic8"},
    {"RegisterPlaceDialog", "topic11"},
    {"ConventionProfilesDialog", "topic21"},
    // Doors of the settings window (HelpContext keys).
    {"registerCsv", "topic12"},
    {"registerParadox", "topic13"},
    {"textsParadox", "topic13"},
    {"DeletedRecordsFrm", "topic14"},
    {"Tmatorixfrm", "topic15"},
    {"Thelpbunfrm", "topic15"},
    {"Tsosikiin", "topic15"},
    {"Tsosikisyu", "topic15"},
    {"Tmannenfrm", "topic15"},
    // Across clients, and a client's own data (the data page's 個人データ menu).
    {"TAgendaFrm", "topic17"},
    {"TNotesSearchFrm", "topic17"},
    {"personalDatabtn", "topic18"},
    {"personalDataMenu", "topic18"},
};

// The topic of the page a window shows, when its pages have topics.
QString CurrentPageAnchor(const QWidget* window) {
    for (const QTabWidget* pages : window->findChildren<QTabWidget*>()) {
        if (pages->window() != window || !pages->currentWidget()) continue;
        if (const QString anchor = HelpAnchorOfKey(pages->currentWidget()->objectName()); !anchor.isEmpty())
            return anchor;
    }
    return {};
}

}  // namespace

std::span<const HelpTopic> HelpTopics() { return kHelpTopics; }

QString HelpAnchorOfKey(const QString& key) {
    for (const HelpTopic& t : kHelpTopics) {
        if (key == QLatin1String(t.key)) return QString::fromLatin1(t.anchor);
    }
    return {};
}

QString HelpAnchorOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const QString anchor = HelpAnchorOfKey(w->property(kContextProperty).toString()); !anchor.isEmpty())
            return anchor;
        if (w->isWindow()) {
            if (const QString anchor = CurrentPageAnchor(w); !anchor.isEmpty()) return anchor;
        }
        if (const QString anchor = HelpAnchorOfKey(w->objectName()); !anchor.isEmpty()) return anchor;
    }
    return {};
}

HelpContext::HelpContext(QWidget* window, const char* key) : window_(window) {
    if (!window_) return;
    before_ = window_->property(kContextProperty);
    window_->setProperty(kContextProperty, QString::fromLatin1(key));
}

HelpContext::~HelpContext() {
    if (window_) window_->setProperty(kContextProperty, before_);
}

void ShowHelpFor(QWidget* widget, const DataFolders& folders) {
    QWidget* window = widget->window();
    // A menu's help belongs to the window the menu came from, which outlives it.
    while (window->windowType() == Qt::Popup && window->parentWidget()) window = window->parentWidget()->window();
    auto* help = window->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help) help = new HelpWindow(window);
    help->ShowTopic(folders, HelpAnchorOf(widget));
}

HelpKey::HelpKey(std::function<DataFolders()> folders, QObject* parent)
    : QObject(parent), folders_(std::move(folders)) {
    qApp->installEventFilter(this);
}

HelpKey::~HelpKey() {
    if (qApp) qApp->removeEventFilter(this);
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (qobject_cast<HelpWindow*>(widget->window())) return false;  // the help itself
    ShowHelpFor(widget, folders_());
    return true;
}

}  // namespace zelvara
