#pragma once

class QKeyEvent;
class QObject;

namespace chartrek {

// The text-editing keys that are also menu shortcuts (Ctrl+A, Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z,
// Ctrl+X, Ctrl+C, Ctrl+V) belong to a focused text field whenever the field can use them:
// select all with text in it, undo and redo with a step to take, cut and copy with a
// selection, paste with text on the clipboard. Otherwise the menu has them.
enum class FieldEdit { None, SelectAll, Undo, Redo, Cut, Copy, Paste };

// The edit `key` stands for in `focus`, when `focus` is a text field that can make it now.
FieldEdit fieldEdit(const QObject *focus, const QKeyEvent &key);
// Makes it, whatever the platform's own key bindings for the field are.
void applyFieldEdit(QObject *focus, FieldEdit edit);

} // namespace chartrek
