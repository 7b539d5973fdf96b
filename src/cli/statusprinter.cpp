#include "cli/statusprinter.h"

#include "cli/progressline.h"
#include "cli/terminaltext.h"

namespace inkvale {

StatusPrinter::StatusPrinter(QTextStream &out)
    : m_out(out)
{}

void StatusPrinter::print(const QString &text)
{
    if (m_quiet) {
        return;
    }
    if (m_progress != nullptr) {
        m_progress->clear();
    }
    // The status holds the picture's name, which may hold anything.
    m_out << terminalText(text) << Qt::endl;
    if (m_progress != nullptr) {
        m_progress->redraw();
    }
}

} // namespace inkvale
