#include "about/aboutwindowui.h"

#include "windowkit/widgetnames.h"

#include <QAction>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace inkvale {
namespace {

// White text of `pixels` height on the window's black.
void whiteText(QWidget *widget, int pixels)
{
    QFont font = widget->font();
    font.setPixelSize(pixels);
    widget->setFont(font);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    widget->setPalette(palette);
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, int left)
{
    auto *button = named(new QPushButton(text, parent), name);
    button->setGeometry(left, 226, 122, 33);
    whiteText(button, 16);
    return button;
}

QLabel *picture(QWidget *parent, const char *name, const QRect &place)
{
    auto *label = named(new QLabel(parent), name);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// Black surfaces with grey bevels and dark buttons, on any style.
QPalette blackPalette(QPalette palette)
{
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Button, QColor(0x26, 0x26, 0x26));
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Light, QColor(0x8a, 0x8a, 0x8a));
    palette.setColor(QPalette::Midlight, QColor(0x5a, 0x5a, 0x5a));
    palette.setColor(QPalette::Mid, QColor(0x40, 0x40, 0x40));
    palette.setColor(QPalette::Dark, QColor(0x30, 0x30, 0x30));
    palette.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    return palette;
}

} // namespace

void AboutWindowUi::setupUi(QDialog *form)
{
    form->setPalette(blackPalette(form->palette()));

    // Below infoPanel, uncovered when the panel slides away.
    hiddenPanel = named(new QFrame(form), "hiddenPanel");
    hiddenPanel->setFrameShape(QFrame::NoFrame);
    hiddenPanel->resize(324, 220);
    hiddenPanel->setAutoFillBackground(true);
    hiddenPanel->hide();
    hiddenPicture = picture(hiddenPanel, "hiddenPicture", QRect(2, 3, 320, 214));

    infoPanel = named(new QFrame(form), "infoPanel");
    infoPanel->setGeometry(48, 42, 350, 291);
    infoPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    infoPanel->setLineWidth(1);
    infoPanel->setAutoFillBackground(true);

    logoImage = picture(infoPanel, "logoImage", QRect(3, 4, 344, 105));
    iconFrame = named(new QFrame(infoPanel), "iconFrame");
    iconFrame->setGeometry(9, 122, 34, 34);
    iconFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    iconImage = picture(infoPanel, "iconImage", QRect(10, 123, 32, 32));

    productLabel = named(new QLabel(infoPanel), "productLabel");
    productLabel->setGeometry(49, 122, 290, 40);
    productLabel->setWordWrap(true);
    productLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    whiteText(productLabel, 16);

    okButton = button(infoPanel, "okButton", QStringLiteral("OK"), 49);
    infoButton = button(infoPanel, "infoButton", QStringLiteral("&Info"), 177);
    // The arrow sits at the right of the caption.
    infoButton->setLayoutDirection(Qt::RightToLeft);
    infoButton->setIconSize(QSize(12, 12));
    okButton->setDefault(true);
    okButton->setFocus();

    webLink = named(new QLabel(infoPanel), "webLink");
    webLink->setAlignment(Qt::AlignCenter);
    webLink->setCursor(Qt::PointingHandCursor);
    // Tab reaches the address too, where Return or Space opens it.
    webLink->setFocusPolicy(Qt::TabFocus);
    QFont linkFont = webLink->font();
    linkFont.setUnderline(true);
    webLink->setFont(linkFont);
    QPalette linkPalette = webLink->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0x00, 0xff, 0x00));
    webLink->setPalette(linkPalette);
    webLink->setAutoFillBackground(true);
    const int linkHeight = webLink->sizeHint().height();
    webLink->setGeometry(4, 291 - 1 - 3 - linkHeight, 342, linkHeight);

    infoMenu = named(new QMenu(infoButton), "infoMenu");
    acknowledgementsAction = infoMenu->addAction(QStringLiteral("Acknowledgements..."));
    acknowledgementsAction->setObjectName(QStringLiteral("acknowledgementsAction"));
    uninstallAction = infoMenu->addAction(QStringLiteral("How to uninstall..."));
    uninstallAction->setObjectName(QStringLiteral("uninstallAction"));
    licenseAction = infoMenu->addAction(QStringLiteral("License..."));
    licenseAction->setObjectName(QStringLiteral("licenseAction"));

    rainTimer = named(new QTimer(form), "rainTimer");
    rainTimer->setInterval(50);
    slideTimer = named(new QTimer(form), "slideTimer");
    slideTimer->setInterval(5);
}

} // namespace inkvale
