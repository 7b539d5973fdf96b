#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

class QPainter;

namespace inkvale {

// The preview pane: a picture centred in the pane and scaled, enlarged or reduced, to fit
// with its aspect ratio kept, and a caption in its top left corner that says what is shown.
class PreviewPicture : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPicture(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    // Also the pane's accessible description.
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void paintImage(QPainter &painter);

    QImage m_image;
    QString m_caption;
    // Smooth scaling is costly for a photograph: done once per size, not per paint.
    QPixmap m_scaled;
};

} // namespace inkvale
