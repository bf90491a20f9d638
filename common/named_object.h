// Gives a widget (any QObject) its object name as it is made, so that tests
// and style sheets find it: auto* box = Named(new QLineEdit(this), "hostedit");
#pragma once

#include <QString>

namespace zelvara {

template <typename Object>
Object* Named(Object* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

}  // namespace zelvara
