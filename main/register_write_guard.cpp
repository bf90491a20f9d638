#include "main/register_write_guard.h"

#include "register/person_table.h"

#include <QVariant>
#include <QWidget>

namespace zelvara {
namespace {

// The control's own hint, kept while the refusal stands in its place.
constexpr const char* kOwnHint = "zelvaraOwnHint";

void Apply(const PersonTable& persons, QWidget* control) {
    if (!control->property(kOwnHint).isValid()) control->setProperty(kOwnHint, control->toolTip());
    const QString refusal = RegisterWriteRefusal(persons);
    control->setEnabled(refusal.isEmpty());
    control->setToolTip(refusal.isEmpty() ? control->property(kOwnHint).toString() : refusal);
}

}  // namespace

QString RegisterWriteRefusal(const PersonTable& persons) {
    switch (persons.access()) {
        case PersonTable::Access::Writable: return {};
        case PersonTable::Access::ReadOnly:
            return QStringLiteral("名簿が読み取り専用で開かれているため使えません。\n") + persons.Unavailability();
        case PersonTable::Access::Closed: break;
    }
    const QString why = persons.Unavailability();
    return QStringLiteral("名簿が開かれていないため使えません。") +
           (why.isEmpty() ? QString() : QLatin1Char('\n') + why);
}

void GuardRegisterWrites(PersonTable& persons, const QList<QWidget*>& controls) {
    for (QWidget* control : controls) {
        Apply(persons, control);
        QObject::connect(&persons, &PersonTable::accessChanged, control,
                         [&persons, control] { Apply(persons, control); });
    }
}

}  // namespace zelvara
