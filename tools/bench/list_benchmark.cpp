// How long list edits take in a long list, with the list shown: Delete Selected of every
// other row (2500 of 5000), and 100 Down moves in a list of 5000.
//
// Usage: QT_QPA_PLATFORM=offscreen build/bin/list-benchmark
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/listeditor.h"
#include "support/testenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace inkvale;

namespace {

struct List
{
    ImageListModel model;
    ImageListView view;
    ListEditor editor{model, view};

    explicit List(int rows)
    {
        view.setModel(&model);
        for (int i = 0; i < rows; ++i) {
            model.appendRow({QStringLiteral("/pictures/holiday-%1.jpg").arg(i), 640, 480});
        }
        view.resize(400, 300);
        view.show();
        QApplication::processEvents();
    }

    void select(int row)
    {
        view.selectionModel()->select(model.index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

// The edit plus the repaint that follows it.
template<typename Edit>
qint64 timed(Edit edit)
{
    QElapsedTimer clock;
    clock.start();
    edit();
    QApplication::processEvents();
    return clock.elapsed();
}

} // namespace

int main(int argc, char *argv[])
{
    test::TestEnvironment environment;
    QApplication app(argc, argv);
    QTextStream out(stdout);

    List pruned(5000);
    for (int row = 0; row < 5000; row += 2) {
        pruned.select(row);
    }
    const qint64 deleteMs = timed([&] { pruned.editor.deleteSelected(); });
    out << "Delete Selected, 2500 of 5000 rows (every other one): " << deleteMs << " ms, "
        << pruned.model.rowCount() << " rows left\n";

    List moved(5000);
    moved.select(0);
    const qint64 downMs = timed([&] {
        for (int i = 0; i < 100; ++i) {
            moved.editor.down();
            QApplication::processEvents();
        }
    });
    out << "100 Down moves in 5000 rows:                          " << downMs
        << " ms, the row now at " << moved.view.currentRow() << "\n";

    List runs(5000);
    runs.select(4999);
    const qint64 topMs = timed([&] { runs.editor.top(); });
    out << "Top of the last of 5000 rows:                         " << topMs << " ms\n";
    return 0;
}
