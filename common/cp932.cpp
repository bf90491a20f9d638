#include "common/cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace zelvara::cp932 {
namespace {

// Qt's ICU "Shift_JIS" converter maps like Windows-31J (0x8160 = U+FF5E,
// NEC and IBM extensions included).
constexpr const char* kCodecName = "Shift_JIS";

struct Remap {
    char16_t from, to;
};
constexpr Remap kRemaps[] = {
    {u'\u301C', u'\uFF5E'},  // WAVE DASH → FULLWIDTH TILDE
    {u'\u2212', u'\uFF0D'},  // MINUS SIGN → FULLWIDTH HYPHEN-MINUS
    {u'\u2016', u'\u2225'},  // DOUBLE VERTICAL LINE → PARALLEL TO
    {u'\u00A2', u'\uFFE0'},  // CENT SIGN
    {u'\u00A3', u'\uFFE1'},  // POUND SIGN
    {u'\u00AC', u'\uFFE2'},  // NOT SIGN
};

}  // namespace

QString RemapInputMethodChars(QString text) {
    for (QChar& c : text) {
        for (const Remap& r : kRemaps) {
            if (c.unicode() == r.from) {
                c = QChar(r.to);
                break;
            }
        }
    }
    return text;
}

std::optional<QByteArray> Encode(const QString& text, QString* firstBad) {
    const QString remapped = RemapInputMethodChars(text);
    QStringEncoder whole(kCodecName);
    QByteArray bytes = whole.encode(remapped);
    if (!whole.hasError()) return bytes;
    if (firstBad) {
        // Find the culprit one code point at a time, for the message.
        for (qsizetype i = 0; i < remapped.size();) {
            const qsizetype len = (remapped.at(i).isHighSurrogate() && i + 1 < remapped.size()) ? 2 : 1;
            const QString one = remapped.mid(i, len);
            QStringEncoder single(kCodecName);
            const QByteArray ignored = single.encode(one);  // encodes only when converted
            Q_UNUSED(ignored);
            if (single.hasError()) {
                *firstBad = one;
                break;
            }
            i += len;
        }
    }
    return std::nullopt;
}

QString Decode(const QByteArray& bytes) {
    // A lead byte left at the very end would stay in the decoder's state and
    // vanish: it is shown as a replacement character instead.
    auto isLead = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    qsizetype i = 0;
    while (i < bytes.size()) i += isLead(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    const bool cutLead = i > bytes.size();
    QStringDecoder decoder(kCodecName);
    QString text = decoder.decode(cutLead ? bytes.chopped(1) : bytes);
    if (cutLead) text += QChar::ReplacementCharacter;
    return text;
}

int ByteLength(const QString& text) {
    const auto bytes = Encode(text);
    return bytes ? int(bytes->size()) : -1;
}

QString CheckFieldText(const QString& fieldLabel, const QString& text, int maxBytes) {
    QString bad;
    const auto bytes = Encode(text, &bad);
    if (!bytes) {
        return QStringLiteral("「%1」に使えない文字「%2」があります。\nShift-JISで表せる文字に直してください。")
            .arg(fieldLabel, bad);
    }
    if (bytes->size() > maxBytes) {
        return QStringLiteral("「%1」が長すぎます。%2バイト（全角%3文字）までのところ、%4バイトあります。")
            .arg(fieldLabel)
            .arg(maxBytes)
            .arg(maxBytes / 2)
            .arg(bytes->size());
    }
    return {};
}

}  // namespace zelvara::cp932
