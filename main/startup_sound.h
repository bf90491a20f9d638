// The start-up chime: one of six wave files, chosen by the last digit of the
// day of the month, played without waiting for it.
#pragma once

#include <QString>

class QObject;

namespace zelvara {

// "sound1.wav" … "sound6.wav" for day of month 1..31.
QString StartupSoundFile(int dayOfMonth);

// Starts playing the file (asynchronously); a missing file or sound device
// only means silence. The player is owned by owner.
void PlayStartupSound(const QString& path, QObject* owner);

}  // namespace zelvara
