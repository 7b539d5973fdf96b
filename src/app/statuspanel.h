#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace inkvale {

// The one panel of the status bar: a line of text that the file count, the batch and the
// preview overwrite, a progress bar while a batch runs, and a mark that invites a click when
// the last batch left failed images.
class StatusPanel : public QWidget
{
    Q_OBJECT
public:
    explicit StatusPanel(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    // A status that the user can click to see what failed.
    void setFailureText(const QString &text);
    bool showsFailures() const { return m_showsFailures; }
    void showProgress(int done, int total);
    void hideProgress();

signals:
    void failuresClicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showText();

    QLabel *m_mark;
    QLabel *m_label;
    QProgressBar *m_progress;
    QString m_text;
    bool m_showsFailures = false;
};

} // namespace inkvale
