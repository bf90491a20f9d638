// zelvara-pictures DATA_FOLDER: writes the star pictures, the star-matrix
// diagram and the organisation charts into the data folder.
#include "tools/media/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: zelvara-pictures DATA_FOLDER\n";
        return 2;
    }
    const QString out = args.at(1);
    const bool ok = QDir(out).mkpath(QStringLiteral("bmp")) && pictures::WriteStarPictures(out) &&
                    pictures::WriteMatrixPicture(out) && pictures::WriteOrganisationPictures(out);
    if (!ok) {
        QTextStream(stderr) << "zelvara-pictures: could not write into " << out << "\n";
        return 1;
    }
    return 0;
}
