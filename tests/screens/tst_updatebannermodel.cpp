// What the update strip shows for each state of the store.
#include "screens/updatebannermodel.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

class TestUpdateBannerModel : public QObject
{
    Q_OBJECT

private slots:
    void offer_data()
    {
        QTest::addColumn<QVariant>("versionName");
        QTest::addColumn<QVariant>("notes");
        QTest::addColumn<QString>("badge");
        QTest::addColumn<bool>("hasNotes");
        QTest::addColumn<QString>("notesLine");
        QTest::newRow("bare") << QVariant() << QVariant() << QString() << false << QString();
        QTest::newRow("several lines") << QVariant(u"2.0"_s) << QVariant(u"Новое\nИсправления\n"_s) << u"v2.0"_s
                                       << true << u"Новое"_s;
        QTest::newRow("one line") << QVariant() << QVariant(u"Только это"_s) << QString() << true << u"Только это"_s;
        QTest::newRow("newline first") << QVariant() << QVariant(u"\nвторая"_s) << QString() << true << QString();
    }

    void offer()
    {
        QFETCH(QVariant, versionName);
        QFETCH(QVariant, notes);
        QFETCH(QString, badge);
        QFETCH(bool, hasNotes);
        QFETCH(QString, notesLine);
        OtaUpdateStore store;
        UpdateBannerModel model;
        model.setStore(&store);
        QSignalSpy changed(&model, &UpdateBannerModel::changed);
        OtaManifest manifest {5, std::nullopt, u"https://example.org/n"_s, std::nullopt};
        if (versionName.isValid())
            manifest.versionName = versionName.toString();
        if (notes.isValid())
            manifest.releaseNotes = notes.toString();
        store.setAvailableManifest(manifest);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(model.versionBadge(), badge);
        QCOMPARE(model.hasNotesLine(), hasNotes);
        QCOMPARE(model.notesLine(), notesLine);
        QVERIFY(model.showsDownloadButton());
        QVERIFY(!model.showsProgressBar());
        QVERIFY(!model.showsSpinner());
    }
};

QTEST_GUILESS_MAIN(TestUpdateBannerModel)
#include "tst_updatebannermodel.moc"
