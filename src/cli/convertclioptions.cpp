#include "cli/convertclioptions.h"

#include "convert/effectpresets.h"
#include "convert/pictureformats.h"

#include <algorithm>

namespace inkvale {
namespace {

QString effectNames()
{
    QStringList names;
    for (const EffectPreset &preset : effectPresets()) {
        names.append(QLatin1Char('"') + preset.name + QLatin1Char('"'));
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

ConvertCliOptions::ConvertCliOptions()
    : m_effect(QStringLiteral("effect"),
               QStringLiteral("One of %1 (default \"Cartoon\").").arg(effectNames()),
               QStringLiteral("NAME"), effectPresets().constFirst().name)
    , m_format(QStringLiteral("format"),
               QStringLiteral("%1, in any letter case (default %2). A BMP result carries no "
                              "metadata.")
                   .arg(alternativesPhrase(outputChoices()), outputChoices().constFirst()),
               QStringLiteral("FORMAT"), outputChoices().constFirst())
    , m_destination(QStringLiteral("destination"),
                    QStringLiteral("Folder for the results; created with its parents when "
                                   "missing."),
                    QStringLiteral("DIR"))
    , m_log(QStringLiteral("log"), QStringLiteral("Append every conversion's log to FILE."),
            QStringLiteral("FILE"))
    , m_jobs(QStringLiteral("jobs"),
             QStringLiteral("Convert at most N pictures at once (1: one after the other). By "
                            "default N follows the processor cores and the memory available, "
                            "which each picture's size and effect need."),
             QStringLiteral("N"))
    , m_quality(QStringLiteral("quality"),
                QStringLiteral("Quality of a JPG, WEBP or AVIF result, 1 to 100 (default 90)."),
                QStringLiteral("N"))
    , m_keepLocation(QStringLiteral("keep-location"),
                     QStringLiteral("Keep the photos' location (GPS coordinates, place names) in "
                                    "the results; by default it is removed."))
    , m_recursive(QStringLiteral("recursive"),
                  QStringLiteral("A folder adds the pictures of its sub-folders too, and the "
                                 "results mirror its tree inside the destination (hidden "
                                 "folders are skipped)."))
    , m_name(QStringLiteral("name"),
             QStringLiteral("Name the results by PATTERN: {name} the input's name, {effect} the "
                            "effect, {n} the picture's number (default {name})."),
             QStringLiteral("PATTERN"), QString::fromUtf16(NamePattern::kDefault))
    , m_effectScale(QStringLiteral("effect-scale"),
                    QStringLiteral("fit (default): the effect keeps its look at viewing size "
                                   "whatever the picture's pixel size, its lines and smoothing "
                                   "scaled with the picture; exact: the effect's fixed pixel "
                                   "values, so that large pictures change less."),
                    QStringLiteral("fit|exact"), QStringLiteral("fit"))
    , m_maxSize(QStringLiteral("max-size"),
                QStringLiteral("Scale larger pictures down so that their longest side is at most "
                               "N pixels, before the effect (faster); smaller ones keep their "
                               "size."),
                QStringLiteral("N"))
    , m_listEffects(QStringLiteral("list-effects"),
                    QStringLiteral("Show which effects the installed G'MIC can run, and exit."))
    , m_quiet(QStringList{QStringLiteral("q"), QStringLiteral("quiet")},
              QStringLiteral("Print only the pictures that were not converted."))
{
    m_parser.setApplicationDescription(QStringLiteral(
        "Turns pictures into cartoon-style images with the G'MIC tool in gmic/ beside this "
        "program.\n"
        "A PATH that is a folder adds its pictures (.bmp .gif .png .tif .tiff .jpg .jpeg .webp "
        ".heic .heif .avif, not those in sub-folders unless --recursive, in a file manager's "
        "order: case aside, numbers by value); a file is taken as given. Outputs are named "
        "after their inputs (or --name) and never replace an existing file: \"photo (2).png\" "
        "follows \"photo.png\". They keep the photos' date, camera, author, keywords and "
        "colour profile, but not their location unless --keep-location.\n"
        "Exit status: 0 when every picture was converted, 1 when some were not (they are listed "
        "with the tool's words) or none was, 2 when the command cannot run (usage, unknown effect "
        "or "
        "format, missing tool, destination that cannot be created), 130 when stopped by "
        "Ctrl+C or a termination request (pictures already converted stay, those in work "
        "leave nothing)."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({m_effect, m_format, m_quality, m_keepLocation, m_destination, m_recursive,
                         m_name, m_log, m_jobs, m_effectScale, m_maxSize, m_listEffects, m_quiet});
    m_parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Pictures or folders."),
                                   QStringLiteral("PATH..."));
}

bool ConvertCliOptions::parse(const QStringList &arguments)
{
    if (!m_parser.parse(arguments)) {
        m_error = m_parser.errorText();
        return false;
    }
    if (m_parser.isSet(QStringLiteral("help"))) {
        m_action = Action::ShowHelp;
    } else if (m_parser.isSet(QStringLiteral("version"))) {
        m_action = Action::ShowVersion;
    } else if (m_parser.isSet(m_listEffects)) {
        m_action = Action::ListEffects;
    } else {
        m_action = Action::Convert;
        m_error = check();
    }
    return m_error.isEmpty();
}

QString ConvertCliOptions::check() const
{
    if (findEffectPreset(effect()) == nullptr) {
        return QStringLiteral("Unknown effect \"%1\"; choose one of %2.")
            .arg(effect(), effectNames());
    }
    if (formatOfOutputChoice(format()) == nullptr) {
        return QStringLiteral("Unknown format \"%1\"; choose %2.")
            .arg(m_parser.value(m_format), alternativesPhrase(outputChoices()));
    }
    if (m_parser.isSet(m_quality) && quality() < 1) {
        return QStringLiteral("Invalid --quality \"%1\"; give a whole number from 1 to 100.")
            .arg(m_parser.value(m_quality));
    }
    if (const QString problem = NamePattern::problem(m_parser.value(m_name)); !problem.isEmpty()) {
        return QStringLiteral("Invalid --name: %1.").arg(problem);
    }
    if (m_parser.isSet(m_jobs) && jobs() < 1) {
        return QStringLiteral("Invalid --jobs \"%1\"; give a whole number of at least 1.")
            .arg(m_parser.value(m_jobs));
    }
    const QString scale = m_parser.value(m_effectScale);
    if (effectScaleName(effectScaleNamed(scale)).compare(scale, Qt::CaseInsensitive) != 0) {
        return QStringLiteral("Invalid --effect-scale \"%1\"; choose fit or exact.").arg(scale);
    }
    if (maxSize() < 0) {
        return QStringLiteral("Invalid --max-size \"%1\"; give a whole number of pixels of at "
                              "least 1.")
            .arg(m_parser.value(m_maxSize));
    }
    if (!m_parser.isSet(m_destination)) {
        return QStringLiteral("Missing --destination DIR (see --help).");
    }
    if (paths().isEmpty()) {
        return QStringLiteral(
            "Missing PATH: name the pictures or folders to convert (see --help).");
    }
    return {};
}

QString ConvertCliOptions::format() const
{
    const QString asked = m_parser.value(m_format);
    for (const QString &choice : outputChoices()) {
        if (choice.compare(asked, Qt::CaseInsensitive) == 0) {
            return choice;
        }
    }
    return asked.toUpper();
}

int ConvertCliOptions::quality() const
{
    if (!m_parser.isSet(m_quality)) {
        return 0;
    }
    bool ok = false;
    const int value = m_parser.value(m_quality).toInt(&ok);
    return ok && value >= 1 && value <= 100 ? value : -1;
}

OutputOptions ConvertCliOptions::outputOptions() const
{
    OutputOptions options;
    options.quality = std::max(0, quality());
    options.keepLocation = m_parser.isSet(m_keepLocation);
    options.namePattern = m_parser.value(m_name);
    return options;
}

int ConvertCliOptions::jobs() const
{
    if (!m_parser.isSet(m_jobs)) {
        return 0;
    }
    bool ok = false;
    const int value = m_parser.value(m_jobs).toInt(&ok);
    return ok && value >= 1 ? value : -1;
}

int ConvertCliOptions::maxSize() const
{
    if (!m_parser.isSet(m_maxSize)) {
        return 0;
    }
    bool ok = false;
    const int value = m_parser.value(m_maxSize).toInt(&ok);
    return ok && value >= 1 ? value : -1;
}

ConversionOptions ConvertCliOptions::conversionOptions() const
{
    ConversionOptions options;
    options.scale = effectScaleNamed(m_parser.value(m_effectScale));
    options.largestSide = std::max(maxSize(), 0);
    return options;
}

} // namespace inkvale
