#pragma once

#include <QObject>
#include <QVariant>

#include <memory>
#include <vector>

class QSettings;

namespace chartrek {

class Messages;

// The choices the program remembers between runs, each under its key in the settings file.
enum class Setting {
    WindowGeometry,         // "window/geometry": the main window's place and size (saveGeometry)
    OpenFolder,             // "folders/open": the folder of the last file opened through the dialog
    SaveDataFolder,         // "folders/saveData"
    SaveGraphicFolder,      // "folders/saveGraphic"
    RecentFiles,            // "files/recent": the files opened last, newest first
    AutoLineHasLines,       // "autoline/hasLines"
    AutoLineHasGrid,        // "autoline/hasGrid"
    AutoLineColorTolerance, // "autoline/colorTolerance": 0 to 255
    MagnifierFactor,        // "magnifier/factor": 2 to 6
    SortData,               // "view/sortData"
    ShowMarkers,            // "view/showMarkers"
    PdfDpi,                 // "pdf/dpi": 10 to 2400
    PdfSmoothEdges,         // "pdf/smoothEdges"
};

// The settings file, read once at start and written at every change. Every subsystem may read
// a setting through it; none touches the file. A file that cannot be read or written never
// stops the program: the choices then hold for the run only, and the user is told once.
class Settings : public QObject {
    Q_OBJECT
public:
    // The file chartrek.conf in the folder CHARTREK_CONFIG_DIR names, else in the user's
    // configuration folder (~/.config/chartrek). Messages tell of a fault.
    explicit Settings(Messages &messages, QObject *parent = nullptr);
    ~Settings() override;

    static QString folder();
    QString fileName() const;

    // The value read or last set; an invalid QVariant when there is none, or none that fits.
    QVariant value(Setting setting) const;
    bool flag(Setting setting, bool fallback) const;
    int number(Setting setting, int fallback) const;
    // Stores the value and writes it at once. One of the wrong kind or out of range is ignored.
    void setValue(Setting setting, const QVariant &value);

private:
    void report(const QString &text);

    Messages &mMessages;
    std::unique_ptr<QSettings> mFile;
    std::vector<QVariant> mValues;
    bool mReported = false;
};

} // namespace chartrek
