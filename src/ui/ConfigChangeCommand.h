#pragma once

#include <QString>
#include <QUndoCommand>
#include <functional>

#include "ui/ConfigSnapshot.h"

// One undo step of the configuration in hand: the configuration before and after a change
// the user made. It is pushed after the change is done, so its first redo does nothing.
// Steps with the same merge key that follow each other (typing into one settings field)
// become one step; a merged step that ends where it began disappears.
class ConfigChangeCommand : public QUndoCommand {
public:
    using Apply = std::function<void(const ConfigSnapshot&)>;

    ConfigChangeCommand(const QString& text, ConfigSnapshot before, ConfigSnapshot after,
                        Apply apply, QString mergeKey = QString());

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    ConfigSnapshot before_;
    ConfigSnapshot after_;
    Apply apply_;
    QString mergeKey_;
    bool done_ = true; // the change is in the model already
};
