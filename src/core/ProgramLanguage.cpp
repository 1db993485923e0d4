#include "core/ProgramLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace chartrek {

namespace {
// The program's translation and Qt's, while installed.
struct Installed {
    std::unique_ptr<QTranslator> own;
    std::unique_ptr<QTranslator> qt;
};

Installed &installed()
{
    static Installed held;
    return held;
}
} // namespace

bool installProgramLanguage(const QLocale &locale)
{
    Installed &held = installed();
    for (std::unique_ptr<QTranslator> *t : {&held.own, &held.qt}) {
        if (*t)
            QCoreApplication::removeTranslator(t->get());
        t->reset();
    }
    // The program's translations are compiled into it, under :/translations.
    auto own = std::make_unique<QTranslator>();
    if (!own->load(locale, QStringLiteral("chartrek"), QStringLiteral("_"), QStringLiteral(":/translations")))
        return false;
    // Qt's own texts only beside the program's, so that the buttons speak the program's language.
    // Without them (a system without Qt's translations) the buttons stay English.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        held.qt = std::move(qt);
    }
    QCoreApplication::installTranslator(own.get());
    held.own = std::move(own);
    return true;
}

} // namespace chartrek
