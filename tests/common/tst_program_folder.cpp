#include "common/program_folder.h"

#include <QTest>

using namespace zelvara;

class TestProgramFolder : public QObject {
    Q_OBJECT
private slots:
    void resolution_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("expected");
        const QString exe = QStringLiteral("/opt/zelvara/bin");
        QTest::newRow("executable folder") << QStringList{"zelvara"} << QString() << exe;
        QTest::newRow("environment") << QStringList{"zelvara"} << QStringLiteral("/srv/z") << QStringLiteral("/srv/z");
        QTest::newRow("option wins") << QStringList{"zelvara", "--home", "/tmp/h"} << QStringLiteral("/srv/z")
                                     << QStringLiteral("/tmp/h");
        QTest::newRow("option with =") << QStringList{"zelvara", "--no-splash", "--home=/tmp/h2/"} << QString()
                                       << QStringLiteral("/tmp/h2");
        QTest::newRow("dangling option ignored") << QStringList{"zelvara", "--home"} << QString() << exe;
    }
    void resolution() {
        QFETCH(QStringList, args);
        QFETCH(QString, env);
        QFETCH(QString, expected);
        QCOMPARE(ResolveProgramFolder(args, env, QStringLiteral("/opt/zelvara/bin")), expected);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_program_folder.moc"
