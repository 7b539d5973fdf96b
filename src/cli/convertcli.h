#pragma once

#include "convert/batchresult.h"
#include "convert/picturetree.h"
#include "convert/toollocation.h"

#include <QStringList>
#include <QTextStream>

namespace inkvale {

class BatchSources;
class ProgressLine;
class StatusPrinter;
class ToolLog;

// inkvale-convert: the conversion engine for scripts and headless machines.
// Exit status: 0 every image produced its file, 1 some failed or none was converted, 2 the
// command could not run, 130 stopped by an interruption (see platform::watchForInterruption()).
class ConvertCli
{
public:
    enum ExitCode { AllConverted = 0, SomeFailed = 1, CannotRun = 2, Stopped = 130 };

    ConvertCli(QTextStream &out, QTextStream &err, const ToolLocation &location);
    int run(const QStringList &arguments);

private:
    int listEffects();
    // `recursive`: a folder's sub-folders too, each picture with its place in the tree.
    QList<TreePicture> collectInputs(const QStringList &paths, bool recursive);
    // `progress` and `log` may be null.
    BatchResult convertStoppably(BatchSources &sources, int jobs, ProgressLine *progress,
                                 StatusPrinter &status, ToolLog *log);
    // `apart`: a blank line first, to set the list off from the status lines above it.
    void printFailures(const BatchResult &result, bool apart);

    QTextStream &m_out;
    QTextStream &m_err;
    ToolLocation m_location;
};

} // namespace inkvale
