#pragma once

#include <QObject>

#include <memory>

// The object on which an assistive technology's calls from another process arrive on the desktop the
// tests are built for, or nothing where such calls send the program no event.
std::unique_ptr<QObject> MakeAssistiveCallReceiver();
