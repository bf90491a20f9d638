#include "app_windows.h"

#include "main_window.h"
#include "hour_window.h"
#include "kekkon_window.h"
#include "pending_windows.h"

namespace zelvara {
namespace {

std::unique_ptr<QObject> Module(const char* name)
{
    auto object = std::make_unique<QObject>();
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

}  // namespace

ApplicationWindows::ApplicationWindows(TMainForm1& mainForm)
{
    auto add = [this](std::unique_ptr<QObject> o) {
        QObject* raw = o.get();
        objects_.push_back(std::move(o));
        return static_cast<QWidget*>(raw->isWidgetType() ? raw : nullptr);
    };
    OpenableWindows w;
    w.settings = add(std::make_unique<TCunstomFrm>(QStringLiteral("環境設定")));
    add(Module("DataModule1"));
    add(std::make_unique<Tdbenvfrm>(QStringLiteral("鑑定文章とアルゴリズムデータベース変更画面"), QSize(763, 596)));
    add(Module("printmodule"));
    add(std::make_unique<TkounDBfrm>(QStringLiteral("行運のデータベース画面"), QSize(676, 307)));
    add(std::make_unique<TAiDBfrm>(QStringLiteral("結婚の相性データベース画面"), QSize(692, 575)));
    w.marriageRules = add(std::make_unique<Tkekkonfrm>());
    w.legends = add(std::make_unique<Thelpbunfrm>(QStringLiteral("星の説明の画面（Orvandelが原本になっています）")));
    w.starMatrix = add(std::make_unique<Tmatorixfrm>(QStringLiteral("主要な星のマトリックス図"), QSize(649, 585)));
    w.hourWindow = static_cast<Ttimefrm*>(add(std::make_unique<Ttimefrm>(mainForm.Texts(), &mainForm)));
    mainForm.SetOpenableWindows(w);
}

ApplicationWindows::~ApplicationWindows() = default;

QStringList ApplicationWindows::CreationOrder() const
{
    QStringList names;
    for (const auto& o : objects_)
        names << o->objectName();
    return names;
}

}  // namespace zelvara
