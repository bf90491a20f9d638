// The windows and modules of the program, created after the main window in
// their fixed order and kept until the program ends.
#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

namespace zelvara {

class TMainForm1;

class ApplicationWindows {
public:
    // Creates them in order and hands the main window the ones it opens.
    explicit ApplicationWindows(TMainForm1& mainForm);
    ~ApplicationWindows();

private:
    std::vector<std::unique_ptr<QObject>> objects_;
};

}  // namespace zelvara
