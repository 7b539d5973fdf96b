#pragma once

#include "convert/conversionoptions.h"
#include "convert/outputoptions.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace inkvale {

// The command line of inkvale-convert: its options, their defaults and their checks.
class ConvertCliOptions
{
public:
    enum class Action { ShowHelp, ShowVersion, ListEffects, Convert };

    ConvertCliOptions();

    // Parses and checks `arguments` (the program name first); false with error() when they
    // cannot be used.
    bool parse(const QStringList &arguments);
    QString error() const { return m_error; }
    QString helpText() const { return m_parser.helpText(); }

    Action action() const { return m_action; }
    QStringList paths() const { return m_parser.positionalArguments(); }
    QString destination() const { return m_parser.value(m_destination); }
    // The output choice asked for, as the format table spells it ("WebP" for "webp").
    QString format() const;
    // The quality, the location and the name pattern asked for.
    OutputOptions outputOptions() const;
    bool recursive() const { return m_parser.isSet(m_recursive); }
    QString effect() const { return m_parser.value(m_effect); }
    // Empty when no log file was asked for.
    QString logFile() const { return m_parser.value(m_log); }
    bool quiet() const { return m_parser.isSet(m_quiet); }
    // How many pictures convert at once: 0 when the program chooses, -1 when unusable.
    int jobs() const;
    // 1 to 100; 0 when not given, -1 when unusable.
    int quality() const;
    // --effect-scale and --max-size (0 when not given).
    ConversionOptions conversionOptions() const;

private:
    QString check() const;
    // The --max-size value: 0 when not given, -1 when unusable.
    int maxSize() const;

    QCommandLineParser m_parser;
    QCommandLineOption m_effect;
    QCommandLineOption m_format;
    QCommandLineOption m_destination;
    QCommandLineOption m_log;
    QCommandLineOption m_jobs;
    QCommandLineOption m_quality;
    QCommandLineOption m_keepLocation;
    QCommandLineOption m_recursive;
    QCommandLineOption m_name;
    QCommandLineOption m_effectScale;
    QCommandLineOption m_maxSize;
    QCommandLineOption m_listEffects;
    QCommandLineOption m_quiet;
    Action m_action = Action::Convert;
    QString m_error;
};

} // namespace inkvale
