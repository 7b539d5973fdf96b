#include "cli/clibatchsources.h"

namespace inkvale {

CliBatchSources::CliBatchSources(QStringList paths, QString destination, QString format,
                                 QString effect)
    : m_paths(std::move(paths))
    , m_destination(std::move(destination))
    , m_format(std::move(format))
    , m_effect(std::move(effect))
{}

} // namespace inkvale
