#include "online/centrereveal.h"

#include <QRegion>
#include <QVariantAnimation>
#include <QWidget>

namespace inkvale {

CentreReveal::CentreReveal(QWidget &window)
    : QObject(&window)
    , m_window(window)
    , m_animation(new QVariantAnimation(this))
{
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { showFraction(value.toReal()); });
    connect(m_animation, &QVariantAnimation::finished, this, &CentreReveal::finish);
}

void CentreReveal::grow(int durationMs)
{
    m_done = nullptr;
    run(durationMs, 0.0, 1.0);
}

void CentreReveal::shrink(int durationMs, std::function<void()> done)
{
    m_done = std::move(done);
    run(durationMs, 1.0, 0.0);
}

bool CentreReveal::isRunning() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

void CentreReveal::run(int durationMs, qreal from, qreal to)
{
    m_animation->stop();
    m_animation->setDuration(durationMs);
    m_animation->setStartValue(from);
    m_animation->setEndValue(to);
    showFraction(from);
    m_animation->start();
}

void CentreReveal::showFraction(qreal fraction)
{
    const QSize full = m_window.size();
    // An empty region would mean "no mask" and show everything: keep at least one pixel.
    const QSize visible(qMax(1, qRound(full.width() * fraction)),
                        qMax(1, qRound(full.height() * fraction)));
    QRect area(QPoint(), visible);
    area.moveCenter(m_window.rect().center());
    m_window.setMask(QRegion(area));
}

void CentreReveal::finish()
{
    if (m_done) {
        const std::function<void()> done = std::exchange(m_done, nullptr);
        done();
    }
    m_window.clearMask();
}

} // namespace inkvale
