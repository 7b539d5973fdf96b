#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

namespace inkvale {

// An image of a batch that produced no output file.
struct BatchFailure
{
    QString path;
    // Why, in a few words, and the conversion's full log with the tool's own words.
    QString reason;
    QString log;
};

// How a batch ended.
struct BatchResult
{
    int converted = 0;
    QList<BatchFailure> failures;
    bool stopped = false;
    // The final status text: "Completed", "Completed (N failed)" or "Stopped".
    QString status;
};

} // namespace inkvale

Q_DECLARE_METATYPE(inkvale::BatchResult)
