#include "convert/batchscheduler.h"
#include "support/testenvironment.h"

#include <QTest>

using namespace inkvale;

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

// Admits pictures of `pixels` one after the other until the scheduler says wait; how many.
int admittedInARow(BatchScheduler &scheduler, qint64 pixels, const QString &effect)
{
    int admitted = 0;
    while (const std::optional<BatchScheduler::Start> start = scheduler.admit(pixels, effect)) {
        scheduler.started(*start);
        if (++admitted > 64) {
            break;
        }
    }
    return admitted;
}

} // namespace

// Which picture of a batch starts when, without a single process.
class BatchSchedulerTest : public QObject
{
    Q_OBJECT

private slots:
    void picturesAtOnce_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<int>("cores");
        QTest::addColumn<qint64>("availableMiB");
        QTest::addColumn<int>("expected");
        QTest::newRow("fixed jobs") << 3 << 8 << 0LL << 3;
        QTest::newRow("one job") << 1 << 8 << 16384LL << 1;
        QTest::newRow("cores and memory decide") << 0 << 4 << 16384LL << 4;
        QTest::newRow("memory unknown: one at a time") << 0 << 8 << 0LL << 1;
        // 12 MP with Cartoon takes about 0.95 GB; three quarters of 4 GB hold three.
        QTest::newRow("memory decides") << 0 << 8 << 4096LL << 3;
    }

    void picturesAtOnce()
    {
        QFETCH(int, jobs);
        QFETCH(int, cores);
        QFETCH(qint64, availableMiB);
        QFETCH(int, expected);
        BatchScheduler scheduler(jobs, cores, static_cast<std::uint64_t>(availableMiB) * kMiB);
        QCOMPARE(admittedInARow(scheduler, 4000 * 3000, QStringLiteral("Cartoon")), expected);
        QCOMPARE(scheduler.inWork(), expected);
    }

    void anEndMakesRoomForTheNext()
    {
        BatchScheduler scheduler(2, 8, 0);
        const auto first = scheduler.admit(100, QStringLiteral("Cutout"));
        QVERIFY(first.has_value());
        scheduler.started(*first);
        const auto second = scheduler.admit(100, QStringLiteral("Cutout"));
        QVERIFY(second.has_value());
        scheduler.started(*second);
        QVERIFY(!scheduler.admit(100, QStringLiteral("Cutout")).has_value());
        scheduler.ended(*first);
        QVERIFY(scheduler.admit(100, QStringLiteral("Cutout")).has_value());
        // Two side by side share the eight cores.
        QCOMPARE(second->toolThreads, 4);
    }

    // A large picture among small ones keeps the small ones back until it ends.
    void aLargePictureKeepsSmallOnesBack()
    {
        BatchScheduler scheduler(0, 8, 2048 * kMiB);
        const auto large = scheduler.admit(4000 * 3000, QStringLiteral("Cartoon"));
        QVERIFY(large.has_value());
        scheduler.started(*large);
        QVERIFY(!scheduler.admit(4000 * 3000, QStringLiteral("Cartoon")).has_value());
        scheduler.ended(*large);
        QCOMPARE(admittedInARow(scheduler, 640 * 480, QStringLiteral("Cartoon")), 8);
    }
};

INKVALE_TEST_MAIN(BatchSchedulerTest)
#include "batchscheduler_test.moc"
