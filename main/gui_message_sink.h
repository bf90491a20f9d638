// Engine and window messages as modal information boxes with one OK button.
#pragma once

#include "engine/context.h"

class QWidget;

namespace zelvara {

inline constexpr const char16_t* kApplicationTitle = u"Zelvaraプロ版";

class GuiMessageSink final : public MessageSink {
public:
    explicit GuiMessageSink(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Show(std::string_view text, std::string_view caption) override;

private:
    QWidget* parent_;
};

}  // namespace zelvara
