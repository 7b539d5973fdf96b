#pragma once

#include <QMetaType>
#include <QString>

namespace inkvale {

// What became of one conversion.
struct ConversionResult
{
    enum class Outcome { Converted, Failed, Cancelled };

    Outcome outcome = Outcome::Failed;
    // Why there is no output file (the tool's own words are in the log).
    QString failure;

    bool converted() const { return outcome == Outcome::Converted; }
};

} // namespace inkvale

Q_DECLARE_METATYPE(inkvale::ConversionResult)
