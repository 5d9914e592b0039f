// Placeholder until the PJL header builder is in the tree.

#include "delivery/JobAction.h"

bool JobAction::_sendDirectPDF()
{
    lastError = QStringLiteral("Raw sending failed, result: 0");
    return false;
}
