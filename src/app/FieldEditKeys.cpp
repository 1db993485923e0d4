#include "app/FieldEditKeys.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

namespace chartrek {

FieldEdit fieldEdit(const QObject *focus, const QKeyEvent &key)
{
    const auto *field = qobject_cast<const QLineEdit *>(focus);
    if (!field)
        return FieldEdit::None;
    const bool writable = !field->isReadOnly();
    // A password field gives its text to no one.
    const bool selection = field->hasSelectedText() && field->echoMode() == QLineEdit::Normal;
    const auto is = [&](Qt::Key letter, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        return key.keyCombination() == QKeyCombination(modifiers, letter);
    };
    if (is(Qt::Key_A))
        return field->text().isEmpty() ? FieldEdit::None : FieldEdit::SelectAll;
    if (is(Qt::Key_Z))
        return writable && field->isUndoAvailable() ? FieldEdit::Undo : FieldEdit::None;
    if (is(Qt::Key_Y) || is(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier))
        return writable && field->isRedoAvailable() ? FieldEdit::Redo : FieldEdit::None;
    if (is(Qt::Key_X))
        return writable && selection ? FieldEdit::Cut : FieldEdit::None;
    if (is(Qt::Key_C))
        return selection ? FieldEdit::Copy : FieldEdit::None;
    if (is(Qt::Key_V)) {
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        return writable && data && data->hasText() ? FieldEdit::Paste : FieldEdit::None;
    }
    return FieldEdit::None;
}

void applyFieldEdit(QObject *focus, FieldEdit edit)
{
    auto *field = qobject_cast<QLineEdit *>(focus);
    if (!field)
        return;
    switch (edit) {
    case FieldEdit::SelectAll: field->selectAll(); break;
    case FieldEdit::Undo: field->undo(); break;
    case FieldEdit::Redo: field->redo(); break;
    case FieldEdit::Cut: field->cut(); break;
    case FieldEdit::Copy: field->copy(); break;
    case FieldEdit::Paste: field->paste(); break;
    case FieldEdit::None: break;
    }
}

} // namespace chartrek
