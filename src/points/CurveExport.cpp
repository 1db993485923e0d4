#include "points/CurveExport.h"

#include <QLocale>

namespace chartrek {

namespace {
// A value's full-precision text, as the picture table holds it.
QString valueText(const PointTableModel::Row &row, int column, bool pointDecimal)
{
    QString t = row[PointTableModel::kValueColumns + column];
    // The texts were written with the locale's separator, which need be neither "," nor ".".
    if (pointDecimal)
        t.replace(QLocale().decimalPoint(), QStringLiteral(".")).replace(QLatin1Char(','), QLatin1Char('.'));
    return t;
}

QString csvField(const QString &text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text != text.trimmed();
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

QString BuildAllCurvesText(const Curves &curves, bool pointDecimal)
{
    QString text;
    for (int i = 0; i < curves.count(); ++i) {
        if (i > 0)
            text += QStringLiteral("\r\n");
        text += curves.name(i) + QStringLiteral("\r\n");
        const Curves::Grid &grid = curves.rows(i);
        for (qsizetype row = 1; row + 1 < grid.size(); ++row)
            text += valueText(grid[row], 2, pointDecimal) + QLatin1Char('\t') + valueText(grid[row], 3, pointDecimal)
                + QStringLiteral("\r\n");
    }
    return text;
}

QString BuildAllCurvesCsv(const Curves &curves)
{
    QString text = QStringLiteral("curve,x,y\n");
    for (int i = 0; i < curves.count(); ++i) {
        const QString name = csvField(curves.name(i));
        const Curves::Grid &grid = curves.rows(i);
        for (qsizetype row = 1; row + 1 < grid.size(); ++row)
            text += name + QLatin1Char(',') + valueText(grid[row], 2, true) + QLatin1Char(',')
                + valueText(grid[row], 3, true) + QLatin1Char('\n');
    }
    return text;
}

} // namespace chartrek
