#pragma once

#include "convert/batchsources.h"

#include <functional>

class QComboBox;
class QLineEdit;

namespace inkvale {

class ConversionChoices;
class ImageListModel;

// The main window's controls as a batch's sources, read live, so that what the user changes
// during a batch applies from the next image on. The destination is the exception: it is
// taken only when the field's editing is finished (takeDestination).
class WindowBatchSources final : public BatchSources
{
public:
    struct Controls
    {
        ImageListModel &list;
        QLineEdit &destination;
        QComboBox &format;
        QComboBox &effect;
        // The quality, the location and the name pattern as the window shows them.
        std::function<OutputOptions()> outputOptions;
        const ConversionChoices &choices;
    };

    explicit WindowBatchSources(const Controls &controls);

    int rowCount() const override;
    QString rowPath(int row) const override;
    QString rowSubfolder(int row) const override;
    QString destination() const override;
    QString format() const override;
    QString effect() const override;
    OutputOptions outputOptions() const override { return m_controls.outputOptions(); }
    ConversionOptions conversionOptions() const override;
    // From the next image on, the batch writes where the field now says.
    void takeDestination();

private:
    Controls m_controls;
    QString m_destination;
};

} // namespace inkvale
