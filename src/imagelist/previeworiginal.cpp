#include "imagelist/previeworiginal.h"

#include "convert/memorybudget.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"
#include "convert/toolinput.h"

#include <QFile>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

namespace inkvale {
namespace {

// As prepareToolInput() hands the picture to the tool; null when it cannot be read.
QImage decodePicture(const QString &input, int largestSide)
{
    QFile file;
    const Result<const PictureFormat *> format = openPicture(input, file);
    if (!format.ok()) {
        return {};
    }
    const Result<DecodedPicture> reading = readWholePicture(file, format.value()->reader);
    if (!reading.ok()) {
        return {};
    }
    const QImage &image = reading.value().image;
    const QSize size = limitedSize(image.size(), largestSide);
    return size == image.size()
               ? image
               : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

PreviewOriginal::PreviewOriginal(QObject *parent)
    : QObject(parent)
{
    connect(&m_decoding, &QFutureWatcher<QImage>::finished, this, &PreviewOriginal::decoded);
}

PreviewOriginal::~PreviewOriginal()
{
    m_decoding.waitForFinished();
}

void PreviewOriginal::load(const QString &input, const QString &effect, int largestSide)
{
    const Request request{input, effect, largestSide, QFileInfo(input).lastModified()};
    if (m_kept && m_kept->input == input && m_kept->largestSide == largestSide &&
        m_kept->modified == request.modified) {
        m_pending.reset();
        m_current.reset();
        emit loaded(input, m_keptPicture);
        return;
    }
    m_pending = request;
    if (!m_decodingRuns) {
        start();
    }
}

void PreviewOriginal::clear()
{
    m_pending.reset();
    m_current.reset();
    m_kept.reset();
    m_keptPicture = QImage();
}

void PreviewOriginal::start()
{
    m_current = m_pending;
    m_pending.reset();
    // Decoding a picture whose claim is far beyond its data would take the window's memory.
    if (!pictureRefusal(m_current->input, m_current->effect, m_current->largestSide,
                        toolMemoryBudget())
             .isEmpty()) {
        const QString input = m_current->input;
        m_current.reset();
        emit loaded(input, QImage());
        return;
    }
    m_decodingRuns = true;
    m_decoding.setFuture(
        QtConcurrent::run(&decodePicture, m_current->input, m_current->largestSide));
}

void PreviewOriginal::decoded()
{
    m_decodingRuns = false;
    const QImage picture = m_decoding.result();
    if (m_pending) {
        start();
        return;
    }
    if (!m_current) {
        // Cleared meanwhile.
        return;
    }
    const Request request = *m_current;
    m_current.reset();
    m_kept = request;
    m_keptPicture = picture;
    emit loaded(request.input, picture);
}

} // namespace inkvale
