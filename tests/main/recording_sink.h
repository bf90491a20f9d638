// Records the messages a test provokes instead of showing them.
#pragma once

#include "context.h"

#include <QString>
#include <QStringList>

class RecordingSink final : public zelvara::MessageSink {
public:
    void Show(std::string_view text, std::string_view caption) override
    {
        messages << QString::fromUtf8(text.data(), qsizetype(text.size()));
        captions << QString::fromUtf8(caption.data(), qsizetype(caption.size()));
    }
    QString Last() const { return messages.isEmpty() ? QString() : messages.constLast(); }
    QStringList messages, captions;
};
