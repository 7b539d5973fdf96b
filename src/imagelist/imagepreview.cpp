#include "imagelist/imagepreview.h"

#include "convert/conversionjob.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/previewpicture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSplitter>
#include <QtConcurrent/QtConcurrentRun>

namespace inkvale {

ImagePreview::ImagePreview(const Controls &controls, const ToolLocation &location, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_location(location)
    , m_scratchFolder(QDir::tempPath())
{
    connect(&m_decoding, &QFutureWatcher<QImage>::finished, this, &ImagePreview::decoded);
}

ImagePreview::~ImagePreview()
{
    const bool busy = isBusy();
    m_job.reset(); // stops the tool
    m_decoding.waitForFinished();
    if (busy) {
        QFile::remove(scratchFile());
    }
}

void ImagePreview::setScratchFolder(const QString &folder)
{
    m_scratchFolder = folder;
}

QString ImagePreview::scratchFile() const
{
    return QDir(m_scratchFolder).filePath(QStringLiteral("temp.png"));
}

bool ImagePreview::isBusy() const
{
    return m_job != nullptr || m_decoding.isRunning();
}

void ImagePreview::showPreview()
{
    if (!m_controls.enabled.isChecked()) {
        return;
    }
    const int row = m_controls.view.currentRow();
    if (row < 0) {
        return;
    }
    const QString input = m_controls.list.path(row);
    if (!QFileInfo::exists(input)) {
        return;
    }
    emit statusChanged(QStringLiteral("Generating Preview Image..."));
    m_pending = Request{input, m_controls.effect.currentText()};
    if (m_job) {
        // Its end starts the newest request.
        m_job->cancel();
        return;
    }
    if (!m_decoding.isRunning()) {
        startPending();
    }
}

QWidget &ImagePreview::splitterHandle() const
{
    return *m_controls.splitter.handle(m_controls.splitter.indexOf(&m_controls.picture));
}

void ImagePreview::hidePane()
{
    if (m_controls.picture.isVisibleTo(&m_controls.splitter)) {
        // The splitter forgets a hidden pane's height; the user's choice lasts for the run.
        m_paneHeight = m_controls.picture.height();
    }
    m_controls.picture.hide();
    splitterHandle().hide();
    if (isBusy()) {
        m_pending.reset();
        m_discard = true;
        if (m_job) {
            m_job->cancel();
        }
        emit statusChanged(QString());
    }
}

void ImagePreview::startPending()
{
    const Request request = *m_pending;
    m_pending.reset();
    m_discard = false;
    m_input = request.input;
    // The result is placed without replacing a file: a stale one must go first.
    QFile::remove(scratchFile());
    m_job = std::make_unique<ConversionJob>(request.effect, request.input, scratchFile(), m_log,
                                            m_location);
    connect(m_job.get(), &ConversionJob::finished, this, &ImagePreview::conversionEnded);
    m_job->start();
}

void ImagePreview::conversionEnded(const ConversionResult &result)
{
    // Called from the job's own signal: it goes once the signal has returned.
    m_job.release()->deleteLater();
    emit renderEnded(m_input, result);
    if (m_pending || m_discard) {
        QFile::remove(scratchFile());
        if (m_pending) {
            startPending();
        } else {
            m_discard = false;
            emit settled();
        }
        return;
    }
    emit statusChanged(QString());
    if (!QFileInfo::exists(scratchFile())) {
        // No picture: the pane stays as it was.
        emit settled();
        return;
    }
    // A photograph takes a while to decode: off the event loop, and the scratch file is
    // removed as soon as it is read.
    m_decoding.setFuture(QtConcurrent::run([file = scratchFile()] {
        const QImage image(file);
        QFile::remove(file);
        return image;
    }));
}

void ImagePreview::decoded()
{
    const QImage image = m_decoding.result();
    if (m_pending) {
        startPending();
        return;
    }
    if (m_discard) {
        m_discard = false;
        emit settled();
        return;
    }
    showPane();
    // A result that cannot be read leaves the previous picture in place.
    if (!image.isNull()) {
        m_controls.picture.setImage(image);
    }
    emit settled();
}

void ImagePreview::showPane()
{
    if (m_controls.picture.isVisibleTo(&m_controls.splitter)) {
        return;
    }
    m_controls.picture.show();
    splitterHandle().show();
    const int total = m_controls.splitter.height() - m_controls.splitter.handleWidth();
    m_controls.splitter.setSizes({std::max(total - m_paneHeight, 0), m_paneHeight});
}

} // namespace inkvale
