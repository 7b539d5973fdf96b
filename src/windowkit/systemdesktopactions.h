#pragma once

#include "windowkit/desktopactions.h"

namespace inkvale {

// The real desktop: its URL handlers, a detached process start and the system's beep.
class SystemDesktopActions : public DesktopActions
{
public:
    bool openUrl(const QUrl &url) override;
    void restartProgram(const QString &executable) override;
    void beep() override;
};

} // namespace inkvale
