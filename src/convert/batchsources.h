#pragma once

#include <QString>

namespace inkvale {

class ToolLog;

// What a batch reads and drives. The batch queries every value afresh as each image starts, so
// a host whose controls change during the batch takes effect from the next image on.
class BatchSources
{
public:
    virtual ~BatchSources() = default;

    virtual int rowCount() const = 0;
    virtual QString rowPath(int row) const = 0;
    virtual QString destination() const = 0;
    // "PNG", "JPG" or "BMP"; its lower-case form is the output's extension.
    virtual QString format() const = 0;
    virtual QString effect() const = 0;
    virtual ToolLog &log() = 0;

    virtual void setStatus(const QString &text) = 0;
    virtual void setBusy(bool busy) = 0;
    // How many images are in work at the moment, after each start and end; a host may show it
    // beside the status.
    virtual void setRunningCount(int /*count*/) {}
    // Lets the host handle what is pending before the batch goes on.
    virtual void pumpMessages() = 0;
    // The batch is over (the system's default beep).
    virtual void signalCompletion() = 0;
};

} // namespace inkvale
