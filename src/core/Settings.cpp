#include "core/Settings.h"

#include "core/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace chartrek {

namespace {

enum class Kind { Bytes, Text, List, Flag, Number };

struct Entry {
    const char *key;
    Kind kind;
    int min = 0;
    int max = 0;
};

// In the order of Setting.
const Entry kEntries[] = {
    {"window/geometry", Kind::Bytes},
    {"folders/open", Kind::Text},
    {"folders/saveData", Kind::Text},
    {"folders/saveGraphic", Kind::Text},
    {"files/recent", Kind::List},
    {"autoline/hasLines", Kind::Flag},
    {"autoline/hasGrid", Kind::Flag},
    {"autoline/colorTolerance", Kind::Number, 0, 255},
    {"magnifier/factor", Kind::Number, 2, 6},
    {"view/sortData", Kind::Flag},
    {"view/showMarkers", Kind::Flag},
    {"pdf/dpi", Kind::Number, 10, 2400},
    {"pdf/smoothEdges", Kind::Flag},
};

const Entry &entry(Setting setting)
{
    return kEntries[int(setting)];
}

// The value in the entry's own form, or an invalid one when it has none: a hand-edited or
// damaged file gives texts of any kind.
QVariant fitted(const Entry &e, const QVariant &value)
{
    if (!value.isValid())
        return {};
    switch (e.kind) {
    case Kind::Bytes: {
        const QByteArray bytes = value.toByteArray();
        return bytes.isEmpty() ? QVariant() : QVariant(bytes);
    }
    case Kind::Text: {
        const QString text = value.toString();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case Kind::List: {
        QStringList list = value.toStringList();
        list.removeAll(QString());
        list.removeDuplicates();
        return list;
    }
    case Kind::Flag: {
        const QString text = value.toString();
        if (text == QLatin1String("true") || text == QLatin1String("false"))
            return text == QLatin1String("true");
        return {};
    }
    case Kind::Number: {
        bool ok = false;
        const int number = value.toString().toInt(&ok);
        return ok && number >= e.min && number <= e.max ? QVariant(number) : QVariant();
    }
    }
    return {};
}

} // namespace

QString Settings::folder()
{
    const QString own = qEnvironmentVariable("CHARTREK_CONFIG_DIR");
    if (!own.isEmpty())
        return own;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/chartrek");
}

Settings::Settings(Messages &messages, QObject *parent) : QObject(parent), mMessages(messages)
{
    const QString path = folder() + QStringLiteral("/chartrek.conf");
    mFile = std::make_unique<QSettings>(path, QSettings::IniFormat);
    if (mFile->status() == QSettings::FormatError) {
        // Kept aside for a look; the program starts afresh with a file of its own.
        const QString aside = path + QStringLiteral(".damaged");
        QFile::remove(aside);
        const bool kept = QFile::rename(path, aside);
        mFile = std::make_unique<QSettings>(path, QSettings::IniFormat);
        const QString text = tr("The settings file %1 is damaged. Chartrek starts with its usual settings.")
                                 .arg(QDir::toNativeSeparators(path));
        // Told once the window is up.
        QTimer::singleShot(0, this, [this, text, kept, aside] {
            report(kept ? text + QLatin1Char(' ')
                        + tr("The damaged file is kept as %1.").arg(QDir::toNativeSeparators(aside))
                        : text);
        });
    } else if (mFile->status() == QSettings::AccessError) {
        QTimer::singleShot(0, this, [this] {
            report(tr("The settings file %1 cannot be read. Chartrek starts with its usual settings.")
                       .arg(QDir::toNativeSeparators(fileName())));
        });
    }
    for (const Entry &e : kEntries)
        mValues.push_back(fitted(e, mFile->value(QLatin1String(e.key))));
}

Settings::~Settings() = default;

QString Settings::fileName() const
{
    return mFile->fileName();
}

QVariant Settings::value(Setting setting) const
{
    return mValues[size_t(setting)];
}

bool Settings::flag(Setting setting, bool fallback) const
{
    const QVariant v = value(setting);
    return v.isValid() ? v.toBool() : fallback;
}

int Settings::number(Setting setting, int fallback) const
{
    const QVariant v = value(setting);
    return v.isValid() ? v.toInt() : fallback;
}

void Settings::setValue(Setting setting, const QVariant &value)
{
    const Entry &e = entry(setting);
    // Stored as text, so that the file reads back the same way it was read at start.
    const QVariant stored = e.kind == Kind::Flag || e.kind == Kind::Number ? QVariant(value.toString()) : value;
    const QVariant v = fitted(e, stored);
    if (!v.isValid() || v == mValues[size_t(setting)])
        return;
    mValues[size_t(setting)] = v;
    mFile->setValue(QLatin1String(e.key), v);
    mFile->sync();
    if (mFile->status() != QSettings::NoError) {
        report(tr("The settings cannot be saved in %1. Chartrek works on, but will not remember your choices.")
                   .arg(QDir::toNativeSeparators(fileName())));
    }
}

void Settings::report(const QString &text)
{
    if (mReported)
        return;
    mReported = true;
    mMessages.ShowInfo(text);
}

} // namespace chartrek
