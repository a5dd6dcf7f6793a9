#include "assistive_caller.h"

std::unique_ptr<QObject> MakeAssistiveCallReceiver()
{
    // UI Automation reads the widgets from inside the window procedure.
    return nullptr;
}
