#pragma once

class QAction;
class QDialog;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace inkvale {

// The about window's controls at their places, with their colours and texts.
class AboutWindowUi
{
public:
    // The window's client size at 96 dpi.
    static constexpr int clientWidth = 446;
    static constexpr int clientHeight = 374;

    void setupUi(QDialog *form);

    QFrame *hiddenPanel = nullptr;
    QLabel *hiddenPicture = nullptr;
    QFrame *infoPanel = nullptr;
    QLabel *logoImage = nullptr;
    QFrame *iconFrame = nullptr;
    QLabel *iconImage = nullptr;
    QLabel *productLabel = nullptr;
    QPushButton *okButton = nullptr;   // "OK"
    QPushButton *infoButton = nullptr; // "Info"
    QLabel *webLink = nullptr;
    QMenu *infoMenu = nullptr;
    QAction *acknowledgementsAction = nullptr;
    QAction *uninstallAction = nullptr;
    QAction *licenseAction = nullptr;
    QTimer *rainTimer = nullptr;
    QTimer *slideTimer = nullptr;
};

} // namespace inkvale
