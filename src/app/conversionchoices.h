#pragma once

#include "convert/conversionoptions.h"

#include <functional>
#include <QObject>

class QAction;
class QMenu;

namespace inkvale {

class AppSettings;

// The Settings menu's choices that shape each conversion: "Scale Effects to Picture Size"
// (fit, checked by default, or exact pixels) and the "Largest Side" of the output. Each
// choice is stored at once in settings.ini.
class ConversionChoices : public QObject
{
    Q_OBJECT
public:
    // Adds the entries to `menu`.
    explicit ConversionChoices(QMenu &menu, QObject *parent = nullptr);

    // Takes the stored choices and stores every change from now on; a failed save is handed to
    // `showError`.
    void load(AppSettings &settings, std::function<void(const QString &)> showError);

    ConversionOptions options() const;
    QAction &scaleAction() const { return *m_scale; }
    // The entry that limits the output's largest side to `pixels` (0: none), added when the
    // menu has none for it.
    QAction &largestSideAction(int pixels);

signals:
    void changed();

private:
    // Writes one choice with `write`, then tells of the change.
    void store(const std::function<void(AppSettings &)> &write);

    QMenu *m_largestSide = nullptr;
    QAction *m_scale = nullptr;
    AppSettings *m_settings = nullptr;
    std::function<void(const QString &)> m_showError;
};

} // namespace inkvale
