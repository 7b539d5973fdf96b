#pragma once

#include "convert/outputoptions.h"

#include <functional>
#include <QObject>

namespace inkvale {

class AppSettings;
class ImageIntake;
struct MainWindowUi;

// The main window's choices for photos beside the three of old: the quality beside the
// format, "Include sub-folders", "Keep Photo Location" and the file-name pattern. Loaded from
// settings.ini and stored the moment they change; the intake follows "Include sub-folders".
class PhotoChoices : public QObject
{
    Q_OBJECT
public:
    PhotoChoices(const MainWindowUi &ui, ImageIntake &intake, QObject *parent = nullptr);

    // Shows the stored choices and stores every change from now on in `settings`.
    void load(AppSettings &settings);

    // The quality shown, whether the location is kept, the name pattern (the default while
    // the field is empty), read from the controls of `ui`.
    static OutputOptions outputOptionsOf(const MainWindowUi &ui);

signals:
    // A change could not be saved; the message is for the general error handler.
    void storeFailed(const QString &message);

private:
    void store(const std::function<void(AppSettings &)> &write);
    // The quality applies to the lossy formats only.
    void formatShown();

    const MainWindowUi &m_ui;
    ImageIntake &m_intake;
    AppSettings *m_settings = nullptr;
};

} // namespace inkvale
