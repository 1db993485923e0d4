#pragma once

#include "core/Messages.h"

class QWidget;

namespace chartrek {

// Shows messages as modal boxes over the main window.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget *parent) : mParent(parent) {}
    int show(MessageKind kind, const QString &text) override;

private:
    QWidget *mParent;
};

} // namespace chartrek
