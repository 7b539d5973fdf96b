#include "app/windowoptions.h"

namespace inkvale {

WindowOptions::WindowOptions()
{
    m_parser.setApplicationDescription(QStringLiteral(
        "Opens Inkvale's window, which turns pictures into cartoon-style images with the G'MIC "
        "tool.\n"
        "Each FILE or FOLDER is added to the list as if dropped on the window: a folder adds "
        "its pictures (.bmp .gif .png .tif .tiff .jpg .jpeg, not those in sub-folders). When a "
        "window of Inkvale is already open in the session, they are added to that one and "
        "this command ends once it has added them.\n"
        "Exit status: 0 when the window was closed, or when the window already open added "
        "pictures; 1 when none of the named pictures could be added (the window says why); 2 "
        "for an unknown option."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addPositionalArgument(QStringLiteral("FILE|FOLDER"),
                                   QStringLiteral("Pictures or folders to add."),
                                   QStringLiteral("[FILE|FOLDER...]"));
}

bool WindowOptions::parse(const QStringList &arguments)
{
    if (!m_parser.parse(arguments)) {
        m_error = m_parser.errorText();
        return false;
    }
    if (m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("help-all"))) {
        m_action = Action::ShowHelp;
    } else if (m_parser.isSet(QStringLiteral("version"))) {
        m_action = Action::ShowVersion;
    } else {
        m_action = Action::Open;
    }
    return true;
}

} // namespace inkvale
