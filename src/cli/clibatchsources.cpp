#include "cli/clibatchsources.h"

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
    m_out << text << Qt::endl;
}

} // namespace inkvale
