#include "common/profile_name.h"

namespace zelvara {

QString ProfileNameFault(const QString& name) {
    const QString trimmed = name.trimmed();
    const auto refused = [&](const QString& reason) {
        return QStringLiteral("規則の組の名前「%1」は使えません（%2）。").arg(trimmed, reason);
    };
    if (trimmed.isEmpty()) return refused(QStringLiteral("空の名前は使えません"));
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control) return refused(QStringLiteral("改行などの制御文字は使えません"));
    if (trimmed.contains(QLatin1Char('=')) || trimmed.contains(QLatin1Char('[')) ||
        trimmed.contains(QLatin1Char(']')) || trimmed.startsWith(QLatin1Char(';')))
        return refused(QStringLiteral("= [ ] と、先頭の ; は使えません"));
    if (trimmed.size() > kMaxProfileNameLength)
        return refused(QStringLiteral("%1 文字までです").arg(kMaxProfileNameLength));
    return {};
}

}  // namespace zelvara
