// What the tests of the desktop program's register doors share besides a
// register with people (RegisterFolder): the modal dialogs a door opens
// answered as they come — a file dialog gets the file, a question box the
// answer, any other box is closed — with the boxes' texts recorded.
#pragma once

#include "tests/register/register_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace register_test {

class DialogAnswers : public QObject {
public:
    explicit DialogAnswers(bool answer, QString file = {}) : answer_(answer), file_(std::move(file)) {
        connect(&timer_, &QTimer::timeout, this, &DialogAnswers::Answer);
        timer_.start(20);
    }
    QStringList texts;
    QString Joined() const { return texts.join(QLatin1Char('|')); }

private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            // selectFile() leaves the name box alone once it has the focus,
            // which comes at a moment of the window system's choosing: the
            // folder and the name are set as a user would type them.
            files->setDirectory(QFileInfo(file_).absolutePath());
            auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) QFAIL("the file dialog has no name box");
            name->setText(QFileInfo(file_).fileName());
            static_cast<QDialog*>(files)->accept();  // public in QDialog
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts << box->text();
            if (QAbstractButton* button = box->button(answer_ ? QMessageBox::Yes : QMessageBox::No))
                button->click();
            else
                box->accept();
        }
    }
    bool answer_;
    QString file_;
    QTimer timer_;
};

}  // namespace register_test
