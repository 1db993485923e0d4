#pragma once

#include "core/FileDialogs.h"
#include "core/Messages.h"
#include "calibration/Calibration.h"
#include "points/PointTables.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <functional>

namespace chartrek::test {

// Answers every message with a scripted answer (OK when none is left) and records it.
class RecordingSink : public MessageSink {
public:
    struct Shown {
        MessageKind kind;
        QString text;
    };
    QList<Shown> shown;
    QList<int> answers;
    std::function<void()> whileShown; // runs while a message is on the screen

    int show(MessageKind kind, const QString &text) override;
    QStringList texts() const;
};

// Answers every file dialog with `answer` (empty: cancelled) and records what was asked;
// `whileOpen` runs as if the user did something else while the dialog is open.
class ScriptedDialogs : public FileDialogs {
public:
    QString answer;
    QString answerFilter; // the filter chosen in a save dialog; empty: the first one
    QList<FileDialogRequest> requests;
    std::function<void()> whileOpen;
    QString getOpenFileName(const FileDialogRequest &r) override { return record(r); }
    QString getSaveFileName(const FileDialogRequest &r, QString *selectedFilter = nullptr) override
    {
        if (selectedFilter)
            *selectedFilter = answerFilter.isEmpty() ? r.filter.section(QStringLiteral(";;"), 0, 0) : answerFilter;
        return record(r);
    }

private:
    QString record(const FileDialogRequest &r)
    {
        requests << r;
        if (whileOpen)
            whileOpen();
        return answer;
    }
};

// A second start's hand-over (an empty path: the clipboard picture). The second start waits
// for the running instance's answer, and that instance lives on this thread, so it sends from
// a thread of its own while this thread's event loop runs. True once the hand-over was taken.
bool handOverFromAnotherThread(const QString &path);

class FakePicture : public PictureHolder {
public:
    bool held = true;
    bool hasBitmap() const override { return held; }
};

// Empty point tables with a calibration not yet made, and messages a RecordingSink answers.
struct TablesRig {
    SharedState state;
    FakePicture picture;
    Calibration cal{state, picture};
    PointTableModel model;
    PointTables tables{model, cal, state};
    RecordingSink sink;
    Messages messages{sink};

    TablesRig() { tables.ResetPointTables(); }
};

// Point tables on linear axes where picture x -100·v and picture y -100·v stand for the value v.
struct CalibratedTables : TablesRig {
    CalibratedTables()
    {
        state.mX2Pix = state.mY2Pix = -100;
        cal.record().backColor = {ColorSet, ColorSet, ColorSet, ColorSet};
    }
    int add(double x, double y = 0) { return tables.AddPointToTables({qint32(-100 * x), qint32(-100 * y)}); }
};

// Sets the default locale for the life of the object.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale &locale) : mOld(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(mOld); }

private:
    QLocale mOld;
};

inline QLocale pointLocale() { return QLocale(QLocale::English, QLocale::UnitedStates); }
inline QLocale commaLocale() { return QLocale(QLocale::German, QLocale::Germany); }
// A text written with "." for the decimal separator, with the locale's separator instead.
inline QString inLocale(QString text, const QLocale &locale) { return text.replace(QLatin1Char('.'), locale.decimalPoint()); }

// Runs as if without root's power to ignore file permissions (tests and CI run as root),
// so that a read-only folder or an unreadable file really refuses. Restores it at the end.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride();
    ~WithoutPermissionOverride();

private:
    bool mChanged = false;
};

} // namespace chartrek::test
