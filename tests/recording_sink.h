// The message sink of every test: records the messages a test provokes
// instead of showing them. Tests that link Qt read them as QStrings
// (messages, captions); the engine tests, which link no Qt, as std::strings
// (shown). A sink made with a limit gives up (throws) after that many
// messages: a scan that asks again and again would otherwise never return.
#pragma once

#include "engine/context.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#ifdef QT_CORE_LIB
#include <QString>
#include <QStringList>
#endif

class RecordingSink final : public zelvara::MessageSink {
public:
    explicit RecordingSink(std::size_t limit = 0) : limit_(limit) {}

    void Show(std::string_view text, std::string_view caption) override {
#ifdef QT_CORE_LIB
        messages << QString::fromUtf8(text.data(), qsizetype(text.size()));
        captions << QString::fromUtf8(caption.data(), qsizetype(caption.size()));
#else
        shown.push_back({std::string(text), std::string(caption)});
#endif
        if (limit_ > 0 && Count() > limit_)
            throw std::runtime_error("the same message again and again: a scan that does not end");
    }

#ifdef QT_CORE_LIB
    std::size_t Count() const { return std::size_t(messages.size()); }
    void Clear() { messages.clear(), captions.clear(); }
    QString Last() const { return messages.isEmpty() ? QString() : messages.constLast(); }
    QStringList messages, captions;
#else
    struct Shown {
        std::string text;
        std::string caption;
    };
    std::size_t Count() const { return shown.size(); }
    void Clear() { shown.clear(); }
    std::string Last() const { return shown.empty() ? std::string("(no message)") : shown.back().text; }
    std::vector<Shown> shown;
#endif

private:
    std::size_t limit_;
};
