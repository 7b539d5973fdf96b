#include "app/conversionchoices.h"

#include "app/appsettings.h"

#include <QActionGroup>
#include <QMenu>

namespace inkvale {
namespace {

const int kOfferedSides[] = {1024, 2048, 4096};

} // namespace

ConversionChoices::ConversionChoices(QMenu &menu, QObject *parent)
    : QObject(parent)
{
    m_scale = menu.addAction(QStringLiteral("&Scale Effects to Picture Size"));
    m_scale->setObjectName(QStringLiteral("effectScaleAction"));
    m_scale->setCheckable(true);
    m_scale->setChecked(true);
    m_scale->setToolTip(QStringLiteral(
        "On: an effect looks the same on a large photo as on a small one, seen at the same "
        "size. Off: the effect's fixed pixel values, which change large photos less."));
    connect(m_scale, &QAction::triggered, this, [this] {
        store([this](AppSettings &settings) { settings.setEffectScale(options().scale); });
    });

    m_largestSide = menu.addMenu(QStringLiteral("&Largest Side"));
    m_largestSide->setObjectName(QStringLiteral("largestSideMenu"));
    auto *group = new QActionGroup(m_largestSide);
    group->setExclusive(true);
    largestSideAction(0).setChecked(true);
    for (const int pixels : kOfferedSides) {
        largestSideAction(pixels);
    }
}

QAction &ConversionChoices::largestSideAction(int pixels)
{
    auto *group = m_largestSide->findChild<QActionGroup *>();
    for (QAction *action : group->actions()) {
        if (action->data().toInt() == pixels) {
            return *action;
        }
    }
    QAction *action =
        m_largestSide->addAction(pixels == 0 ? QStringLiteral("&Keep Picture Size")
                                             : QStringLiteral("&%1 Pixels").arg(pixels));
    action->setObjectName(QStringLiteral("largestSide%1Action").arg(pixels));
    action->setData(pixels);
    action->setCheckable(true);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this] {
        store([this](AppSettings &settings) { settings.setLargestSide(options().largestSide); });
    });
    return *action;
}

void ConversionChoices::load(AppSettings &settings, std::function<void(const QString &)> showError)
{
    m_settings = &settings;
    m_showError = std::move(showError);
    m_scale->setChecked(settings.effectScale() == EffectScale::Fit);
    largestSideAction(settings.largestSide()).setChecked(true);
}

ConversionOptions ConversionChoices::options() const
{
    ConversionOptions options;
    options.scale = m_scale->isChecked() ? EffectScale::Fit : EffectScale::Exact;
    const QAction *side = m_largestSide->findChild<QActionGroup *>()->checkedAction();
    options.largestSide = side != nullptr ? side->data().toInt() : 0;
    return options;
}

void ConversionChoices::store(const std::function<void(AppSettings &)> &write)
{
    if (m_settings != nullptr) {
        try {
            write(*m_settings);
        } catch (const std::exception &error) {
            if (m_showError) {
                m_showError(QString::fromUtf8(error.what()));
            }
        }
    }
    emit changed();
}

} // namespace inkvale
