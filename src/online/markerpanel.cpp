#include "online/markerpanel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace inkvale {
namespace {

// The panel as assistive technology sees it: a check box, checked while selected, that
// its "press" and "toggle" actions press as the left mouse button does.
class MarkerAccessible : public QAccessibleWidget
{
public:
    explicit MarkerAccessible(MarkerPanel *panel)
        : QAccessibleWidget(panel, QAccessible::CheckBox, panel->captionLabel()->text())
    {
        addControllingSignal(QStringLiteral("pressed(Qt::MouseButton)"));
    }

    MarkerPanel *panel() const { return static_cast<MarkerPanel *>(widget()); }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = panel()->isSelected();
        return state;
    }

    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }

    void doAction(const QString &action) override
    {
        if (action == pressAction() || action == toggleAction()) {
            emit panel()->pressed(Qt::LeftButton);
        }
    }
};

QAccessibleInterface *markerAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("inkvale::MarkerPanel") && object->isWidgetType()) {
        return new MarkerAccessible(static_cast<MarkerPanel *>(object));
    }
    return nullptr;
}

} // namespace

MarkerPanel::MarkerPanel(const QString &caption, QLabel *picture, QWidget *parent)
    : QFrame(parent)
    , m_caption(new QLabel(caption, this))
{
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(markerAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
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
    const bool changed = selected != m_selected;
    m_selected = selected;
    takeColours();
    setFrameStyle(QFrame::Panel | (selected ? QFrame::Sunken : QFrame::Raised));
    if (changed) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent event(this, checked);
        QAccessible::updateAccessibility(&event);
    }
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

void MarkerPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        event->accept();
        emit pressed(Qt::LeftButton);
        return;
    }
    QFrame::keyPressEvent(event);
}

void MarkerPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = contentsRect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace inkvale
