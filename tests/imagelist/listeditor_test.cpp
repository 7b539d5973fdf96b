#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/listeditor.h"
#include "support/testenvironment.h"

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QSignalSpy>

using namespace inkvale;

Q_DECLARE_METATYPE(QList<int>)

namespace {

// A list of one-letter rows in a view, with the editor working on both.
struct Fixture
{
    ImageListModel model;
    QAbstractItemModelTester tester{&model};
    ImageListView view;
    ListEditor editor{model, view};

    Fixture(const QString &letters, const QList<int> &selected)
    {
        view.setModel(&model);
        for (int i = 0; i < letters.size(); ++i) {
            // The size travels with the path: a move takes the whole row.
            const int width = letters.at(i).unicode() - 'A' + 1;
            model.appendRow({letters.mid(i, 1), width, width * 10});
        }
        for (int row : selected) {
            view.selectionModel()->select(model.index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    QString order() const
    {
        QString result;
        for (int i = 0; i < model.rowCount(); ++i) {
            result += model.path(i);
        }
        return result;
    }

    QList<int> selection() const
    {
        QList<int> rows;
        for (const QModelIndex &index : view.selectionModel()->selectedRows()) {
            rows.append(index.row());
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    bool sizesFollowRows() const
    {
        for (int i = 0; i < model.rowCount(); ++i) {
            const ImageRow &row = model.row(i);
            if (row.width != row.path.at(0).unicode() - 'A' + 1 || row.height != row.width * 10) {
                return false;
            }
        }
        return true;
    }
};

} // namespace

class ListEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void editing_data();
    void editing();
    void movedRowsAreScrolledIntoView();
    void deletingReportsTheNewCount();
};

void ListEditorTest::editing_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("target"); // the drop's row
    QTest::addColumn<QString>("order");
    QTest::addColumn<QList<int>>("selectedAfter");

    using L = QList<int>;
    QTest::newRow("up") << "ABC" << L{1} << "up" << 0 << "BAC" << L{0};
    QTest::newRow("down back") << "BAC" << L{0} << "down" << 0 << "ABC" << L{1};
    QTest::newRow("up on the first") << "ABC" << L{0} << "up" << 0 << "ABC" << L{0};
    QTest::newRow("down on the last") << "ABC" << L{2} << "down" << 0 << "ABC" << L{2};
    QTest::newRow("bottom") << "ABCD" << L{1} << "bottom" << 0 << "ACDB" << L{3};
    QTest::newRow("top") << "ACDB" << L{3} << "top" << 0 << "BACD" << L{0};
    QTest::newRow("top on the first") << "ABC" << L{0} << "top" << 0 << "ABC" << L{0};
    QTest::newRow("bottom on the last") << "ABC" << L{2} << "bottom" << 0 << "ABC" << L{2};
    // Only the current row moves; the other selection stays where it stands.
    QTest::newRow("down with two selected")
        << "ABCD" << L{1, 3} << "down" << 0 << "ACBD" << L{2, 3};
    QTest::newRow("top with two selected") << "ABCD" << L{1, 3} << "top" << 0 << "BACD" << L{0, 3};
    QTest::newRow("no current row") << "ABC" << L{} << "bottom" << 0 << "ABC" << L{};
    // A dropped row lands before its target and is no longer selected.
    QTest::newRow("drop B onto D") << "ABCD" << L{1} << "drop" << 3 << "ACBD" << L{};
    QTest::newRow("drop D onto B") << "ABCD" << L{3} << "drop" << 1 << "ADBC" << L{};
    QTest::newRow("drop onto itself") << "ABCD" << L{2} << "drop" << 2 << "ABCD" << L{};
    QTest::newRow("drop onto the next") << "ABCD" << L{1} << "drop" << 2 << "ABCD" << L{};
    QTest::newRow("drop below the rows") << "ABCD" << L{1} << "drop" << -1 << "ABCD" << L{1};
    QTest::newRow("drop without selection") << "ABCD" << L{} << "drop" << 0 << "ABCD" << L{};
    QTest::newRow("drop with two selected") << "ABCD" << L{1, 3} << "drop" << 0 << "BACD" << L{3};
    QTest::newRow("delete two of five") << "ABCDE" << L{1, 3} << "delete" << 0 << "ACE" << L{};
    QTest::newRow("delete a run and the ends")
        << "ABCDEFG" << L{0, 2, 3, 4, 6} << "delete" << 0 << "BF" << L{};
    QTest::newRow("delete without selection") << "ABC" << L{} << "delete" << 0 << "ABC" << L{};
    QTest::newRow("delete all") << "ABCD" << L{1} << "delete all" << 0 << "" << L{};
}

void ListEditorTest::editing()
{
    QFETCH(QString, rows);
    QFETCH(QList<int>, selected);
    QFETCH(QString, command);
    QFETCH(int, target);
    Fixture list(rows, selected);

    if (command == QLatin1String("up")) {
        list.editor.up();
    } else if (command == QLatin1String("down")) {
        list.editor.down();
    } else if (command == QLatin1String("top")) {
        list.editor.top();
    } else if (command == QLatin1String("bottom")) {
        list.editor.bottom();
    } else if (command == QLatin1String("drop")) {
        list.editor.dropOn(target);
    } else if (command == QLatin1String("delete")) {
        list.editor.deleteSelected();
    } else {
        list.editor.deleteAll();
    }

    QTEST(list.order(), "order");
    QTEST(list.selection(), "selectedAfter");
    QVERIFY(list.sizesFollowRows());
}

void ListEditorTest::movedRowsAreScrolledIntoView()
{
    QString letters;
    for (int i = 0; i < 26; ++i) {
        letters += QChar(u'A' + i);
    }
    Fixture list(letters, {1});
    list.view.resize(200, 120);
    list.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list.view));
    QCOMPARE(list.view.verticalScrollBar()->value(), 0);

    const auto visible = [&](int row) {
        return list.view.viewport()->rect().intersects(
            list.view.visualRect(list.model.index(row, 0)));
    };
    list.editor.bottom();
    QVERIFY(visible(25));
    list.editor.top();
    QVERIFY(visible(0));
}

void ListEditorTest::deletingReportsTheNewCount()
{
    Fixture list(QStringLiteral("ABC"), {0});
    QSignalSpy deleted(&list.editor, &ListEditor::rowsDeleted);
    list.editor.deleteSelected();
    list.editor.deleteAll();
    QCOMPARE(deleted.count(), 2);
    // Moves leave the count alone.
    list.editor.top();
    QCOMPARE(deleted.count(), 2);
}

INKVALE_GUI_TEST_MAIN(ListEditorTest)
#include "listeditor_test.moc"
