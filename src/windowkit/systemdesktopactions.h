#pragma once

#include "windowkit/desktopactions.h"

namespace inkvale {

class UserDialogs;

// The real desktop: its URL handlers, a detached process start and the system's beep.
class SystemDesktopActions : public DesktopActions
{
public:
    // `dialogs` says so when the desktop has no program to open an address with.
    explicit SystemDesktopActions(UserDialogs &dialogs);

    bool openUrl(const QUrl &url) override;
    void restartProgram(const QString &executable) override;
    void beep() override;

private:
    UserDialogs &m_dialogs;
};

} // namespace inkvale
