#include "common/data_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace zelvara;

// Folders laid out as a build folder, an installed prefix and a --home folder
// would be, and the folders the rule picks among them.
class TestDataFolders : public QObject {
    Q_OBJECT
private:
    QTemporaryDir root_;
    QString Path(const QString& relative) const { return QDir::cleanPath(root_.filePath(relative)); }

private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        for (const char* folder : {"build/bin/seed", "prefix/bin", "prefix/share/zelvara/seed", "home/seed", "bare/bin",
                                   "readonly/bin/seed"})
            QVERIFY(QDir().mkpath(root_.filePath(QString::fromLatin1(folder))));
        QFile::setPermissions(Path("readonly/bin"),
                              QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    }
    void cleanupTestCase() {
        QFile::setPermissions(Path("readonly/bin"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void layout_data() {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("shipped");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("needsNonRoot");
        const QString user = QStringLiteral("/users/u/.local/share/zelvara");
        // The program folder is the executable's folder unless --home or ZELVARA_HOME named one.
        QTest::newRow("build folder: portable") << "build/bin"
                                                << "build/bin"
                                                << "build/bin"
                                                << "build/bin" << false;
        QTest::newRow("installed: share and user data") << "prefix/bin"
                                                        << "prefix/bin"
                                                        << "prefix/share/zelvara" << user << false;
        QTest::newRow("installed, CLI gave the share folder") << "prefix/share/zelvara"
                                                              << "prefix/bin"
                                                              << "prefix/share/zelvara" << user << false;
        QTest::newRow("--home wins over installed") << "home"
                                                    << "prefix/bin"
                                                    << "home"
                                                    << "home" << false;
        QTest::newRow("--home wins over portable") << "home"
                                                   << "build/bin"
                                                   << "home"
                                                   << "home" << false;
        QTest::newRow("nothing found: as before") << "bare/bin"
                                                  << "bare/bin"
                                                  << "bare/bin"
                                                  << "bare/bin" << false;
        QTest::newRow("read-only portable folder: user data apart") << "readonly/bin"
                                                                    << "readonly/bin"
                                                                    << "readonly/bin" << user << true;
    }
    void layout() {
        QFETCH(QString, programFolder);
        QFETCH(QString, executable);
        QFETCH(QString, shipped);
        QFETCH(QString, user);
        QFETCH(bool, needsNonRoot);
        if (needsNonRoot && geteuid() == 0) QSKIP("root writes into a read-only folder");
        const QString userData = QStringLiteral("/users/u/.local/share/zelvara");
        const DataFolders folders = ResolveDataFolders(Path(programFolder), Path(executable), userData);
        const QString expectedUser = user.startsWith(QLatin1Char('/')) ? user : Path(user);
        QCOMPARE(folders.shipped, Path(shipped));
        QCOMPARE(folders.user, expectedUser);
        QCOMPARE(folders.Separate(), folders.shipped != expectedUser);
    }

    // The user's folder follows XDG_DATA_HOME, whatever the program calls itself.
    void userDataLocationFollowsXdg() {
        qputenv("XDG_DATA_HOME", Path("xdg").toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("zelvara-cli"));
        QCOMPARE(UserDataLocation(), Path("xdg/zelvara"));
    }

    // A shipped file is looked for in the user's folder first; the user's
    // copy is the one read, a missing one falls back to the shipped file, and
    // with neither the shipped path is named (for the missing-file message).
    void findDataFile_data() {
        QTest::addColumn<QString>("userFile");     // made under user/ when not empty
        QTest::addColumn<QString>("shippedFile");  // made under shipped/ when not empty
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expected");
        QTest::newRow("user copy wins") << "bmp/inkoku.bmp"
                                        << "bmp/inkoku.bmp"
                                        << "bmp/inkoku.bmp"
                                        << "user/bmp/inkoku.bmp";
        QTest::newRow("only the user's") << "sound3.wav"
                                         << ""
                                         << "sound3.wav"
                                         << "user/sound3.wav";
        QTest::newRow("falls back to shipped") << ""
                                               << "help/index.html"
                                               << "help/index.html"
                                               << "shipped/help/index.html";
        QTest::newRow("another file overridden") << "bmp/syukoku.bmp"
                                                 << "bmp/inkoku.bmp"
                                                 << "bmp/inkoku.bmp"
                                                 << "shipped/bmp/inkoku.bmp";
        QTest::newRow("neither: shipped name") << ""
                                               << ""
                                               << "bmp/tenpu.bmp"
                                               << "shipped/bmp/tenpu.bmp";
        QTest::newRow("a folder is no file") << "bmp/tenpu.bmp/"
                                             << "bmp/tenpu.bmp"
                                             << "bmp/tenpu.bmp"
                                             << "shipped/bmp/tenpu.bmp";
    }
    void findDataFile() {
        QFETCH(QString, userFile);
        QFETCH(QString, shippedFile);
        QFETCH(QString, relative);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto make = [&](const QString& file) {
            if (file.isEmpty()) return true;
            if (file.endsWith(QLatin1Char('/'))) return QDir().mkpath(dir.filePath(file));
            QDir().mkpath(QFileInfo(dir.filePath(file)).absolutePath());
            QFile f(dir.filePath(file));
            return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
        };
        QVERIFY(make(userFile.isEmpty() ? userFile : QStringLiteral("user/") + userFile));
        QVERIFY(make(shippedFile.isEmpty() ? shippedFile : QStringLiteral("shipped/") + shippedFile));
        const DataFolders folders{dir.filePath(QStringLiteral("shipped")), dir.filePath(QStringLiteral("user"))};
        QCOMPARE(FindDataFile(folders, relative), dir.filePath(expected));
        // Portable: one folder, the file named in it.
        const DataFolders portable = DataFolders::Portable(dir.filePath(QStringLiteral("shipped")));
        QCOMPARE(FindDataFile(portable, relative), dir.filePath(QStringLiteral("shipped/") + relative));
    }

    void descriptionNamesTheFolders() {
        const QString text =
            DescribeDataFolders({QStringLiteral("/usr/share/zelvara"), QStringLiteral("/h/.local/share/zelvara")},
                                QStringLiteral("/h/.config/zelvara/zelv.ini"));
        QVERIFY2(text.contains(QStringLiteral("インストール")), qPrintable(text));
        for (const char* path : {"/usr/share/zelvara", "/h/.local/share/zelvara", "/h/.config/zelvara/zelv.ini"})
            QVERIFY2(text.contains(QString::fromLatin1(path)), qPrintable(text));
        QVERIFY(DescribeDataFolders({QStringLiteral("/p"), QStringLiteral("/p")}, QString())
                    .contains(QStringLiteral("ポータブル")));
    }
};

QTEST_GUILESS_MAIN(TestDataFolders)
#include "tst_data_folders.moc"
