#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

class QPainter;

namespace inkvale {

// The preview pane: a picture centred in the pane and scaled, enlarged or reduced, to fit
// with its aspect ratio kept, and a caption in its top left corner that says what is shown.
// Its 100 % view shows the picture's pixels one to one with the screen's, around a centre
// that dragging or the arrow keys move, with a rendered region over it; either view can show
// the original picture instead, in the same place and scale.
class PreviewPicture : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPicture(QWidget *parent = nullptr);

    // The rendered picture the fit view shows.
    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    // The picture as the conversion gets it; null until known.
    void setOriginal(const QImage &original);
    const QImage &original() const { return m_original; }
    // Empties the pane: no picture, no original, no region.
    void clear();

    void setShowingOriginal(bool showing);
    bool showingOriginal() const { return m_showingOriginal; }
    void setActualSize(bool actual);
    bool actualSize() const { return m_actualSize; }
    // The original's point at the middle of the 100 % view; kept inside the picture.
    void setCentre(const QPoint &centre);
    QPoint centre() const { return m_centre; }
    // The part of the original the 100 % view shows: the pane's size in device pixels or
    // less; empty without an original.
    QRect shownRegion() const;
    // `image` is `region` of the original rendered; drawn over the original in the 100 % view.
    void setRegion(const QRect &region, const QImage &image);
    QRect region() const { return m_region; }
    const QImage &regionImage() const { return m_regionImage; }

    // Also the pane's accessible description.
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }
    QSize sizeHint() const override;

signals:
    // A click, not a drag, on the picture, at `where` of it (0 to 1 across and down).
    void clicked(const QPointF &where);
    // The 100 % view shows another part of the picture, or more or less of it.
    void viewMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The picture the fit view shows.
    const QImage &fitImage() const;
    // Where the fit view draws it, in the pane's coordinates.
    QRectF fitRect() const;
    bool showsActualSize() const { return m_actualSize && !m_original.isNull(); }
    // Where the 100 % view draws shownRegion().
    QRectF actualRect() const;
    void paintFitted(QPainter &painter);
    void paintActualSize(QPainter &painter);
    void moveView(const QPoint &centre);

    QImage m_image;
    QImage m_original;
    QString m_caption;
    // Smooth scaling is costly for a photograph: done once per size, not per paint.
    QPixmap m_scaled;
    bool m_showingOriginal = false;
    bool m_actualSize = false;
    QPoint m_centre;
    QRect m_region;
    QImage m_regionImage;
    // A press of the left button: where, the centre then, and whether it became a drag.
    QPoint m_pressedAt;
    QPoint m_pressedCentre;
    bool m_pressed = false;
    bool m_dragging = false;
};

} // namespace inkvale
