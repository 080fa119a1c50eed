// The Ethernet windows over the real widgets and a korvex-gatewaysim --net on
// loopback: the search window finds the simulator and a click picks it; the
// Ethernet configuration window fills the target; the download and upload
// windows write and read the simulator's block. Broadcasts go to the address in
// KORVEX_SEARCH_BROADCAST, which must be in 127.0.0.0/8 or the test refuses.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "app/ethernet_config_dialog.h"
#include "app/ethernet_download_dialog.h"
#include "app/ethernet_upload_dialog.h"
#include "app/mapping_commands.h"
#include "app/search_dialog.h"
#include "model/operator.h"
#include "model/texts.h"

using namespace korvex;
using namespace korvex::app;

class EthernetDialogsTest : public QObject {
    Q_OBJECT

    QProcess simulator_;
    QString address_;

private slots:
    void initTestCase() {
        const QString broadcast = qEnvironmentVariable("KORVEX_SEARCH_BROADCAST");
        if (!broadcast.startsWith("127."))
            QFAIL("refusing to run: set KORVEX_SEARCH_BROADCAST=127.255.255.255 so nothing leaves the machine");
        auto* random = QRandomGenerator::global();
        address_ = QString("127.%1.%2.31").arg(random->bounded(20, 220)).arg(random->bounded(1, 250));
        simulator_.start(KORVEX_GATEWAYSIM, {"--net", address_, "--mac", "02-00-00-00-00-31", "--firmware", "2.5",
                                             "--quit-after-idle", "60"});
        QVERIFY(simulator_.waitForStarted(5000));
        QVERIFY(simulator_.waitForReadyRead(5000));
        QCOMPARE(QString::fromUtf8(simulator_.readLine()).trimmed(), address_);
    }

    void cleanupTestCase() {
        simulator_.terminate();
        simulator_.waitForFinished(5000);
    }

    void searchWindowFindsTheSimulatorAndAClickPicksIt() {
        net::EthernetTarget target;
        SearchDialog dialog(nullptr, target);
        QVERIFY(!dialog.logInButton()->isEnabled());
        QVERIFY(!dialog.refurbishButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.search().timerRunning(), 10000);
        QCOMPARE(dialog.statusLabel()->text(), QString(texts::SearchFinished.text.data()));
        QCOMPARE(dialog.progressBar()->value(), 100);
        QVERIFY(dialog.refurbishButton()->isEnabled());
        // Other gateways on the machine may answer as well: find ours.
        int row = -1;
        for (int r = 0; r < dialog.table()->rowCount(); ++r)
            if (dialog.table()->item(r, 2)->text() == address_) row = r;
        QVERIFY2(row >= 0, "the simulator is listed");
        QCOMPARE(dialog.table()->item(row, 1)->text(), QString("Fennick"));
        QCOMPARE(dialog.table()->item(row, 3)->text(), QString("02-00-00-00-00-31"));
        QCOMPARE(dialog.table()->item(row, 4)->text(), QString("2.5"));
        QCOMPARE(dialog.table()->item(row, 5)->text(), QString("Allows remote configuration"));
        QVERIFY(!dialog.logInButton()->isEnabled());
        dialog.clickRow(row);
        QVERIFY(dialog.logInButton()->isEnabled());
        QCOMPARE(QString::fromStdString(target.targetAddress), address_);
    }

    void configurationWindowThenFixedAddressSearch() {
        net::EthernetTarget target;
        {
            EthernetConfigDialog config(nullptr, target);
            QVERIFY(config.useSearchBox()->isChecked());
            QVERIFY(!config.addressField()->isEnabled());
            config.useSearchBox()->setChecked(false);
            QVERIFY(config.addressField()->isEnabled());
            config.addressField()->setText(address_);
            config.accept();
        }
        QVERIFY(target.useFixedAddress);
        QCOMPARE(QString::fromStdString(target.targetAddress), address_);
        SearchDialog dialog(nullptr, target);
        QVERIFY(!dialog.search().timerRunning());
        QCOMPARE(dialog.table()->rowCount(), 1);
        QCOMPARE(dialog.table()->item(0, 0)->text(), QString("1"));
        QCOMPARE(dialog.table()->item(0, 2)->text(), address_);
    }

    void downloadThenUploadThroughTheWindows() {
        auto sent = std::make_unique<Project>();
        resetToDefaults(*sent, 4);
        addDefaultNode(*sent);
        sent->subnet(0).commands[0].slaveAddress = "7";
        sent->subnet(0).nodes[0] = {"7", "Node-7"};
        sent->subnet(1).scanRate = "33";
        MappingProgramState mapping;
        ScriptedOperator op({Answer::Cancel});
        {
            EthernetDownloadDialog download(nullptr, *sent, mapping, address_.toStdString(), op);
            download.download();
            QCOMPARE(download.promptLabel()->text(), QString(texts::DownloadSuccessful.text.data()));
            download.reject();
        }
        QCOMPARE(op.shownKeys(), std::vector<std::string>{"RestartQuestion"});

        auto back = std::make_unique<Project>();
        resetToDefaults(*back, 3);
        EthernetUploadDialog upload(nullptr, *back, address_.toStdString(), op);
        upload.upload();
        QVERIFY(upload.uploaded());
        QCOMPARE(upload.promptLabel()->text(), QString(texts::UploadSuccessful.text.data()));
        QCOMPARE(back->deviceKind, 4);
        QCOMPARE(back->subnet(0).nodes[0].name, std::string("Node-7"));
        QCOMPARE(back->subnet(1).scanRate, std::string("33"));
    }
};

QTEST_MAIN(EthernetDialogsTest)
#include "ethernet_dialogs_test.moc"
