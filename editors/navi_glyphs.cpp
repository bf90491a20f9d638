#include "editors/navi_glyphs.h"

#include <QDir>
#include <QFileInfo>

static void InitNaviGlyphResources() { Q_INIT_RESOURCE(navi_glyphs); }

namespace zelvara {
namespace {

const QString kGlyphFolder = QStringLiteral(":/capnavi");

}  // namespace

QPixmap FindStoredGlyph(const QString& name) {
    static const bool ready = (InitNaviGlyphResources(), true);
    Q_UNUSED(ready);
    const QDir folder(kGlyphFolder);
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files)) {
        if (entry.completeBaseName().compare(name, Qt::CaseInsensitive) == 0) return QPixmap(entry.filePath());
    }
    return {};
}

QPixmap StoredGlyph(TNavigateBtn kind) { return FindStoredGlyph(QStringLiteral("db_%1").arg(KindWord(kind))); }

}  // namespace zelvara
