#include "calibration/AskForOrigin.h"

namespace chartrek {

const QString &askForOriginText()
{
    static const QString text = QStringLiteral("You have to determine the origin first.");
    return text;
}

void AskForOrigin(Messages &messages, ToolMode &toolMode)
{
    messages.ShowInfo(askForOriginText());
    toolMode.SetPointerTool();
}

} // namespace chartrek
