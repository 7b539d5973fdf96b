#include "about/dropdownguard.h"

namespace inkvale {

bool DropDownGuard::mayOpen(const QObject *button, const QObject *menu, quint32 now)
{
    if (m_button == nullptr || button != m_button || menu != m_menu ||
        quint32(now - m_closedAt) >= closingClickMs)
        return true;
    m_button = nullptr;
    m_menu = nullptr;
    return false;
}

void DropDownGuard::closed(const QObject *button, const QObject *menu, quint32 now)
{
    m_button = button;
    m_menu = menu;
    m_closedAt = now;
}

} // namespace inkvale
