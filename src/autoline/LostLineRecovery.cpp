// TEMPORARY STUB until the dialog lands
#include "autoline/LostLineRecovery.h"
namespace chartrek {
LostLineRecovery::LostLineRecovery(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("lostLineRecovery"));
}
bool LostLineRecovery::GetPointFromUser(PixProbePoint &point)
{
    if (mAnswerer)
        return mAnswerer(point);
    return false;
}
} // namespace chartrek
