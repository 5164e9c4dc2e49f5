#include "ui/ConfigChangeCommand.h"

#include <utility>

namespace {
constexpr int kMergeableId = 1;
}

ConfigChangeCommand::ConfigChangeCommand(const QString& text, ConfigSnapshot before,
                                         ConfigSnapshot after, Apply apply, QString mergeKey)
    : before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply)),
      mergeKey_(std::move(mergeKey)) {
    setText(text);
}

void ConfigChangeCommand::undo() {
    apply_(before_);
    done_ = false;
}

void ConfigChangeCommand::redo() {
    if (done_)
        return; // pushed after the change: nothing to do the first time
    apply_(after_);
    done_ = true;
}

int ConfigChangeCommand::id() const {
    return mergeKey_.isEmpty() ? -1 : kMergeableId;
}

bool ConfigChangeCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const ConfigChangeCommand*>(other);
    if (!next || next->mergeKey_ != mergeKey_)
        return false;
    after_ = next->after_;
    setObsolete(after_ == before_);
    return true;
}
