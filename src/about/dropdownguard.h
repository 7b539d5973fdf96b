#pragma once

#include <QtGlobal>

class QObject;

namespace inkvale {

// Remembers the drop-down menu that closed last, so that the click on its button that closed
// it does not open it again at once.
class DropDownGuard
{
public:
    // How long after closing a click on the same button still counts as the closing click.
    static constexpr quint32 closingClickMs = 100;

    // False, and forgets the record, when `button` asks again for `menu` less than 100 ms
    // after that drop-down closed; times are tick counts in milliseconds that may wrap.
    bool mayOpen(const QObject *button, const QObject *menu, quint32 now);
    void closed(const QObject *button, const QObject *menu, quint32 now);

private:
    const QObject *m_button = nullptr;
    const QObject *m_menu = nullptr;
    quint32 m_closedAt = 0;
};

} // namespace inkvale
