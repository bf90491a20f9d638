// 「削除したデータ」: the records deleted from the register, newest first, with
// the time of deletion; 「元に戻す」 brings the chosen one back into the
// register and makes it the current person.
#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace zelvara {

class PersonTable;

class TDeletedRecordsFrm : public QDialog {
    Q_OBJECT
public:
    explicit TDeletedRecordsFrm(PersonTable& persons, QWidget* parent = nullptr);

    // Reads the list again (on every showing).
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UndeleteClick();
    // 元に戻す's tooltip: what it does, or why the register takes no writes.
    void ShowWhyNoUndelete();

    PersonTable& persons_;
    QTableWidget* list_ = nullptr;
    QPushButton* undelete_ = nullptr;
};

}  // namespace zelvara
