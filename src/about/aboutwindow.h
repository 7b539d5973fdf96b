#pragma once

#include "about/aboutwindowui.h"
#include "about/dropdownguard.h"
#include "about/matrixrain.h"
#include "about/rainsurface.h"

#include <functional>
#include <QDialog>

namespace inkvale {

class DesktopActions;
class UserDialogs;

// The about window: the product and its version on a content panel, the maker's links, the
// licence, a rain of characters around the panel and a picture hidden below it.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    // What the window takes from the world; tests pass their own.
    struct Environment
    {
        // The folder of the program's executable, where "license.txt" lies.
        QString programFolder;
        UserDialogs *dialogs = nullptr;
        DesktopActions *desktop = nullptr;
        // The maker's web host of the links.
        QString webHost;
        // Seeds the rain's random source.
        quint32 rainSeed = 0;
        // A tick count in milliseconds (it may wrap).
        std::function<quint32()> tickCount;
    };

    // The environment of the running program: the real host, a random seed and the clock.
    static Environment environment(const QString &programFolder, UserDialogs &dialogs,
                                   DesktopActions &desktop);

    explicit AboutWindow(const Environment &environment, QWidget *parent = nullptr);

    const AboutWindowUi &ui() const { return m_ui; }
    const MatrixRain &rain() const { return m_rain; }
    const RainSurface &surface() const { return m_surface; }

    // Handlers, named after their controls.
    void showInfoMenu();
    void openAcknowledgements();
    void openUninstallPage();
    void openLicense();
    void openWebSite();
    void showHiddenPicture();
    void hideHiddenPicture();
    void slidePanelAway();
    void advanceRain();
    void loadPicturesForScreen();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void initialise();
    void startMatrix();
    void initMatrix();
    void openPage(const QString &scheme, const QString &path);

    Environment m_environment;
    AboutWindowUi m_ui;
    MatrixRain m_rain;
    RainSurface m_surface;
    DropDownGuard m_dropDownGuard;
    bool m_dragging = false;
    QPoint m_dragAt;
};

} // namespace inkvale
