// The main window as the program starts it, for tests: a program folder in a
// temporary directory holding copies of the shipped files a test needs, the
// start-up options that point there without a splash, and people entered in
// the register the way the data page enters them; pictures of windows on request.
#pragma once

#include "main/main_window.h"
#include "register/person_fields.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace zelvara::testing {

struct Person {
    QString name, year, month, day, time, sex;
};

// The shipped files whose names match patterns ("*.eto", "help/index.html"),
// copied from the data folder the build made (ZELVARA_DATA_DIR) into folder.
inline void CopyShipped(const QString& folder, const QStringList& patterns,
                        const QString& from = qEnvironmentVariable("ZELVARA_DATA_DIR")) {
    for (const QString& pattern : patterns) {
        const QString sub = QFileInfo(pattern).path();
        const QDir data(from + '/' + sub), into(folder + '/' + sub);
        into.mkpath(QStringLiteral("."));
        for (const QString& f : data.entryList({QFileInfo(pattern).fileName()}, QDir::Files))
            QFile::copy(data.filePath(f), into.filePath(f));
    }
}

// A fresh program folder with the shipped files matching patterns.
inline std::unique_ptr<QTemporaryDir> ProgramFolder(const QStringList& patterns = {"*.bmp", "*.eto"}) {
    auto dir = std::make_unique<QTemporaryDir>();
    CopyShipped(dir->path(), patterns);
    return dir;
}

// Start-up on folder: its zelv.ini, no splash.
inline StartupOptions QuietStartup(const QString& folder) {
    StartupOptions o;
    o.programFolder = folder;
    o.settingsPath = folder + QStringLiteral("/zelv.ini");
    o.showSplash = false;
    return o;
}

// The main window started with options; ask, when given, answers its questions.
inline std::unique_ptr<TMainForm1> StartMainWindow(MessageSink& sink, const StartupOptions& options,
                                                   std::function<bool(const QString&)> ask = {}) {
    auto w = std::make_unique<TMainForm1>(sink);
    if (ask) w->SetQuestion(std::move(ask));
    w->RunStartup(options);
    return w;
}

// Each person appended and posted; the first one is then current.
inline void AddPeople(PersonTable& t, const QList<Person>& people) {
    for (const Person& p : people) {
        t.Append();
        t.SetValue(kFieldName, p.name);
        t.SetValue(kFieldYear, p.year);
        t.SetValue(kFieldMonth, p.month);
        t.SetValue(kFieldDay, p.day);
        t.SetValue(kFieldTime, p.time);
        t.SetValue(kFieldSex, p.sex);
        t.Post();
    }
    t.First();
}

// The birth typed into the data page's boxes of w, and 鑑定(&K) clicked.
inline void TypeAndCast(QWidget& w, const Person& p) {
    w.findChild<QLineEdit*>(QStringLiteral("inName"))->setText(p.name);
    w.findChild<QLineEdit*>(QStringLiteral("inYy"))->setText(p.year);
    w.findChild<QComboBox*>(QStringLiteral("inMm"))->setCurrentText(p.month);
    w.findChild<QComboBox*>(QStringLiteral("inDd"))->setCurrentText(p.day);
    w.findChild<QComboBox*>(QStringLiteral("inTime"))->setCurrentText(p.time);
    w.findChild<QComboBox*>(QStringLiteral("ChkSex"))->setCurrentText(p.sex);
    w.findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
}

// The window of the program with that object name; null when none stands.
inline QWidget* TopLevel(const char* name) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String(name)) return top;
    return nullptr;
}

// With ZELVARA_SCREENSHOT_DIR set, a picture of w saved there as name.png.
inline void Snapshot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir)) w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

}  // namespace zelvara::testing
