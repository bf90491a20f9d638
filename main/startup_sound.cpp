#include "main/startup_sound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace zelvara {

QString StartupSoundFile(int dayOfMonth) {
    static constexpr int kSoundOfDigit[10] = {1, 2, 2, 3, 6, 4, 3, 4, 5, 5};
    return QStringLiteral("sound%1.wav").arg(kSoundOfDigit[dayOfMonth % 10]);
}

void PlayStartupSound(const QString& path, QObject* owner) {
    if (!QFileInfo::exists(path)) return;
    auto* effect = new QSoundEffect(owner);
    effect->setSource(QUrl::fromLocalFile(path));
    effect->setVolume(0.8f);
    effect->play();  // plays once the file is loaded; errors stay silent
}

}  // namespace zelvara
