#pragma once

#include <QFrame>

class QLabel;

namespace inkvale {

// A clickable panel with a caption and a picture at its left edge that is either selected
// (highlight colours, lowered edge) or not (button colours, raised edge). A press on the
// picture counts as a press on the panel. It takes the focus, where Space presses it, and a
// screen reader knows it as a toggle named by its caption.
class MarkerPanel : public QFrame
{
    Q_OBJECT
public:
    MarkerPanel(const QString &caption, QLabel *picture, QWidget *parent = nullptr);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    QLabel *captionLabel() const { return m_caption; }

signals:
    void pressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void takeColours();

    QLabel *m_caption;
    bool m_selected = false;
    bool m_takingColours = false;
};

} // namespace inkvale
