#include "common/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTest>

using namespace zelvara;

// Qt's own texts (standard buttons, file and printer dialogs) read in
// Japanese once qtbase_ja.qm is installed on the application.
class TestQtTranslations : public QObject {
    Q_OBJECT
private slots:
    void standardTextsAreJapanese_data() {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("english");
        QTest::newRow("message box Cancel") << "QPlatformTheme"
                                            << "Cancel";
        QTest::newRow("message box Yes") << "QPlatformTheme"
                                         << "&Yes";
        QTest::newRow("file dialog Look in") << "QFileDialog"
                                             << "Look in:";
        QTest::newRow("print dialog Print") << "QPrintDialog"
                                            << "&Print";
    }
    void standardTextsAreJapanese() {
        QFETCH(QString, context);
        QFETCH(QString, english);
        const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!QDir(folder).exists(QStringLiteral("qtbase_ja.qm")))
            QSKIP("qtbase_ja.qm is not installed (package qt6-translations-l10n)");
        static const bool installed = InstallQtJapanese(*QCoreApplication::instance());
        QVERIFY(installed);
        const QString text =
            QCoreApplication::translate(context.toLatin1().constData(), english.toLatin1().constData());
        QVERIFY2(text != english, qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestQtTranslations)
#include "tst_qt_translations.moc"
