#include "cli/clibatchsources.h"

namespace inkvale {

CliBatchSources::CliBatchSources(QList<TreePicture> pictures, QString destination, QString format,
                                 QString effect)
    : m_pictures(std::move(pictures))
    , m_destination(std::move(destination))
    , m_format(std::move(format))
    , m_effect(std::move(effect))
{}

} // namespace inkvale
