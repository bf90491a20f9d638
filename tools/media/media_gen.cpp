#include "tools/media/media.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: zelvara-media OUTPUT_FOLDER\n";
        return 2;
    }
    const QString out = args.at(1);
    const bool ok = media::WritePalaceBitmaps(out) && media::WriteSplashPicture(out) && media::WriteChimes(out);
    if (!ok) {
        QTextStream(stderr) << "zelvara-media: could not write into " << out << "\n";
        return 1;
    }
    return 0;
}
