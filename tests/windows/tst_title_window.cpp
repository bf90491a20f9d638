// The splash window shows the project's version, major and minor number, in
// the words of the older program ("Version3.1").
#include "windows/title_window.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

class TestTitleWindow : public QObject {
    Q_OBJECT
private slots:
    void showsTheProjectsVersion() {
        Ttitle title;
        const QLabel* version = title.findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(version);
        QCOMPARE(version->text(), QStringLiteral("Version" ZELVARA_TEST_MAJOR_MINOR));
    }
};

QTEST_MAIN(TestTitleWindow)
#include "tst_title_window.moc"
