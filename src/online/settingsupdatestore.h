#pragma once

#include "online/updatestore.h"

#include <memory>

class QSettings;

namespace inkvale {

// The update store in the platform's native per-user settings, group "Settings" of
// organisation "TAVRINO", application "Inkvale": the registry key
// HKEY_CURRENT_USER\Software\TAVRINO\Inkvale\Settings on Windows, an INI file under the
// user's configuration folder elsewhere. Values are strings.
class SettingsUpdateStore : public UpdateStore
{
public:
    SettingsUpdateStore();
    ~SettingsUpdateStore() override;

    bool open() override;
    std::optional<QString> read(const QString &name) const override;
    bool write(const QString &name, const QString &value) override;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace inkvale
