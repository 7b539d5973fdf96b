#include "online/settingsupdatestore.h"

#include <QCoreApplication>
#include <QSettings>

namespace inkvale {

SettingsUpdateStore::SettingsUpdateStore() = default;
SettingsUpdateStore::~SettingsUpdateStore() = default;

bool SettingsUpdateStore::open()
{
    auto settings =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral("TAVRINO"), QStringLiteral("Inkvale"));
    if (settings->status() != QSettings::NoError || !settings->isWritable()) {
        return false;
    }
    settings->beginGroup(QStringLiteral("Settings"));
    // Opened by the check's thread, used by the window's afterwards.
    if (const QCoreApplication *application = QCoreApplication::instance()) {
        settings->moveToThread(application->thread());
    }
    m_settings = std::move(settings);
    return true;
}

std::optional<QString> SettingsUpdateStore::read(const QString &name) const
{
    if (!m_settings || !m_settings->contains(name)) {
        return std::nullopt;
    }
    return m_settings->value(name).toString();
}

bool SettingsUpdateStore::write(const QString &name, const QString &value)
{
    if (!m_settings) {
        return false;
    }
    m_settings->setValue(name, value);
    // Written at once: nothing waits for the program's end.
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

} // namespace inkvale
