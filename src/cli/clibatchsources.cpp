#include "cli/clibatchsources.h"

#include "cli/progressline.h"
#include "cli/terminaltext.h"

namespace inkvale {

CliBatchSources::CliBatchSources(QStringList paths, QString destination, QString format,
                                 QString effect, std::unique_ptr<ToolLog> log, QTextStream &out)
    : m_paths(std::move(paths))
    , m_destination(std::move(destination))
    , m_format(std::move(format))
    , m_effect(std::move(effect))
    , m_log(log ? std::move(log) : std::make_unique<StringToolLog>())
    , m_out(out)
{}

void CliBatchSources::setStatus(const QString &text)
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
