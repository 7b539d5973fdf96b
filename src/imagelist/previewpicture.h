#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace inkvale {

// The preview pane: a picture centred in the pane and scaled, enlarged or reduced, to fit
// with its aspect ratio kept.
class PreviewPicture : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPicture(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_image;
    // Smooth scaling is costly for a photograph: done once per size, not per paint.
    QPixmap m_scaled;
};

} // namespace inkvale
