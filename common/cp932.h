// Text at the Shift-JIS boundary: Windows-31J (CP932) as Windows writes it.
// Strings are QString everywhere else; only files and field sizes meet CP932.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zelvara::cp932 {

// Characters that Linux and macOS input methods type but that CP932 only
// knows in their full-width form: 〜 − ‖ ¢ £ ¬ → ～ － ∥ ￠ ￡ ￢.
QString RemapInputMethodChars(QString text);

// CP932 bytes of the (remapped) text; nullopt when some character has no
// CP932 code. firstBad then receives that character.
std::optional<QByteArray> Encode(const QString& text, QString* firstBad = nullptr);

QString Decode(const QByteArray& bytes);

// Length in CP932 bytes, or −1 when the text cannot be encoded.
int ByteLength(const QString& text);

// Checks a value for a field of maxBytes CP932 bytes. Empty when it fits;
// otherwise a message for the user that names the field.
QString CheckFieldText(const QString& fieldLabel, const QString& text, int maxBytes);

}  // namespace zelvara::cp932
