#pragma once

#include <QString>
#include <QUrl>

namespace inkvale {

// What the main window asks of the desktop beyond its own dialogs. Tests replace it, so that
// no browser opens and no second program starts.
class DesktopActions
{
public:
    virtual ~DesktopActions() = default;

    // Opens a web page or file with the desktop's handler; false when none took it.
    virtual bool openUrl(const QUrl &url) = 0;
    // Starts `executable` anew, detached, then ends this instance.
    virtual void restartProgram(const QString &executable) = 0;
    // The system's default beep.
    virtual void beep() = 0;
};

} // namespace inkvale
