#include "app/RememberedChoices.h"

#include "autoline/AutoLineSetup.h"
#include "picture/GraphicLoading.h"

#include <QAction>
#include <QComboBox>
#include <QWidget>

namespace chartrek {

namespace {
// The factor an item of the magnifier's box stands for: the number its text starts with.
int factorOf(const QString &text)
{
    qsizetype digits = 0;
    while (digits < text.size() && text.at(digits).isDigit())
        ++digits;
    return text.left(digits).toInt();
}
} // namespace

RememberedChoices::RememberedChoices(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("rememberedChoices"));
    Settings &settings = mS.settings;
    connect(mC.menus.mnuEditSort, &QAction::toggled, this,
            [&settings](bool on) { settings.setValue(Setting::SortData, on); });
    connect(mC.menus.mnuViewMarker, &QAction::toggled, this,
            [&settings](bool on) { settings.setValue(Setting::ShowMarkers, on); });
    connect(&mC.mZoomBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        mS.settings.setValue(Setting::MagnifierFactor, factorOf(mC.mZoomBox.itemText(index)));
    });
    connect(&mS.autoLine, &AutoLineSetup::choicesChanged, this, &RememberedChoices::rememberAutoLine);
    // The page dialog's choice, once a page was drawn with it.
    connect(&mS.loading, &GraphicLoading::pictureTaken, this, &RememberedChoices::rememberPdf);
}

void RememberedChoices::restore()
{
    const Settings &settings = mS.settings;
    mC.menus.mnuEditSort->setChecked(settings.flag(Setting::SortData, mC.menus.mnuEditSort->isChecked()));
    mC.menus.mnuViewMarker->setChecked(settings.flag(Setting::ShowMarkers, mC.menus.mnuViewMarker->isChecked()));
    const int factor = settings.number(Setting::MagnifierFactor, 0);
    for (int i = 0; i < mC.mZoomBox.count(); ++i) {
        if (factorOf(mC.mZoomBox.itemText(i)) == factor)
            mC.mZoomBox.setCurrentIndex(i);
    }
    SharedState &state = mS.state;
    state.mHasLines = settings.flag(Setting::AutoLineHasLines, state.mHasLines);
    state.mHasGrid = settings.flag(Setting::AutoLineHasGrid, state.mHasGrid);
    state.mColorTolerance = settings.number(Setting::AutoLineColorTolerance, state.mColorTolerance);
    PdfRendering &pdf = mS.loading.pdfRendering();
    pdf.dpi = settings.number(Setting::PdfDpi, pdf.dpi);
    pdf.smooth = settings.flag(Setting::PdfSmoothEdges, pdf.smooth);
}

bool RememberedChoices::restoreWindow()
{
    const QByteArray geometry = mS.settings.value(Setting::WindowGeometry).toByteArray();
    return !geometry.isEmpty() && mC.window.restoreGeometry(geometry);
}

void RememberedChoices::windowClosing()
{
    mS.settings.setValue(Setting::WindowGeometry, mC.window.saveGeometry());
}

void RememberedChoices::rememberAutoLine()
{
    mS.settings.setValue(Setting::AutoLineHasLines, mS.state.mHasLines);
    mS.settings.setValue(Setting::AutoLineHasGrid, mS.state.mHasGrid);
    mS.settings.setValue(Setting::AutoLineColorTolerance, mS.state.mColorTolerance);
}

void RememberedChoices::rememberPdf()
{
    const PdfRendering &pdf = mS.loading.pdfRendering();
    mS.settings.setValue(Setting::PdfDpi, pdf.dpi);
    mS.settings.setValue(Setting::PdfSmoothEdges, pdf.smooth);
}

} // namespace chartrek
