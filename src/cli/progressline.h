#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTextStream>
#include <QTimer>

namespace inkvale {

// A batch's progress as one line redrawn in place on a terminal: pictures done of the total,
// the time elapsed and an estimate of the time left. It is for people watching; the caller
// makes one only when the stream goes to a terminal.
class ProgressLine : public QObject
{
    Q_OBJECT
public:
    explicit ProgressLine(QTextStream &stream, QObject *parent = nullptr);

    // Starts the clock; the line is redrawn every second so that the elapsed time moves on
    // while one long picture is in work.
    void start();
    void update(int done, int total);
    // Takes the line off the terminal, so that other text starts on a clean line; the next
    // update() or redraw() shows it again.
    void clear();
    void redraw();

    // "3/10 pictures, 0:12 elapsed, about 0:28 left"; without an estimate until the first
    // picture is done.
    static QString text(int done, int total, qint64 elapsedMs);

private:
    QTextStream &m_stream;
    QElapsedTimer m_clock;
    QTimer m_ticker;
    int m_done = 0;
    int m_total = 0;
    qsizetype m_shownLength = 0;
};

} // namespace inkvale
