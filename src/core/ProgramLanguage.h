#pragma once

#include <QLocale>

namespace chartrek {

// Shows the program's texts, and Qt's own (the buttons of message boxes and file dialogs), in the
// language of `locale`, the system's by default. The texts are written in English, which needs no
// translation; a language without one stays English. Called again, it replaces what it installed.
// Returns whether a translation of the program's texts was installed.
bool installProgramLanguage(const QLocale &locale = QLocale::system());

} // namespace chartrek
