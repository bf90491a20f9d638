// The settings window: what it shows from zelv.ini, what it writes back on
// closing, the exact "True" rule, the editor buttons and the printer setup.
#include "common/cp932.h"
#include "engine/context.h"
#include "tests/recording_sink.h"
#include "windows/convention_profiles_dialog.h"
#include "windows/settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zelvara;

namespace {

void WriteRaw(const QString& path, const QString& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(*cp932::Encode(text));
}

QString ReadRaw(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? cp932::Decode(f.readAll()) : QString();
}

template <typename W>
W* Child(QWidget& w, const char* name) {
    return w.findChild<W*>(QString::fromLatin1(name));
}

}  // namespace

class TestSettingsWindow : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    RecordingSink sink_;
    QString Ini() const { return dir_.filePath(QStringLiteral("zelv.ini")); }

private slots:
    void init() {
        QFile::remove(Ini());
        sink_.messages.clear();
    }

    void controlsAndCaptions() {
        TCunstomFrm w(sink_, QStringLiteral("Zelvaraプロ版Version3.1"), Ini());
        QCOMPARE(w.windowTitle(), QStringLiteral("環境設定"));
        QLabel* ttlname = Child<QLabel>(w, "ttlname");
        QCOMPARE(ttlname->text(), QStringLiteral("Zelvaraプロ版Version3.1"));
        QCOMPARE(ttlname->palette().color(QPalette::Window), QColor(255, 255, 0));
        QVERIFY(ttlname->alignment() & Qt::AlignHCenter);
        const struct {
            const char* name;
            const char* caption;
        } buttons[] = {{"databasebtn", "出生図鑑定文章データベースカスタマイズ"},
                       {"kounbtn", "行運鑑定文章データベースカスタマイズ"},
                       {"kekkonbtn", "相性・結婚鑑定文章データベースカスタマイズ"},
                       {"printbtn", "プリンタ設定"},
                       {"BitBtn1", "閉じる(&C)"}};
        for (const auto& b : buttons) {
            QPushButton* button = Child<QPushButton>(w, b.name);
            QVERIFY2(button, b.name);
            QCOMPARE(button->text(), QString::fromUtf8(b.caption));
        }
        QCOMPARE(Child<QLabel>(w, "Label4")->text(), QStringLiteral("鑑定書印刷表紙タイトル"));
        QCOMPARE(Child<QLabel>(w, "Label5")->text(), QStringLiteral("電話番号(半角数字入力)"));
        QCOMPARE(Child<QCheckBox>(w, "soundchk")->text(), QStringLiteral("起動時音楽を鳴らす"));
        QVERIFY(Child<QCheckBox>(w, "soundchk")->isChecked());
        QVERIFY(!Child<QLineEdit>(w, "telbox")->testAttribute(Qt::WA_InputMethodEnabled));
        // A picture of the window when ZELVARA_SCREENSHOT_DIR is set.
        if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty()) {
            w.show();
            w.grab().save(dir + QStringLiteral("/settings_window.png"));
        }
    }

    // Only "True" is on; closing writes "True" or "False" whatever was read.
    void soundSwitchRoundTrip_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("written");
        QTest::newRow("False") << QStringLiteral("[sound]\r\ncheck=False\r\n") << false
                               << QStringLiteral("check=False");
        QTest::newRow("yes") << QStringLiteral("[sound]\r\ncheck=yes\r\n") << false << QStringLiteral("check=False");
        QTest::newRow("true") << QStringLiteral("[sound]\r\ncheck=true\r\n") << false << QStringLiteral("check=False");
        QTest::newRow("True") << QStringLiteral("[sound]\r\ncheck=True\r\n") << true << QStringLiteral("check=True");
        QTest::newRow("no file") << QString() << true << QStringLiteral("check=True");
    }
    void soundSwitchRoundTrip() {
        QFETCH(QString, file);
        QFETCH(bool, shown);
        QFETCH(QString, written);
        if (!file.isEmpty()) WriteRaw(Ini(), file);
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        w.show();
        QCOMPARE(Child<QCheckBox>(w, "soundchk")->isChecked(), shown);
        Child<QPushButton>(w, "BitBtn1")->click();
        QVERIFY(!w.isVisible());
        const QString after = ReadRaw(Ini());
        QVERIFY2(after.contains(QStringLiteral("[sound]\r\n") + written + QStringLiteral("\r\n")), qPrintable(after));
        QCOMPARE(after.count(QStringLiteral("check=")), 1);
    }

    // The owner data: shown on opening, written back (Shift-JIS) on closing,
    // kept in memory for the footer. A missing file shows empty boxes.
    void ownerDataRoundTrip() {
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        w.show();
        QVERIFY(Child<QLineEdit>(w, "titlebox")->text().isEmpty());
        QVERIFY(Child<QLineEdit>(w, "telbox")->text().isEmpty());
        QVERIFY(w.Owner().title.isEmpty() && w.Owner().tel.isEmpty());
        w.close();

        WriteRaw(Ini(), QStringLiteral(
                            "[sound]\r\ncheck=False\r\n[owner]\r\ntitle=紫微斗数　星読み館～\r\ntel=03-1234-5678\r\n"));
        w.show();
        QCOMPARE(Child<QLineEdit>(w, "titlebox")->text(), QStringLiteral("紫微斗数　星読み館～"));
        QCOMPARE(Child<QLineEdit>(w, "telbox")->text(), QStringLiteral("03-1234-5678"));
        QCOMPARE(w.Owner().tel, QStringLiteral("03-1234-5678"));
        Child<QLineEdit>(w, "titlebox")->setText(QStringLiteral("髙橋鑑定室"));
        Child<QLineEdit>(w, "telbox")->setText(QStringLiteral("06-9999-0000"));
        w.close();  // the title bar's close stores as well
        QCOMPARE(w.Owner().title, QStringLiteral("髙橋鑑定室"));
        const QString after = ReadRaw(Ini());
        QVERIFY2(after.contains(QStringLiteral("title=髙橋鑑定室\r\n")) &&
                     after.contains(QStringLiteral("tel=06-9999-0000\r\n")) &&
                     after.contains(QStringLiteral("check=False\r\n")),
                 qPrintable(after));
        QCOMPARE(LoadOwnerSettings(SettingsFile(Ini())).title, QStringLiteral("髙橋鑑定室"));
        // No logo line until a reader chooses a logo for the 鑑定書's cover.
        QVERIFY2(!after.contains(QStringLiteral("logo=")), qPrintable(after));
        w.show();
        QVERIFY(Child<QLineEdit>(w, "logobox")->text().isEmpty());
        Child<QLineEdit>(w, "logobox")->setText(QStringLiteral("/home/reader/logo.png"));
        w.close();
        QCOMPARE(LoadOwnerSettings(SettingsFile(Ini())).logo, QStringLiteral("/home/reader/logo.png"));
        w.show();
        QCOMPARE(Child<QLineEdit>(w, "logobox")->text(), QStringLiteral("/home/reader/logo.png"));
        w.close();
        QVERIFY(sink_.messages.isEmpty());
    }

    // 「境界注意」: off without the line, written as 1 / 0 only once changed.
    void boundaryWarningsSwitch() {
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        w.show();
        QCheckBox* check = Child<QCheckBox>(w, "boundarychk");
        QCOMPARE(check->text(), QStringLiteral("境界に近い出生で「境界注意」を出す"));
        QVERIFY(!check->isChecked());
        w.close();
        QVERIFY2(!ReadRaw(Ini()).contains(QStringLiteral("boundaryWarnings")), qPrintable(ReadRaw(Ini())));
        w.show();
        check->setChecked(true);
        w.close();
        QVERIFY2(ReadRaw(Ini()).contains(QStringLiteral("[conventions]\r\nboundaryWarnings=1\r\n")),
                 qPrintable(ReadRaw(Ini())));
        w.show();
        QVERIFY(check->isChecked());
        check->setChecked(false);
        w.close();
        QVERIFY(ReadRaw(Ini()).contains(QStringLiteral("boundaryWarnings=0\r\n")));
        QVERIFY(sink_.messages.isEmpty());
    }

    // A title Shift-JIS cannot hold is refused with a message; asked, the
    // user stays with the edit, and the file keeps what it had.
    void unwritableTitleLosesNothing() {
        WriteRaw(Ini(), QStringLiteral("[owner]\r\ntitle=前の題\r\n"));
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        QStringList asked;
        w.SetQuestion([&asked](const QString& q) {
            asked << q;
            return false;
        });
        w.show();
        Child<QLineEdit>(w, "titlebox")->setText(QStringLiteral("鑑定🌟"));
        Child<QPushButton>(w, "BitBtn1")->click();
        QVERIFY(w.isVisible());
        QCOMPARE(Child<QLineEdit>(w, "titlebox")->text(), QStringLiteral("鑑定🌟"));
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.messages[0].contains(Ini()) && sink_.messages[0].contains(QStringLiteral("🌟")),
                 qPrintable(sink_.messages[0]));
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains(QStringLiteral("保存せずに閉じますか")), qPrintable(asked[0]));
        QCOMPARE(LoadOwnerSettings(SettingsFile(Ini())).title, QStringLiteral("前の題"));
        Child<QLineEdit>(w, "titlebox")->setText(QStringLiteral("鑑定"));
        Child<QPushButton>(w, "BitBtn1")->click();
        QVERIFY(!w.isVisible());
    }

    // A window never shown writes nothing when it is closed.
    void closingUnshownWritesNothing() {
        WriteRaw(Ini(), QStringLiteral("[owner]\r\ntitle=題\r\n"));
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        w.close();
        QCOMPARE(ReadRaw(Ini()), QStringLiteral("[owner]\r\ntitle=題\r\n"));
    }

    void editorButtonsShowTheirWindows() {
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        QVERIFY(!Child<QPushButton>(w, "databasebtn")->isEnabled());
        QWidget db, koun, ai;
        w.SetEditorWindows(&db, &koun, &ai);
        const struct {
            const char* button;
            QWidget* editor;
        } cases[] = {{"databasebtn", &db}, {"kounbtn", &koun}, {"kekkonbtn", &ai}};
        for (const auto& c : cases) {
            QVERIFY(!c.editor->isVisible());
            Child<QPushButton>(w, c.button)->click();
            QVERIFY2(c.editor->isVisible(), c.button);
        }
    }

    // "プリンタ設定" opens the printer dialog on the prints' printer. The
    // dialog only chooses a printer: its confirm button says 設定, not Print.
    void printerSetupDialog() {
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        QPrinter printer(QPrinter::HighResolution);
        w.SetPrinter(&printer);
        QString title;
        QString confirm;
        QPrinter* used = nullptr;
        QTimer::singleShot(0, [&] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                title = dialog->windowTitle();
                used = dialog->printer();
                if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
                    confirm = buttons->button(QDialogButtonBox::Ok)->text();
                dialog->reject();
            }
        });
        Child<QPushButton>(w, "printbtn")->click();
        QCOMPARE(title, QStringLiteral("プリンタ設定"));
        QCOMPARE(used, &printer);
        QCOMPARE(confirm, QStringLiteral("設定"));
    }

    // The folders in use, as the main window hands them over.
    void showsTheFoldersInUse() {
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        auto* label = Child<QLabel>(w, "folderslbl");
        QVERIFY(label->isHidden());
        w.ShowDataFolders({QStringLiteral("/usr/share/zelvara"), QStringLiteral("/home/u/.local/share/zelvara")});
        QVERIFY(!label->isHidden());
        for (const QString& part :
             {QStringLiteral("/usr/share/zelvara"), QStringLiteral("/home/u/.local/share/zelvara"), Ini()})
            QVERIFY2(label->text().contains(part), qPrintable(label->text()));
    }
    // When the file cannot be written the window says so and still closes
    // when the user agrees, with the file as it was. (Tests may run as root,
    // who ignores permissions: the path is made unusable instead.)
    void failedWriteStillCloses_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("title");
        QTest::newRow("settings path is a folder") << "folder/zelv.ini"
                                                   << "題";
        QTest::newRow("parent is a regular file") << "file/zelv.ini"
                                                  << "題";
        QTest::newRow("text without Shift-JIS form") << "zelv.ini"
                                                     << "鑑定🌟";
    }
    void failedWriteStillCloses() {
        QFETCH(QString, where);
        QFETCH(QString, title);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("folder/zelv.ini"));
        WriteRaw(dir.filePath("file"), QStringLiteral("[owner]\r\n"));
        WriteRaw(dir.filePath("zelv.ini"), QStringLiteral("[owner]\r\ntitle=前の題\r\n"));
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), dir.filePath(where));
        int asked = 0;
        w.SetQuestion([&asked](const QString&) {
            ++asked;
            return true;
        });
        w.show();
        Child<QLineEdit>(w, "titlebox")->setText(title);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QCOMPARE(asked, 1);
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.messages[0].contains(QStringLiteral("保存されていません")) &&
                     sink_.messages[0].contains(dir.filePath(where)),
                 qPrintable(sink_.messages[0]));
        QCOMPARE(ReadRaw(dir.filePath("zelv.ini")), QStringLiteral("[owner]\r\ntitle=前の題\r\n"));
        QVERIFY(QFileInfo(dir.filePath("folder/zelv.ini")).isDir());
        QVERIFY(w.Owner().title != title);
    }

    // A zelv.ini a text editor saved as UTF-8 shows its text, not mojibake,
    // and is written back in Shift-JIS on closing.
    void utf8FileShownAndWrittenBackInShiftJis_data() {
        QTest::addColumn<QByteArray>("mark");
        QTest::newRow("with byte-order mark") << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("without byte-order mark") << QByteArray();
    }
    void utf8FileShownAndWrittenBackInShiftJis() {
        QFETCH(QByteArray, mark);
        {
            QFile f(Ini());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(mark + QStringLiteral("[owner]\r\ntitle = 星読み館～本店 \r\ntel=03-1234-5678\r\n").toUtf8());
        }
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        w.SetQuestion([](const QString& q) -> bool { qFatal("asked: %s", qPrintable(q)); });
        w.show();
        QCOMPARE(Child<QLineEdit>(w, "titlebox")->text(), QStringLiteral("星読み館～本店"));
        QVERIFY(w.close());
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        QFile f(Ini());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(cp932::Decode(bytes),
                 QStringLiteral("[owner]\r\ntitle=星読み館～本店\r\ntel=03-1234-5678\r\n[sound]\r\ncheck=True\r\n"));
    }

    // 「流派の設定」: 標準 first and not editable; 新規, a switch chosen and
    // 保存; a taken or bad name refused with the file as it was; 複製, 名前の
    // 変更 and 削除 after the question (which names the clients' fallback).
    void conventionProfilesDialog() {
        WriteRaw(Ini(), QStringLiteral("[time]\r\ncorrection=mean\r\n[profiles]\r\n全書=transform-wu=ubitsu\r\n"));
        ConventionProfilesDialog d(Ini(), sink_);
        QStringList asked;
        bool answer = true;
        d.SetQuestion([&](const QString& text) {
            asked << text;
            return answer;
        });
        QString typed;
        d.SetNameQuestion([&](const QString&, const QString&) { return std::optional<QString>(typed); });
        auto* list = Child<QListWidget>(d, "profileList");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("標準"));
        QCOMPARE(d.CurrentName(), QStringLiteral("標準"));
        auto* palaceMonth = Child<QComboBox>(d, "palace-month");
        QVERIFY(!palaceMonth->isEnabled());
        QVERIFY(!Child<QPushButton>(d, "deletebtn")->isEnabled());
        QCOMPARE(palaceMonth->itemText(1), QStringLiteral("命宮 旧暦月（閏月は前月）"));
        d.show();
        QVERIFY(Child<QLabel>(d, "standardNote")->isVisible());
        QCOMPARE(Child<QLabel>(d, "standardNote")->text(), QStringLiteral("標準は変更できません"));
        if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty())
            d.grab().save(dir + QStringLiteral("/convention_profiles_standard.png"));

        typed = QStringLiteral("中州派");
        d.NewProfile();
        QCOMPARE(d.CurrentName(), QStringLiteral("中州派"));
        QVERIFY(palaceMonth->isEnabled());
        QCOMPARE(Child<QComboBox>(d, "correction")->currentData().toString(), QStringLiteral("mean"));
        palaceMonth->setCurrentIndex(3);
        Child<QComboBox>(d, "transform-geng")->setCurrentIndex(2);
        QVERIFY(Child<QPushButton>(d, "savebtn")->isEnabled());
        if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty())
            d.grab().save(dir + QStringLiteral("/convention_profiles_edit.png"));
        Child<QPushButton>(d, "savebtn")->click();
        QVERIFY2(ReadRaw(Ini()).contains(
                     QStringLiteral("中州派=palace-month=lunar-split;transform-geng=tendo;correction=mean")),
                 qPrintable(ReadRaw(Ini())));

        const QString before = ReadRaw(Ini());
        for (const QString& bad : {QStringLiteral("全書"), QStringLiteral("標準"), QStringLiteral("a=b"), QString()}) {
            sink_.messages.clear();
            typed = bad;
            d.CopyProfile();
            QCOMPARE(sink_.messages.size(), 1);
            QCOMPARE(ReadRaw(Ini()), before);
        }
        QCOMPARE(sink_.messages.constFirst(),
                 QStringLiteral("規則の組の名前「」は使えません（空の名前は使えません）。"));

        typed = QStringLiteral("中州派2");
        d.CopyProfile();
        QCOMPARE(d.CurrentName(), QStringLiteral("中州派2"));
        QCOMPARE(palaceMonth->currentIndex(), 3);
        typed = QStringLiteral("王派");
        d.RenameProfile();
        QCOMPARE(list->item(list->count() - 1)->text(), QStringLiteral("王派"));
        QVERIFY(!ReadRaw(Ini()).contains(QStringLiteral("中州派2")));

        asked.clear();
        answer = false;
        d.DeleteProfile();
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.constFirst().contains(QStringLiteral("この流派を選んでいる人物は、既定の流派で作成します。")));
        QVERIFY(ReadRaw(Ini()).contains(QStringLiteral("王派=")));
        answer = true;
        d.DeleteProfile();
        QVERIFY(!ReadRaw(Ini()).contains(QStringLiteral("王派=")));
        QCOMPARE(d.CurrentName(), QStringLiteral("標準"));

        // Edits left unsaved are asked about before another profile shows.
        QVERIFY(d.SelectProfile(QStringLiteral("全書")));
        Child<QComboBox>(d, "meridian")->setCurrentIndex(1);
        asked.clear();
        answer = false;
        QVERIFY(d.SelectProfile(QStringLiteral("中州派")));
        QCOMPARE(asked.size(), 1);
        QVERIFY(ReadRaw(Ini()).contains(QStringLiteral("全書=transform-wu=ubitsu\r\n")));
    }

    // 「既定の流派」: the profiles of the file, written at once when chosen;
    // an unknown default shows 標準 and says why in its tooltip.
    void defaultProfileChoice() {
        WriteRaw(Ini(),
                 QStringLiteral("[profiles]\r\n全書=transform-wu=ubitsu\r\n[conventions]\r\ndefault=消えた派\r\n"));
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        w.show();
        auto* box = Child<QComboBox>(w, "defaultprofilebox");
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->currentText(), QStringLiteral("標準"));
        QVERIFY(box->toolTip().contains(QStringLiteral("既定の流派「消えた派」を使えないため")));
        QVERIFY(Child<QPushButton>(w, "profilesbtn"));
        box->setCurrentIndex(1);
        emit box->textActivated(box->currentText());
        QVERIFY(ReadRaw(Ini()).contains(QStringLiteral("[conventions]\r\ndefault=全書\r\n")));
        QVERIFY(sink_.messages.isEmpty());
        if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty())
            w.grab().save(dir + QStringLiteral("/settings_window_profiles.png"));
        w.close();
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
