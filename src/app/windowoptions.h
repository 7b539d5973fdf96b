#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace inkvale {

// The command line of the window program: the usual --help and --version beside the
// pictures and folders to open ("--" ends the options, for a file named like one). Qt's own
// options (-platform, -style, ...) are taken by the application before these are read.
class WindowOptions
{
public:
    enum class Action { ShowHelp, ShowVersion, Open };

    WindowOptions();

    // Parses `arguments` (the program name first); false with error() for an unknown option.
    bool parse(const QStringList &arguments);
    QString error() const { return m_error; }
    QString helpText() const { return m_parser.helpText(); }

    Action action() const { return m_action; }
    // The pictures and folders to open, as given.
    QStringList paths() const { return m_parser.positionalArguments(); }

private:
    QCommandLineParser m_parser;
    Action m_action = Action::Open;
    QString m_error;
};

} // namespace inkvale
