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
class TAboutBoxUi
{
public:
    // The window's client size at 96 dpi.
    static constexpr int clientWidth = 446;
    static constexpr int clientHeight = 374;

    void setupUi(QDialog *form);

    QFrame *PanelEgg = nullptr;
    QLabel *ImageEgg = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Image2 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *BitBtn1 = nullptr; // "OK"
    QPushButton *BitBtn2 = nullptr; // "Info"
    QLabel *Label5 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *Credits1 = nullptr;
    QAction *Howtouninstall1 = nullptr;
    QAction *LicensePrivacyPolicy1 = nullptr;
    QTimer *tmTimer = nullptr;
    QTimer *TimerEgg = nullptr;
};

} // namespace inkvale
