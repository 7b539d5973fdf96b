#include "imagelist/imagelistmodel.h"
#include "support/testenvironment.h"

#include <QAbstractItemModelTester>
#include <QIcon>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace inkvale;

class ImageListModelTest : public QObject
{
    Q_OBJECT

private:
    static QStringList paths(const ImageListModel &model)
    {
        QStringList result;
        for (int i = 0; i < model.rowCount(); ++i) {
            result.append(model.path(i));
        }
        return result;
    }

    static void fill(ImageListModel &model, int rows)
    {
        for (int i = 0; i < rows; ++i) {
            model.appendRow({QString::number(i), i, i});
        }
    }

private slots:
    void initTestCase()
    {
        // Sizes must never pick up the user's digit grouping.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void rowsShowPathAndSizeAsGiven()
    {
        ImageListModel model;
        QAbstractItemModelTester tester(&model);
        const QString path = QStringLiteral("C:\\Photos\\..\\Summer/IMG 0001.JPG");
        model.appendRow({path, 12345, 678});
        model.appendRow({path, 1, 2}); // the same path twice is two rows

        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.index(0, ImageListModel::PathColumn).data().toString(), path);
        QCOMPARE(model.index(0, ImageListModel::WidthColumn).data().toString(),
                 QStringLiteral("12345"));
        QCOMPARE(model.index(0, ImageListModel::HeightColumn).data().toString(),
                 QStringLiteral("678"));
        QCOMPARE(model.row(1).width, 1);
        QCOMPARE(model.path(1), path);
    }

    void headers_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("text");
        QTest::newRow("path") << int(ImageListModel::PathColumn) << "Image Files";
        QTest::newRow("width") << int(ImageListModel::WidthColumn) << "Width";
        QTest::newRow("height") << int(ImageListModel::HeightColumn) << "Height";
    }

    void headers()
    {
        QFETCH(int, section);
        QFETCH(QString, text);
        const ImageListModel model;
        QCOMPARE(model.headerData(section, Qt::Horizontal).toString(), text);
    }

    void rowsCanBeSelectedAndDraggedButNotEdited()
    {
        ImageListModel model;
        fill(model, 1);
        for (int column = 0; column < model.columnCount(); ++column) {
            QCOMPARE(model.flags(model.index(0, column)),
                     Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
        }
    }

    void pathColumnShowsTheFilesIcon()
    {
        QTemporaryDir folder;
        const QString picture = folder.filePath(QStringLiteral("a.png"));
        QVERIFY(test::writePicture(picture, 4, 4));
        ImageListModel model;
        model.appendRow({picture, 4, 4});
        model.appendRow({folder.filePath(QStringLiteral("gone.PNG")), 4, 4});

        for (int row = 0; row < model.rowCount(); ++row) {
            const QVariant icon =
                model.index(row, ImageListModel::PathColumn).data(Qt::DecorationRole);
            QVERIFY(icon.canConvert<QIcon>());
            QVERIFY(!icon.value<QIcon>().isNull());
            QVERIFY(
                !model.index(row, ImageListModel::WidthColumn).data(Qt::DecorationRole).isValid());
        }
    }

    void removeRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("first") << 0 << 1 << true << QStringList{"1", "2", "3"};
        QTest::newRow("middle two") << 1 << 2 << true << QStringList{"0", "3"};
        QTest::newRow("last") << 3 << 1 << true << QStringList{"0", "1", "2"};
        QTest::newRow("all") << 0 << 4 << true << QStringList{};
        QTest::newRow("past the end") << 3 << 2 << false << QStringList{"0", "1", "2", "3"};
        QTest::newRow("negative row") << -1 << 1 << false << QStringList{"0", "1", "2", "3"};
        QTest::newRow("none") << 1 << 0 << false << QStringList{"0", "1", "2", "3"};
    }

    void removeRows()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(bool, removed);
        QFETCH(QStringList, left);
        ImageListModel model;
        QAbstractItemModelTester tester(&model);
        fill(model, 4);
        QSignalSpy removals(&model, &QAbstractItemModel::rowsRemoved);

        QCOMPARE(model.removeRows(row, count), removed);
        QCOMPARE(paths(model), left);
        QCOMPARE(removals.size(), removed ? 1 : 0);
        QVERIFY(!model.removeRows(0, 1, model.index(0, 0))); // rows have no children
    }

    void clearEmptiesTheList()
    {
        ImageListModel model;
        QAbstractItemModelTester tester(&model);
        fill(model, 3);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(reset.size(), 1);
        fill(model, 1);
        QCOMPARE(paths(model), QStringList{"0"});
    }

    void removeRowList_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("removed");
        QTest::addColumn<QString>("left"); // the first rows left, joined by spaces

        QList<int> scattered; // 50 runs: removed in one pass
        for (int row = 0; row < 100; row += 2) {
            scattered.append(row);
        }
        QTest::newRow("runs") << 8 << QList<int>{6, 0, 2, 3, 7, 3} << "1 4 5";
        QTest::newRow("scattered") << 100 << scattered << "1 3 5"; // and so on to 99
        QTest::newRow("nothing") << 3 << QList<int>{} << "0 1 2";
    }

    void removeRowList()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, removed);
        ImageListModel model;
        QAbstractItemModelTester tester(&model);
        fill(model, rows);
        model.removeRowList(removed);
        QTEST(QStringList(paths(model).mid(0, 3)).join(u' '), "left");
        QCOMPARE(model.rowCount(), rows - QSet<int>(removed.begin(), removed.end()).size());
    }
};

INKVALE_GUI_TEST_MAIN(ImageListModelTest)
#include "imagelistmodel_test.moc"
