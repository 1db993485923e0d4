#pragma once

#include "app/Messages.h"
#include "app/ToolMode.h"

namespace chartrek {

// Tells the user that the references are missing and returns to the pointer tool. Called
// when the point tool or a point capture is asked for before the calibration is complete.
void AskForOrigin(Messages &messages, ToolMode &toolMode);

const QString &askForOriginText();

} // namespace chartrek
