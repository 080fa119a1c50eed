// The Ethernet windows over the real widgets and a korvex-gatewaysim --net on
// loopback: the search window finds the simulator and a click picks it; the
// Ethernet configuration window fills the target; the download and upload
// windows write and read the simulator's block; the download's read-back and
// the comparison window read it into memory and compare. Broadcasts go to the
// address in KORVEX_SEARCH_BROADCAST, which must be in 127.0.0.0/8 or the test
// refuses.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <optional>

#include "app/difference_list.h"
#include "app/ethernet_compare_dialog.h"
#include "app/ethernet_config_dialog.h"
#include "app/ethernet_download_dialog.h"
#include "app/ethernet_upload_dialog.h"
#include "app/mapping_commands.h"
#include "app/read_back_panel.h"
#include "app/search_dialog.h"
#include "model/operator.h"
#include "model/texts.h"

using namespace korvex;
using namespace korvex::app;

class EthernetDialogsTest : public QObject {
    Q_OBJECT

    QProcess simulator_;
    QString address_;
    QTemporaryDir settingsHome_;

    static std::unique_ptr<Project> newEthernetProject() {
        auto p = std::make_unique<Project>();
        resetToDefaults(*p, 4);
        addDefaultNode(*p);
        return p;
    }

    // The rows of a difference list as Item|Parameter|Project|Gateway.
    static QStringList rowsOf(const QTreeWidget* list) {
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            rows.append(QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join('|'));
        }
        return rows;
    }

    // One press of "Download" with the read-back asked for, waited out.
    static void downloadAndReadBack(EthernetDownloadDialog& download) {
        download.readBackPanel()->checkBox()->setChecked(true);
        QSignalSpy finished(&download, &EthernetDownloadDialog::runFinished);
        download.download();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QVERIFY(!download.readingBack());
    }

private slots:
    void initTestCase() {
        // The remembered "Read back and compare" goes to settings of this run only.
        QVERIFY(settingsHome_.isValid());
        qputenv("XDG_CONFIG_HOME", settingsHome_.path().toLocal8Bit());
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
            download.readBackPanel()->checkBox()->setChecked(false);
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

    // "Read back and compare" after an Ethernet download: a second connection
    // reads the gateway into memory and the window says it holds the project;
    // the box is remembered. Then "Compare with Gateway..." lists a kept field
    // changed in the project, which stays as it was.
    void downloadReadsBackThenCompareListsAChange() {
        auto project = newEthernetProject();
        project->subnet(1).scanRate = "44";
        MappingProgramState mapping;
        ScriptedOperator op({Answer::Cancel});
        {
            EthernetDownloadDialog download(nullptr, *project, mapping, address_.toStdString(), op);
            downloadAndReadBack(download);
            QCOMPARE(download.promptLabel()->text(), QString(texts::DownloadSuccessful.text.data()));
            QVERIFY(download.readBackPanel()->resultShown());
            QCOMPARE(download.readBackPanel()->differences()->summary()->text(),
                     QString(texts::CompareGatewaySame.text.data()));
            QCOMPARE(download.readBackPanel()->differences()->list()->topLevelItemCount(), 0);
            download.reject();
        }
        QCOMPARE(op.shownKeys(), std::vector<std::string>{"RestartQuestion"});
        {
            EthernetDownloadDialog again(nullptr, *project, mapping, address_.toStdString(), op);
            QVERIFY(again.readBackPanel()->checkBox()->isChecked());
            QVERIFY(!again.readBackPanel()->resultShown());
            again.readBackPanel()->checkBox()->setChecked(false);
        }

        project->subnet(0).commands[0].dataCount = "20";
        const Project before = *project;
        EthernetCompareDialog compare(nullptr, *project, nullptr, address_.toStdString(), op);
        std::optional<CompareResult> result;
        connect(&compare, &EthernetCompareDialog::compared, this, [&result](const CompareResult& r) { result = r; });
        QSignalSpy finished(&compare, &EthernetCompareDialog::runFinished);
        compare.upload();
        QVERIFY(!compare.uploadButton()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QVERIFY(result.has_value());
        DifferenceList shown(nullptr, DifferenceList::Against::Gateway);
        shown.showResult(*result);
        QCOMPARE(rowsOf(shown.list()),
                 (QStringList{QString::fromUtf8(" Subnet\u2160/Node-1/Read Holding Registers|Number of Data|20|8"),
                              QString::fromUtf8(" Subnet\u2160/Node-1/Read Holding Registers|Number of Bytes|40|16")}));
        QVERIFY(project->subnets == before.subnets);
        QVERIFY(compare.uploadButton()->isEnabled());
    }

    // A gateway that accepts the write but keeps the block it had: the
    // read-back lists what it does not hold.
    void readBackListsWhatAForgetfulGatewayHolds() {
        const QString address = address_.section('.', 0, 2) + QStringLiteral(".32");
        QProcess forgetful;
        forgetful.start(KORVEX_GATEWAYSIM, {"--net", address, "--forget-writes", "--quit-after-idle", "30"});
        QVERIFY(forgetful.waitForStarted(5000));
        QVERIFY(forgetful.waitForReadyRead(5000));
        auto project = newEthernetProject();
        project->subnet(1).scanRate = "44";
        MappingProgramState mapping;
        ScriptedOperator op({Answer::Cancel});
        {
            EthernetDownloadDialog download(nullptr, *project, mapping, address.toStdString(), op);
            downloadAndReadBack(download);
            QVERIFY(download.readBackPanel()->resultShown());
            QCOMPARE(download.readBackPanel()->differences()->summary()->text(),
                     QString::fromStdString(Message{texts::CompareDifferenceCount, {"1"}}.text()));
            QCOMPARE(rowsOf(download.readBackPanel()->differences()->list()),
                     QStringList{QString::fromUtf8("Subnet\u2161|Scan Rate(1-255)|44|") +
                                 QString::fromStdString(newEthernetProject()->subnet(1).scanRate)});
            download.readBackPanel()->checkBox()->setChecked(false);
            download.reject();
        }
        forgetful.terminate();
        forgetful.waitForFinished(5000);
    }

    // Nobody at the address: the upload's message, and nothing compared.
    void compareWithNobodyShowsTheUploadsMessage() {
        auto project = newEthernetProject();
        ScriptedOperator op;
        const std::string nobody = address_.section('.', 0, 2).toStdString() + ".33";
        EthernetCompareDialog compare(nullptr, *project, nullptr, nobody, op);
        bool compared = false;
        connect(&compare, &EthernetCompareDialog::compared, this, [&compared] { compared = true; });
        QSignalSpy finished(&compare, &EthernetCompareDialog::runFinished);
        compare.upload();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QVERIFY(!compared);
        QCOMPARE(op.shownKeys(), std::vector<std::string>{"ConnectFailed"});
    }
};

QTEST_MAIN(EthernetDialogsTest)
#include "ethernet_dialogs_test.moc"
