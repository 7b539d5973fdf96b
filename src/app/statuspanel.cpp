#include "app/statuspanel.h"

#include "windowkit/artwork.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>

namespace inkvale {

namespace {

// `text` as it fits `width`: whole where it can be; else its first word and as much of the
// rest's end as there is room for ("Processing …/holiday/beach.jpg", the end names the
// picture); cut in the middle when even that has no room.
QString fittedText(const QString &text, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space > 0) {
        const QString head = text.left(space + 1);
        const int room = width - metrics.horizontalAdvance(head);
        if (room >= 4 * metrics.horizontalAdvance(QChar(0x2026))) {
            return head + metrics.elidedText(text.mid(space + 1), Qt::ElideLeft, room);
        }
    }
    return metrics.elidedText(text, Qt::ElideMiddle, width);
}

} // namespace

StatusPanel::StatusPanel(QWidget *parent)
    : QWidget(parent)
    , m_mark(new QLabel(this))
    , m_label(new QLabel(this))
    , m_progress(new QProgressBar(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(4);
    m_mark->setObjectName(QStringLiteral("StatusFailureMark"));
    const int markSize = fontMetrics().height();
    m_mark->setPixmap(artworkIcon(QStringLiteral("failures")).pixmap(markSize, markSize));
    m_mark->setAccessibleName(tr("Some images failed"));
    m_mark->setAccessibleDescription(tr("The conversion log in the Help menu says which and why"));
    m_mark->hide();
    setAccessibleName(tr("Status"));
    m_label->setObjectName(QStringLiteral("StatusText"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setMinimumWidth(1);
    m_label->installEventFilter(this);
    m_progress->setObjectName(QStringLiteral("StatusProgress"));
    m_progress->setMaximumWidth(160);
    m_progress->setMaximumHeight(markSize + 2);
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_progress->setAccessibleName(tr("Progress"));
    m_progress->hide();
    layout->addWidget(m_mark);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_progress);
}

void StatusPanel::setText(const QString &text)
{
    m_text = text;
    m_showsFailures = false;
    showText();
    m_label->setToolTip({});
    m_mark->hide();
    unsetCursor();
}

void StatusPanel::setFailureText(const QString &text)
{
    setText(text);
    m_showsFailures = true;
    m_mark->show();
    m_label->setToolTip(tr("Click to see which images failed and why"));
    setCursor(Qt::PointingHandCursor);
}

void StatusPanel::showProgress(int done, int total)
{
    m_progress->setRange(0, qMax(total, 1));
    m_progress->setValue(qMin(done, qMax(total, 1)));
    m_progress->show();
}

void StatusPanel::hideProgress()
{
    m_progress->hide();
}

void StatusPanel::showText()
{
    // A long path keeps the name of its file in sight, in whatever room the progress bar and
    // the window's width leave.
    m_label->setText(fittedText(m_text, m_label->fontMetrics(), m_label->contentsRect().width()));
}

bool StatusPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && event->type() == QEvent::Resize) {
        showText();
    }
    return QWidget::eventFilter(watched, event);
}

void StatusPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_showsFailures && event->button() == Qt::LeftButton) {
        emit failuresClicked();
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace inkvale
