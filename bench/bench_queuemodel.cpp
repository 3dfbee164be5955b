#include "tracks/tracklistmodel.h"

#include "testenv.h"
#include "trackfixtures.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

// Reading the queue's titles the way a list view does: one data() call per
// row through the model, at the size of a long queue.
class BenchQueueModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void readSixThousandTitles()
    {
        QStringList ids;
        for (int i = 0; i < 6000; ++i)
            ids.append(u"t%1"_s.arg(i));
        TrackListModel model(TrackStores {});
        model.setTracks(makeTracks(ids));
        qsizetype characters = 0;
        QBENCHMARK {
            for (int row = 0; row < model.count(); ++row)
                characters += model.data(model.index(row), TrackListModel::TitleRole).toString().size();
        }
        QVERIFY(characters > 0);
    }
};

QTEST_MAIN(BenchQueueModel)
#include "bench_queuemodel.moc"
