#include "register/person_fields.h"

namespace zelvara {

const std::array<PersonField, kPersonFieldCount> kPersonFields = {{
    {u"氏名", 20, u""},
    {u"生まれた年", 4, u"生年"},
    {u"生まれた月", 2, u"生月"},
    {u"生まれた日", 2, u"生日"},
    {u"生まれた時刻", 12, u"生時刻"},
    {u"性別", 2, u""},
    {u"hubo", 4, u"父母"},
    {u"meikyu", 4, u"命宮"},
    {u"keitei", 4, u"兄弟"},
    {u"husai", 4, u"夫妻"},
    {u"sijyo", 4, u"子女"},
    {u"zaihaku", 4, u"財帛"},
    {u"situyaku", 4, u"疾厄"},
    {u"seni", 4, u"遷移"},
    {u"nuboku", 4, u"奴僕"},
    {u"kanroku", 4, u"官録"},
    {u"dentaku", 4, u"田宅"},
    {u"hukutoku", 4, u"福徳"},
}};

QString FieldLabel(int index) {
    const PersonField& f = kPersonFields[index];
    return QString::fromUtf16(f.label[0] ? f.label : f.name);
}

int FieldIndexOf(const QString& name) {
    for (int i = 0; i < kPersonFieldCount; ++i) {
        if (name == FieldName(i)) return i;
    }
    return -1;
}

}  // namespace zelvara
