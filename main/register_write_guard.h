// The controls that write to the person register (登録, 削除, 新規作成, the
// imports, 元に戻す) are usable only while the register can be written: on a
// register opened read-only, or not opened at all, they are disabled and
// their tooltip says why.
#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace zelvara {

class PersonTable;

// Why the register takes no writes, for a tooltip (two lines: that the
// button cannot be used, and the register's own reason); empty while it
// can be written.
QString RegisterWriteRefusal(const PersonTable& persons);

// Enables the controls while the register can be written; otherwise
// disables them with RegisterWriteRefusal as their tooltip. Follows every
// change of the register's access; each control's own hint comes back when
// writing is possible again.
void GuardRegisterWrites(PersonTable& persons, const QList<QWidget*>& controls);

}  // namespace zelvara
