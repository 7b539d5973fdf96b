#pragma once

#include "convert/batchsources.h"
#include "convert/picturetree.h"

#include <QStringList>

namespace inkvale {

// The command line's fixed choices as a batch's sources.
class CliBatchSources : public BatchSources
{
public:
    // Each picture's result goes to its sub-folder below `destination`.
    CliBatchSources(QList<TreePicture> pictures, QString destination, QString format,
                    QString effect);

    int rowCount() const override { return static_cast<int>(m_pictures.size()); }
    QString rowPath(int row) const override { return m_pictures.at(row).path; }
    QString rowSubfolder(int row) const override { return m_pictures.at(row).subfolder; }
    QString destination() const override { return m_destination; }
    QString format() const override { return m_format; }
    QString effect() const override { return m_effect; }
    OutputOptions outputOptions() const override { return m_options; }
    void setOutputOptions(const OutputOptions &options) { m_options = options; }
    ConversionOptions conversionOptions() const override { return m_conversionOptions; }
    void setConversionOptions(const ConversionOptions &options) { m_conversionOptions = options; }

private:
    QList<TreePicture> m_pictures;
    OutputOptions m_options;
    QString m_destination;
    QString m_format;
    QString m_effect;
    ConversionOptions m_conversionOptions;
};

} // namespace inkvale
