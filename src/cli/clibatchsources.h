#pragma once

#include "convert/batchsources.h"

#include <QStringList>

namespace inkvale {

// The command line's fixed choices as a batch's sources.
class CliBatchSources : public BatchSources
{
public:
    CliBatchSources(QStringList paths, QString destination, QString format, QString effect);

    int rowCount() const override { return static_cast<int>(m_paths.size()); }
    QString rowPath(int row) const override { return m_paths.at(row); }
    QString destination() const override { return m_destination; }
    QString format() const override { return m_format; }
    QString effect() const override { return m_effect; }

private:
    QStringList m_paths;
    QString m_destination;
    QString m_format;
    QString m_effect;
};

} // namespace inkvale
