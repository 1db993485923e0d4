#include "app/MessageBoxSink.h"

#include <QMessageBox>

namespace chartrek {

int MessageBoxSink::show(MessageKind kind, const QString &text)
{
    QMessageBox box(mParent);
    box.setWindowTitle(messageStyle(kind).title);
    box.setText(text);
    box.setWindowModality(Qt::WindowModal);
    using B = QMessageBox;
    switch (kind) {
    case MessageKind::Error:
    case MessageKind::ScanError:
        box.setIcon(B::Critical);
        box.setStandardButtons(B::Ok);
        break;
    case MessageKind::YesNo:
        box.setIcon(B::Question);
        box.setStandardButtons(B::Yes | B::No);
        break;
    case MessageKind::Info:
        box.setIcon(B::Information);
        box.setStandardButtons(B::Ok | B::Cancel);
        break;
    case MessageKind::YesNoCancel:
        box.setIcon(B::Question);
        box.setStandardButtons(B::Yes | B::No | B::Cancel);
        box.setEscapeButton(B::Cancel); // the close box answers Cancel
        break;
    }
    switch (box.exec()) {
    case B::Yes: return AnswerYes;
    case B::No: return AnswerNo;
    case B::Ok: return AnswerOk;
    default: return AnswerCancel;
    }
}

} // namespace chartrek
