#include "about/taboutboxui.h"

#include "app/widgetnames.h"

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

void TAboutBoxUi::setupUi(QDialog *form)
{
    form->setPalette(blackPalette(form->palette()));

    // Below Panel1, uncovered when the panel slides away.
    PanelEgg = named(new QFrame(form), "PanelEgg");
    PanelEgg->setFrameShape(QFrame::NoFrame);
    PanelEgg->resize(324, 220);
    PanelEgg->setAutoFillBackground(true);
    PanelEgg->hide();
    ImageEgg = picture(PanelEgg, "ImageEgg", QRect(2, 3, 320, 214));

    Panel1 = named(new QFrame(form), "Panel1");
    Panel1->setGeometry(48, 42, 350, 291);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setAutoFillBackground(true);

    Image2 = picture(Panel1, "Image2", QRect(3, 4, 344, 105));
    Bevel1 = named(new QFrame(Panel1), "Bevel1");
    Bevel1->setGeometry(9, 122, 34, 34);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Image1 = picture(Panel1, "Image1", QRect(10, 123, 32, 32));

    Label2 = named(new QLabel(Panel1), "Label2");
    Label2->setGeometry(49, 122, 290, 40);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    whiteText(Label2, 16);

    BitBtn1 = button(Panel1, "BitBtn1", QStringLiteral("OK"), 49);
    BitBtn2 = button(Panel1, "BitBtn2", QStringLiteral("Info"), 177);
    // The arrow sits at the right of the caption.
    BitBtn2->setLayoutDirection(Qt::RightToLeft);
    BitBtn2->setIconSize(QSize(12, 12));
    BitBtn1->setDefault(true);
    BitBtn1->setFocus();

    Label5 = named(new QLabel(Panel1), "Label5");
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setCursor(Qt::PointingHandCursor);
    QFont linkFont = Label5->font();
    linkFont.setUnderline(true);
    Label5->setFont(linkFont);
    QPalette linkPalette = Label5->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0x00, 0xff, 0x00));
    Label5->setPalette(linkPalette);
    Label5->setAutoFillBackground(true);
    const int linkHeight = Label5->sizeHint().height();
    Label5->setGeometry(4, 291 - 1 - 3 - linkHeight, 342, linkHeight);

    PopupMenu1 = named(new QMenu(BitBtn2), "PopupMenu1");
    Credits1 = PopupMenu1->addAction(QStringLiteral("Acknowledgements..."));
    Credits1->setObjectName(QStringLiteral("Credits1"));
    Howtouninstall1 = PopupMenu1->addAction(QStringLiteral("How to uninstall..."));
    Howtouninstall1->setObjectName(QStringLiteral("Howtouninstall1"));
    LicensePrivacyPolicy1 = PopupMenu1->addAction(QStringLiteral("License..."));
    LicensePrivacyPolicy1->setObjectName(QStringLiteral("LicensePrivacyPolicy1"));

    tmTimer = named(new QTimer(form), "tmTimer");
    tmTimer->setInterval(50);
    TimerEgg = named(new QTimer(form), "TimerEgg");
    TimerEgg->setInterval(5);
}

} // namespace inkvale
