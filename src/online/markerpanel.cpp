#include "online/markerpanel.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>

namespace inkvale {

MarkerPanel::MarkerPanel(const QString &caption, QLabel *picture, QWidget *parent)
    : QFrame(parent)
    , m_caption(new QLabel(caption, this))
{
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(40);
    QFont font = m_caption->font();
    font.setPixelSize(16);
    m_caption->setFont(font);
    m_caption->setAlignment(Qt::AlignCenter);
    // The picture and the caption share the panel: the caption centred on the whole of it.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(3, 2, 3, 2);
    picture->setParent(this);
    picture->setFixedSize(32, 32);
    layout->addWidget(m_caption, 0, 0);
    layout->addWidget(picture, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    setSelected(false);
}

void MarkerPanel::setSelected(bool selected)
{
    m_selected = selected;
    takeColours();
    setFrameStyle(QFrame::Panel | (selected ? QFrame::Sunken : QFrame::Raised));
}

void MarkerPanel::takeColours()
{
    // Setting the palette announces a palette change of its own.
    if (m_takingColours)
        return;
    m_takingColours = true;
    const bool selected = m_selected;
    const QPalette standard = QApplication::palette();
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window,
                     standard.color(selected ? QPalette::Highlight : QPalette::Button));
    palette.setColor(QPalette::WindowText,
                     standard.color(selected ? QPalette::HighlightedText : QPalette::WindowText));
    setPalette(palette);
    m_takingColours = false;
}

void MarkerPanel::changeEvent(QEvent *event)
{
    // The desktop switched themes: the state keeps its meaning in the new colours.
    if (event->type() == QEvent::PaletteChange)
        takeColours();
    QFrame::changeEvent(event);
}

void MarkerPanel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed(event->button());
}

} // namespace inkvale
