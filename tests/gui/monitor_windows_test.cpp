// The monitor windows driven against in-process gateways: a scripted serial
// link and a scripted UDP socket on real time (the pump runs on the window's
// worker thread, as in the program), and the simulator's device engine for the
// switch into the debug state. The report, row, check and file rules are the
// core's tests; these check that the windows show the rows, answer through the
// pump, send the writes and files the buttons ask for, and that the Debug
// command opens the right window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "app/monitor/debug_monitor_dialog.h"
#include "app/monitor/firmware_version_dialog.h"
#include "app/monitor/monitor_dialog.h"
#include "app/monitor/report_list.h"
#include "app/qt_text.h"
#include "app/recent_files.h"
#include "app/search_dialog.h"
#include "app/transfer/port_dialog.h"
#include "io/port_opener.h"
#include "model/texts.h"
#include "scripted_link.h"
#include "scripted_socket.h"
#include "scripted_ui.h"
#include "simulated_link.h"

using namespace korvex;
using namespace korvex::app;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kPort[] = "/dev/korvex-monitor-test";

class NoSystemPorts : public serial::PortSource {
public:
    std::vector<serial::PortEntry> systemPorts() override { return {}; }
};

serial::SerialPorts onePort() {
    serial::SerialPorts ports;
    ports.lists.ports = {kPort};
    ports.settings.portIndex = 0;
    ports.settings.settingsChosen = true;
    return ports;
}

std::uint8_t sumOf(const Bytes& bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    return static_cast<std::uint8_t>(sum);
}

// The 16-byte answer to D0 00 D0.
Bytes informationAnswer(std::uint8_t major, std::uint8_t minor, std::uint8_t protocol) {
    Bytes answer(16, 0);
    answer[0] = 0xD0;
    answer[1] = 0x0D;
    answer[12] = major;
    answer[13] = minor;
    answer[14] = protocol;
    answer[15] = sumOf(Bytes(answer.begin(), answer.begin() + 15));
    return answer;
}

// A master-layout debug report: D3, N, status, slave, function, start, count, data, sum.
Bytes masterReport(std::uint8_t status, std::uint8_t slave, std::uint8_t function, std::uint16_t start,
                   const Bytes& data) {
    Bytes r{0xD3, static_cast<std::uint8_t>(6 + data.size()), status, slave, function,
            static_cast<std::uint8_t>(start >> 8), static_cast<std::uint8_t>(start & 0xFF),
            static_cast<std::uint8_t>(data.size())};
    r.insert(r.end(), data.begin(), data.end());
    r.push_back(sumOf(r));
    return r;
}

// An Ethernet monitor report datagram (payload length L = 12 + data or 16).
Bytes ethernetReport(std::uint8_t port, std::uint8_t status, std::uint8_t slave, std::uint16_t start,
                     const Bytes& data) {
    const auto length = static_cast<std::uint8_t>(12 + data.size());
    Bytes d{0, 0, 0, 0x0F, 0, 0, 0, length, 0, 0, 0, port, 0, 0, 0, status, 0, slave,
            static_cast<std::uint8_t>(start >> 8), static_cast<std::uint8_t>(start & 0xFF)};
    d.insert(d.end(), data.begin(), data.end());
    return d;
}

const Bytes kSerialAck{0x00};
const Bytes kDebugAck{0xD4, 0x01, 0x00, 0xD5};
const Bytes kDebugStart{0xD2, 0x01, 0xEA, 0xBD};
const Bytes kDebugStop{0xD2, 0x01, 0xF0, 0xC3};
const Bytes kDebugLeave{0x0F, 0x01, 0x01, 0x11};
const Bytes kEthernetStart{0, 0, 0, 0x0E, 0, 0, 0, 8, 0xEA, 0xEA, 0xEA, 0xEA, 0, 0, 0, 0};
const Bytes kEthernetStop{0, 0, 0, 0x0E, 0, 0, 0, 8, 0xF0, 0xF0, 0xF0, 0xF0, 0, 0, 0, 0};
const Bytes kEthernetAck{0, 0, 0, 0x10, 0, 0, 0, 4, 0, 0, 0, 0};

QStringList row(const QTableWidget* list, int r) { return reportRowTexts(list, r); }

QStringList headers(const QTableWidget* list) {
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c) out.append(list->horizontalHeaderItem(c)->text());
    return out;
}

QString readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("<missing>");
    return QString::fromUtf8(f.readAll());
}

// A gateway that answers the debug information request.
std::shared_ptr<ScriptedLink> debugGateway(std::uint8_t major, std::uint8_t minor, std::uint8_t protocol) {
    const Bytes answer = informationAnswer(major, minor, protocol);
    return std::make_shared<ScriptedLink>([answer](const LinkBytes& sent) {
        return sent == LinkBytes{0xD0, 0x00, 0xD0} ? answer : LinkBytes{};
    });
}

void saveScreenshot(QWidget* window, const char* name) {
    const QString dir = qEnvironmentVariable("KORVEX_SCREENSHOT_DIR");
    if (!dir.isEmpty()) window->grab().save(QDir(dir).filePath(QLatin1String(name)), "PNG");
}

}  // namespace

class MonitorWindowsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<ScriptedOpener> opener_;
    std::unique_ptr<QTemporaryDir> dir_;

    std::unique_ptr<MonitorDialog> serialMonitor(std::shared_ptr<ScriptedLink> link) {
        opener_->links.push_back(link);
        auto dialog = std::make_unique<MonitorDialog>(nullptr, *ui_, *opener_, DatagramSocketFactory{});
        if (!dialog->openSerial(onePort())) return nullptr;
        dialog->show();
        return dialog;
    }

    std::unique_ptr<DebugMonitorDialog> debugMonitor(std::shared_ptr<ScriptedLink> link) {
        opener_->links.push_back(link);
        auto dialog = std::make_unique<DebugMonitorDialog>(nullptr, *ui_, *opener_);
        if (!dialog->open(onePort())) return nullptr;
        dialog->resize(900, 600);
        dialog->show();
        return dialog;
    }

private slots:
    void init() {
        ui_ = std::make_unique<ScriptedUi>();
        opener_ = std::make_unique<ScriptedOpener>();
        dir_ = std::make_unique<QTemporaryDir>();
    }

    // ------------------------------------------------ Select Firmware version

    void firmwareDialogOffersBothGenerationsWithTheCurrentOnePreselected() {
        FirmwareVersionDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), qtext(texts::FirmwareChoiceTitle));
        QCOMPARE(dialog.versionBox()->count(), 2);
        QCOMPARE(dialog.versionBox()->itemText(0), QStringLiteral("5.0 and above"));
        QCOMPARE(dialog.versionBox()->itemText(1), QStringLiteral("4.X or 3.X"));
        QCOMPARE(dialog.versionBox()->currentIndex(), 0);
        dialog.versionBox()->setCurrentIndex(1);
        dialog.okButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.choice() == monitor::FirmwareGeneration::FourOrThree);
    }

    // ------------------------------------------------ Monitor/Modify, serial

    void serialMonitorOpensAt115200AndShowsEachReportAsItArrives() {
        auto link = std::make_shared<ScriptedLink>();
        auto dialog = serialMonitor(link);
        QVERIFY(dialog);
        QCOMPARE(opener_->requests.size(), size_t(1));
        QCOMPARE(opener_->requests[0].path, std::string(kPort));
        QCOMPARE(opener_->requests[0].line.baudRate, 115200);
        QCOMPARE(headers(dialog->list()), (QStringList{"Status", "Slave Address", "Starting Address",
                                                       "Data/Exception Code"}));
        QCOMPARE(dialog->list()->columnWidth(3), 300);
        QCOMPARE(dialog->addressEdit()->text(), QStringLiteral("4000"));
        QCOMPARE(dialog->dataEdit()->text(), QStringLiteral("00 01 02 03"));

        link->feed({0x00, 0x05, 0x00, 0x10, 0x02, 0x12, 0x34});
        QTRY_COMPARE(dialog->list()->rowCount(), 1);
        QCOMPARE(row(dialog->list(), 0), (QStringList{"Respond correctly", "5", "16", "12 34 "}));
        QTRY_COMPARE(link->sent(), (std::vector<LinkBytes>{kSerialAck}));
        QCOMPARE(dialog->list()->item(0, 1)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignHCenter));

        // Status FF: answered, not shown. Status 03: "The node has no response".
        link->feed({0xFF, 0x05, 0x00, 0x10, 0x00});
        QTRY_COMPARE(link->sendCount(), size_t(2));
        link->feed({0x03, 0x07, 0x00, 0x20, 0x00});
        QTRY_COMPARE(dialog->list()->rowCount(), 2);
        QCOMPARE(row(dialog->list(), 1), (QStringList{"Response timeout", "7", "32", "The node has no response"}));
        QTRY_COMPARE(link->sendCount(), size_t(3));
        saveScreenshot(dialog.get(), "monitor-window.png");

        // Exit: nothing is sent to a serial gateway.
        dialog->exitButton()->click();
        QVERIFY(!dialog->pumpRunning());
        QCOMPARE(link->sendCount(), size_t(3));
    }

    void serialMonitorThatCannotOpenItsPortSaysSoAndDoesNotOpen() {
        struct Case {
            serial::PortOpenError::Stage stage;
            QString message;
        };
        const Case cases[] = {
            {serial::PortOpenError::Stage::Open, QStringLiteral("Failing in opening serial port!")},
            {serial::PortOpenError::Stage::ReadLineState, QStringLiteral("Failing in reading serial port")},
            {serial::PortOpenError::Stage::WriteLineState, qtext(texts::PortLineStateWriteFailed)},
        };
        for (const Case& c : cases) {
            ui_->boxes.clear();
            opener_->failStage = c.stage;
            MonitorDialog dialog(nullptr, *ui_, *opener_, DatagramSocketFactory{});
            QVERIFY(!dialog.openSerial(onePort()));
            QCOMPARE(ui_->boxTexts(), QStringList{c.message});
        }
    }

    void theHundredFiftySecondReportEmptiesTheList() {
        auto link = std::make_shared<ScriptedLink>();
        auto dialog = serialMonitor(link);
        QVERIFY(dialog);
        for (int i = 0; i < 151; ++i) link->feed({0x00, 0x05, 0x00, static_cast<std::uint8_t>(i), 0x00});
        QTRY_COMPARE(dialog->reportsHandled(), 151);
        QCOMPARE(dialog->list()->rowCount(), 151);
        link->feed({0x00, 0x09, 0x01, 0x00, 0x01, 0xAB});
        QTRY_COMPARE(dialog->reportsHandled(), 152);
        QCOMPARE(dialog->list()->rowCount(), 1);
        QCOMPARE(row(dialog->list(), 0), (QStringList{"Respond correctly", "9", "256", "ab "}));
    }

    void sendAnswersTheNextReportWithTheWrite() {
        auto link = std::make_shared<ScriptedLink>();
        auto dialog = serialMonitor(link);
        QVERIFY(dialog);
        dialog->sendButton()->click();
        QVERIFY(!dialog->sendButton()->isEnabled());
        link->feed({0x00, 0x05, 0x00, 0x10, 0x00});
        QTRY_VERIFY(dialog->sendButton()->isEnabled());
        QCOMPARE(link->sent(), (std::vector<LinkBytes>{{0x01, 0x40, 0x00, 0x04, 0x00, 0x01, 0x02, 0x03}}));
        // The report was shown all the same, and the next one is acknowledged.
        QCOMPARE(dialog->list()->rowCount(), 1);
        link->feed({0x00, 0x05, 0x00, 0x10, 0x00});
        QTRY_COMPARE(link->sendCount(), size_t(2));
        QCOMPARE(link->sent().back(), kSerialAck);
        QVERIFY(ui_->boxes.isEmpty());
    }

    void sendRefusesBadFieldsWithTheirMessagesAndSendsNothing() {
        auto link = std::make_shared<ScriptedLink>();
        auto dialog = serialMonitor(link);
        QVERIFY(dialog);
        struct Case {
            const char* address;
            const char* data;
            const char* message;
        };
        const Case cases[] = {
            {"4000", "00,01", "Having inputted wrong data, please input correct data with hex as its format!"},
            {"4000", "00  01", "The input-data format is wrong! "},
            {"406E", "00 01 02", "Memory mapping address go beyond appointed range!"},
            {"", "00", "Please completely fill in the form!"},
        };
        for (const Case& c : cases) {
            ui_->boxes.clear();
            dialog->addressEdit()->setText(QLatin1String(c.address));
            dialog->dataEdit()->setText(QLatin1String(c.data));
            dialog->sendButton()->click();
            QCOMPARE(ui_->boxTexts(), QStringList{QLatin1String(c.message)});
            QVERIFY(dialog->sendButton()->isEnabled());
        }
        link->feed({0x00, 0x05, 0x00, 0x10, 0x00});
        QTRY_COMPARE(link->sent(), (std::vector<LinkBytes>{kSerialAck}));
    }

    void aSerialWriteWithoutAReportIsGivenUpWithTheReadMessage() {
        auto link = std::make_shared<ScriptedLink>();
        auto dialog = serialMonitor(link);
        QVERIFY(dialog);
        dialog->sendButton()->click();
        QTRY_COMPARE(ui_->boxTexts(), QStringList{"Failing in reading serial port!"});
        QVERIFY(dialog->sendButton()->isEnabled());
        // The dropped write does not answer a later report.
        link->feed({0x00, 0x05, 0x00, 0x10, 0x00});
        QTRY_COMPARE(link->sent(), (std::vector<LinkBytes>{kSerialAck}));
    }

    void stopDisplayingKeepsAnsweringAndRecording() {
        auto link = std::make_shared<ScriptedLink>();
        auto dialog = serialMonitor(link);
        QVERIFY(dialog);
        const QString path = dir_->filePath(QStringLiteral("record"));
        ui_->buttons.enqueue(qtext(texts::AppButtonOk));
        ui_->savePaths.enqueue(path);
        dialog->saveButton()->click();
        QCOMPARE(ui_->boxTexts(), QStringList{"Save data to hard disk?"});
        QCOMPARE(dialog->saveButton()->text(), QStringLiteral("Stop Saving"));

        link->feed({0x00, 0x05, 0x00, 0x10, 0x02, 0x12, 0x34});
        QTRY_COMPARE(dialog->list()->rowCount(), 1);
        dialog->displayButton()->click();
        QCOMPARE(dialog->displayButton()->text(), QStringLiteral("Continue to Display"));
        link->feed({0x01, 0x05, 0x00, 0x10, 0x00, 0x03});
        QTRY_COMPARE(dialog->reportsHandled(), 2);
        QCOMPARE(dialog->list()->rowCount(), 1);
        QTRY_COMPARE(link->sendCount(), size_t(2));
        dialog->displayButton()->click();
        QCOMPARE(dialog->displayButton()->text(), QStringLiteral("Stop Displaying"));
        QCOMPARE(dialog->list()->rowCount(), 0);

        dialog->saveButton()->click();
        QCOMPARE(dialog->saveButton()->text(), QStringLiteral("Save Content"));
        link->feed({0x00, 0x05, 0x00, 0x10, 0x00});
        QTRY_COMPARE(dialog->reportsHandled(), 3);
        // The default extension, "\n" line ends, both reports and nothing after Stop Saving.
        QCOMPARE(readFile(path + QStringLiteral(".txt")),
                 QStringLiteral("Status\t\tRespond correctly\nSlave Address\t5\nStarting Address\t16\n"
                                "Data/Exception Code\t12 34 \n\n"
                                "Status\t\tRespond abnormally \nSlave Address\t5\nStarting Address\t16\n"
                                "Data/Exception Code\t03 (Incorrect data)\n\n"));
    }

    void cancellingTheSaveQuestionOrTheFileDialogKeepsSavingOff() {
        auto link = std::make_shared<ScriptedLink>();
        auto dialog = serialMonitor(link);
        QVERIFY(dialog);
        ui_->buttons.enqueue(qtext(texts::AppButtonCancel));
        dialog->saveButton()->click();
        QCOMPARE(ui_->saveDialogs, 0);
        ui_->buttons.enqueue(qtext(texts::AppButtonOk));
        dialog->saveButton()->click();  // no path scripted: the file dialog is cancelled
        QCOMPARE(ui_->saveDialogs, 1);
        QCOMPARE(dialog->saveButton()->text(), QStringLiteral("Save Content"));
    }

    // ------------------------------------------------ Monitor/Modify, Ethernet

    void ethernetMonitorStartsTheStreamAndTakesReportsFromTheGatewayOnly() {
        auto exchange = std::make_shared<DatagramExchange>();
        MonitorDialog dialog(nullptr, *ui_, *opener_,
                             [exchange] { return std::make_unique<ScriptedSocket>(exchange); });
        QVERIFY(dialog.openEthernet(true, "127.0.0.1"));
        dialog.show();
        QCOMPARE(headers(dialog.list()), (QStringList{"Serial port index", "Status", "Slave Address",
                                                      "Starting Address", "Data/Exception Code"}));
        QTRY_COMPARE(exchange->sendCount(), size_t(1));
        QCOMPARE(exchange->sent()[0].bytes, kEthernetStart);
        QCOMPARE(exchange->sent()[0].address, std::string("127.0.0.1"));
        QCOMPARE(exchange->sent()[0].port, std::uint16_t(18802));

        // Another host's datagram is ignored; the gateway's is shown and acknowledged.
        exchange->deliver(ethernetReport(0, 0, 9, 1, {0x55}), "127.0.0.2");
        exchange->deliver(ethernetReport(1, 1, 5, 16, {0, 0, 0, 2}), "127.0.0.1");
        QTRY_COMPARE(dialog.list()->rowCount(), 1);
        QCOMPARE(row(dialog.list(), 0), (QStringList{"2", "Respond abnormally ", "5", "16", "2"}));
        QTRY_COMPARE(exchange->sendCount(), size_t(2));
        QCOMPARE(exchange->sent()[1].bytes, kEthernetAck);

        dialog.sendButton()->click();
        exchange->deliver(ethernetReport(0, 0, 5, 16, {0x12}), "127.0.0.1");
        QTRY_COMPARE(exchange->sendCount(), size_t(3));
        QCOMPARE(exchange->sent()[2].bytes,
                 (Bytes{0, 0, 0, 0x10, 0, 0, 0, 0x0A, 0, 0, 0, 1, 0x40, 0x00, 0x00, 0x01, 0x02, 0x03}));
        QTRY_VERIFY(dialog.sendButton()->isEnabled());

        // Exit ends the stream with the stop frame and closes the socket.
        dialog.exitButton()->click();
        QCOMPARE(exchange->sent().back().bytes, kEthernetStop);
        QVERIFY(exchange->socketClosed());
        QVERIFY(ui_->boxes.isEmpty());
    }

    void ethernetMonitorClosesWhenTheSearchWasCancelled() {
        auto exchange = std::make_shared<DatagramExchange>();
        MonitorDialog dialog(nullptr, *ui_, *opener_,
                             [exchange] { return std::make_unique<ScriptedSocket>(exchange); });
        QVERIFY(!dialog.openEthernet(false, "127.0.0.1"));
        QVERIFY(!exchange->socketMade());
    }

    // ------------------------------------------------ the debug-mode monitor

    void debugMonitorReadsTheLayoutAndShowsTheNewestReportOnTop() {
        auto link = debugGateway(5, 3, 0);
        auto dialog = debugMonitor(link);
        QVERIFY(dialog);
        QCOMPARE(opener_->requests[0].line.baudRate, 19200);
        QCOMPARE(headers(dialog->list()), (QStringList{"Index", "Status", "Slave Address", "Function Code",
                                                       "Starting Address", "Data/Exception Code"}));
        QTRY_COMPARE(link->sent(), (std::vector<LinkBytes>{{0xD0, 0x00, 0xD0}, kDebugStart}));
        // Six equal columns across the list.
        const int width = dialog->list()->viewport()->width();
        QCOMPARE(dialog->list()->columnWidth(0), width / 6);

        link->feed(masterReport(0, 5, 3, 0x10, {0x12, 0x34}));
        QTRY_COMPARE(dialog->list()->rowCount(), 1);
        QCOMPARE(row(dialog->list(), 0), (QStringList{"1", "Respond correctly", "5", "3", "16", " 12 34"}));
        QCOMPARE(dialog->readDataBox()->toPlainText(), QStringLiteral(" 12 34"));
        QTRY_COMPARE(link->sendCount(), size_t(3));
        QCOMPARE(link->sent()[2], kDebugAck);

        // Status FF raises the index without a row; the next row goes on top.
        link->feed(masterReport(0xFF, 5, 3, 0x10, {}));
        link->feed(masterReport(2, 7, 16, 0x20, {0xAB}));
        QTRY_COMPARE(dialog->list()->rowCount(), 2);
        QCOMPARE(row(dialog->list(), 0), (QStringList{"3", "Respond incorrectly", "7", "16", "32", " AB"}));
        QCOMPARE(dialog->readDataBox()->toPlainText(), QStringLiteral(" AB"));
        QTRY_COMPARE(link->sendCount(), size_t(5));
        saveScreenshot(dialog.get(), "debug-monitor-window.png");

        // A click on the older row puts its data into the read-data box.
        dialog->clickRow(1);
        QCOMPARE(dialog->readDataBox()->toPlainText(), QStringLiteral(" 12 34"));

        dialog->clearButton()->click();
        QCOMPARE(dialog->list()->rowCount(), 0);
        QVERIFY(dialog->readDataBox()->toPlainText().isEmpty());
        link->feed(masterReport(0, 5, 3, 0x10, {}));
        QTRY_COMPARE(dialog->list()->rowCount(), 1);
        QCOMPARE(dialog->list()->item(0, 0)->text(), QStringLiteral("1"));
    }

    void debugMonitorSlaveLayoutHasThreeColumns() {
        auto link = debugGateway(6, 0, 1);
        auto dialog = debugMonitor(link);
        QVERIFY(dialog);
        QCOMPARE(headers(dialog->list()), (QStringList{"Index", "Status", "Data"}));
        const int w = dialog->list()->viewport()->width();
        QCOMPARE(dialog->list()->columnWidth(2), int(w * 7.5 / 12.0));
        Bytes report{0xD3, 0xF5, 0x00, 0x01, 0x02};
        report.push_back(sumOf(report));
        link->feed(report);
        QTRY_COMPARE(dialog->list()->rowCount(), 1);
        QCOMPARE(row(dialog->list(), 0), (QStringList{"1", "Modbus->PROFIBUS", "01 02 "}));
    }

    void debugMonitorRefusesABadInformationAnswer() {
        struct Case {
            const char* name;
            Bytes answer;
            QString message;
        };
        Bytes badSum = informationAnswer(5, 3, 0);
        badSum[15] ^= 1;
        const Case cases[] = {
            {"silent gateway", {}, QStringLiteral("Product version does not match!")},
            {"bad sum", badSum, QStringLiteral("Product version does not match!")},
            {"subnet protocol 2", informationAnswer(5, 3, 2), QStringLiteral("the gateway's sub network is illegal.")},
        };
        for (const Case& c : cases) {
            ui_->boxes.clear();
            const Bytes answer = c.answer;
            opener_->links.push_back(std::make_shared<ScriptedLink>(
                [answer](const LinkBytes&) { return answer; }));
            DebugMonitorDialog dialog(nullptr, *ui_, *opener_);
            QVERIFY2(!dialog.open(onePort()), c.name);
            QCOMPARE(ui_->boxTexts(), QStringList{c.message});
            QVERIFY(!dialog.pumpRunning());
        }
    }

    void debugSendIsTheAnswerToTheNextReport() {
        auto link = debugGateway(5, 3, 0);
        auto dialog = debugMonitor(link);
        QVERIFY(dialog);
        QTRY_COMPARE(link->sendCount(), size_t(2));
        dialog->dataEdit()->setText(QStringLiteral("0a 1b"));
        dialog->sendButton()->click();
        QVERIFY(dialog->complaintField()->text().isEmpty());
        link->feed(masterReport(0, 5, 3, 0x10, {}));
        QTRY_COMPARE(link->sendCount(), size_t(3));
        QCOMPARE(link->sent()[2], (LinkBytes{0xD4, 0x05, 0x01, 0x40, 0x00, 0x0A, 0x1B, 0x3F}));

        // Bad data: the red field; an address out of range: a message that
        // does not hold the reports up. Neither sends anything.
        dialog->dataEdit()->setText(QStringLiteral("0a,1b"));
        dialog->sendButton()->click();
        QCOMPARE(dialog->complaintField()->text(), QStringLiteral("Illegal character!"));
        QCOMPARE(dialog->complaintField()->palette().color(QPalette::WindowText), QColor(Qt::red));
        dialog->dataEdit()->setText(QStringLiteral("0a 1b"));
        dialog->addressEdit()->setText(QStringLiteral("3FFF"));
        dialog->sendButton()->click();
        QVERIFY(dialog->complaintField()->text().isEmpty());
        QCOMPARE(ui_->boxTexts(), QStringList{"The range should be from 0x4000 to 0x40F3"});
        link->feed(masterReport(0, 5, 3, 0x10, {}));
        QTRY_COMPARE(link->sendCount(), size_t(4));
        QCOMPARE(link->sent()[3], kDebugAck);
    }

    void stopDisplayingHidesButStillAnswers() {
        auto link = debugGateway(5, 3, 0);
        auto dialog = debugMonitor(link);
        QVERIFY(dialog);
        dialog->displayButton()->click();
        QCOMPARE(dialog->displayButton()->text(), QStringLiteral("Continue to Display"));
        link->feed(masterReport(0, 5, 3, 0x10, {}));
        QTRY_COMPARE(link->sendCount(), size_t(3));
        QCOMPARE(dialog->list()->rowCount(), 0);
        dialog->displayButton()->click();
        link->feed(masterReport(0, 5, 3, 0x10, {}));
        QTRY_COMPARE(dialog->list()->rowCount(), 1);
        // Reports not displayed were not counted.
        QCOMPARE(dialog->list()->item(0, 0)->text(), QStringLiteral("1"));
    }

    void debugSaveWritesTheShownRowsNewestFirst() {
        auto link = debugGateway(5, 3, 0);
        auto dialog = debugMonitor(link);
        QVERIFY(dialog);
        link->feed(masterReport(0, 5, 3, 0x10, {0x12}));
        link->feed(masterReport(3, 6, 4, 0x11, {}));
        QTRY_COMPARE(dialog->list()->rowCount(), 2);
        const QString path = dir_->filePath(QStringLiteral("debug.txt"));
        ui_->savePaths.enqueue(path);
        dialog->saveButton()->click();
        QCOMPARE(dialog->saveButton()->text(), QStringLiteral("Stop Saving"));
        QVERIFY(!QFile::exists(path));
        dialog->saveButton()->click();
        QCOMPARE(dialog->saveButton()->text(), QStringLiteral("Save Content"));
        QCOMPARE(readFile(path),
                 QStringLiteral("Index     Status       Slave Address        Function Code   Starting Address"
                                "       Data/Exception Code\r\n"
                                "2\tResponse timeout\t6\t\t4\t17\t\t\r\n"
                                "1\tRespond correctly\t5\t\t3\t16\t\t 12\r\n"));
    }

    void stopDebugAndExitAsksFromFirmware53On() {
        struct Case {
            std::uint8_t major;
            std::uint8_t minor;
            QString answer;
            bool asks;
            bool leaves;
        };
        const Case cases[] = {
            {5, 2, QString(), false, false},
            {5, 3, qtext(texts::AppButtonYes), true, true},
            {6, 0, qtext(texts::AppButtonNo), true, false},
        };
        for (const Case& c : cases) {
            ui_->boxes.clear();
            auto link = debugGateway(c.major, c.minor, 0);
            auto dialog = debugMonitor(link);
            QVERIFY(dialog);
            QTRY_COMPARE(link->sendCount(), size_t(2));
            if (!c.answer.isEmpty()) ui_->buttons.enqueue(c.answer);
            dialog->stopDebugButton()->click();
            QVERIFY(!dialog->isVisible());
            QCOMPARE(ui_->boxTexts().contains(
                         QStringLiteral("Tessaly in debug state, whether changes to the configuration state?")),
                     c.asks);
            std::vector<LinkBytes> expected{{0xD0, 0x00, 0xD0}, kDebugStart, kDebugStop};
            if (c.leaves) expected.push_back(kDebugLeave);
            QCOMPARE(link->sent(), expected);
        }
    }

    void exitStopsTheReportsWithoutLeavingAndEnterDoesNotClose() {
        auto link = debugGateway(6, 0, 3);
        auto dialog = debugMonitor(link);
        QVERIFY(dialog);
        QTRY_COMPARE(link->sendCount(), size_t(2));
        QTest::keyClick(dialog.get(), Qt::Key_Return);
        QTest::keyClick(dialog->dataEdit(), Qt::Key_Enter);
        QVERIFY(dialog->isVisible());
        dialog->exitButton()->click();
        QVERIFY(!dialog->isVisible());
        QVERIFY(ui_->boxes.isEmpty());
        QCOMPARE(link->sent(), (std::vector<LinkBytes>{{0xD0, 0x00, 0xD0}, kDebugStart, kDebugStop}));
    }
};

// ---------------------------------------------------------------- the Debug command

namespace {

// What the Debug command opened, in order, and what it showed.
struct CommandRun {
    QStringList windows;
    QStringList messages;
};

}  // namespace

class DebugCommandTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<RecentFiles> recent_;
    std::unique_ptr<ScriptedOpener> opener_;
    NoSystemPorts noPorts_;

    std::unique_ptr<MainWindow> openWindow(bool withPort) {
        auto w = std::make_unique<MainWindow>(*ui_, *recent_);
        w->setPortSource(&noPorts_);
        w->setPortOpener(opener_.get());
        if (withPort) w->addSerialPorts({QLatin1String(kPort)});
        w->newProject();
        w->show();
        return w;
    }

    // Runs Debug, answering the windows it opens: OK in the port dialog, the
    // firmware entry `firmware` (-1: Cancel), and Exit in a monitor window.
    CommandRun runDebug(MainWindow& w, int firmware) {
        CommandRun run;
        QTimer driver;
        driver.setInterval(20);
        connect(&driver, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* ports = qobject_cast<PortDialog*>(modal)) {
                run.windows.append(QStringLiteral("ports"));
                ports->okButton()->click();
            } else if (auto* versions = qobject_cast<FirmwareVersionDialog*>(modal)) {
                run.windows.append(QStringLiteral("firmware"));
                if (firmware < 0) {
                    versions->cancelButton()->click();
                } else {
                    versions->versionBox()->setCurrentIndex(firmware);
                    versions->okButton()->click();
                }
            } else if (auto* monitor = qobject_cast<MonitorDialog*>(modal)) {
                run.windows.append(QStringLiteral("monitor"));
                monitor->exitButton()->click();
            } else if (auto* debug = qobject_cast<DebugMonitorDialog*>(modal)) {
                run.windows.append(QStringLiteral("debug monitor"));
                debug->exitButton()->click();
            } else if (auto* search = qobject_cast<SearchDialog*>(modal)) {
                run.windows.append(QStringLiteral("search"));
                search->reject();
            }
        });
        driver.start();
        w.action(Cmd::Debug)->trigger();
        driver.stop();
        run.messages = ui_->boxTexts();
        return run;
    }

private slots:
    void init() {
        ui_ = std::make_unique<ScriptedUi>();
        recent_ = std::make_unique<RecentFiles>(false);
        opener_ = std::make_unique<ScriptedOpener>();
    }

    void debugIsEnabledForTheSerialGateway() {
        auto w = openWindow(true);
        QVERIFY(w->action(Cmd::Debug)->isEnabled());
    }

    void olderFirmwareOpensMonitorModify() {
        auto w = openWindow(true);
        opener_->links.push_back(std::make_shared<ScriptedLink>());
        const CommandRun run = runDebug(*w, 1);
        QCOMPARE(run.windows, (QStringList{"ports", "firmware", "monitor"}));
        QVERIFY(run.messages.isEmpty());
        QCOMPARE(opener_->requests.size(), size_t(1));
        QCOMPARE(opener_->requests[0].line.baudRate, 115200);
    }

    void projectsWithoutTheCurrentFlagSkipTheFirmwareQuestion() {
        auto w = openWindow(true);
        w->project().flags.extendedSettingsFlag = false;
        opener_->links.push_back(std::make_shared<ScriptedLink>());
        const CommandRun run = runDebug(*w, 0);
        QCOMPARE(run.windows, (QStringList{"ports", "monitor"}));
    }

    void cancellingTheFirmwareQuestionOpensNothing() {
        auto w = openWindow(true);
        const CommandRun run = runDebug(*w, -1);
        QCOMPARE(run.windows, (QStringList{"ports", "firmware"}));
        QVERIFY(opener_->requests.empty());
    }

    void withoutAnyPortNothingOpens() {
        auto w = openWindow(false);
        const CommandRun run = runDebug(*w, 0);
        QCOMPARE(run.windows, (QStringList{"ports", "firmware"}));
        QCOMPARE(run.messages, QStringList{"Failing in opening serial port!"});
        QVERIFY(opener_->requests.empty());
    }

    void currentFirmwareIsSwitchedIntoTheDebugStateFirst() {
        auto w = openWindow(true);
        gatewaysim::GatewayEngine engine(gatewaysim::DeviceOptions{4, 6, 1, 244});
        opener_->links.push_back(std::make_shared<gatewaysim::SimulatedLink>(engine));
        opener_->links.push_back(debugGateway(6, 1, 0));
        const CommandRun run = runDebug(*w, 0);
        QCOMPARE(run.windows, (QStringList{"ports", "firmware", "debug monitor"}));
        QVERIFY(run.messages.isEmpty());
        QVERIFY(engine.state() == serial::OperatingState::Debug);
        QCOMPARE(opener_->requests.size(), size_t(2));
        QCOMPARE(opener_->requests[0].line.baudRate, 19200);
        QCOMPARE(opener_->requests[1].line.baudRate, 19200);
    }

    void aGatewayThatDoesNotConfirmTheSwitchGetsNoMonitor() {
        auto w = openWindow(true);
        gatewaysim::GatewayEngine engine(gatewaysim::DeviceOptions{4, 6, 1, 244});
        engine.setFault(0x0F, gatewaysim::Fault{gatewaysim::FaultKind::Silent});
        opener_->links.push_back(std::make_shared<gatewaysim::SimulatedLink>(engine));
        const CommandRun run = runDebug(*w, 0);
        QCOMPARE(run.windows, (QStringList{"ports", "firmware"}));
        QCOMPARE(run.messages, QStringList{"Conversion to debug mode failed!"});
        QCOMPARE(opener_->requests.size(), size_t(1));
    }

    void firmwareFiveGoesStraightToTheDebugMonitor() {
        auto w = openWindow(true);
        gatewaysim::GatewayEngine engine(gatewaysim::DeviceOptions{4, 5, 2, 244});
        opener_->links.push_back(std::make_shared<gatewaysim::SimulatedLink>(engine));
        opener_->links.push_back(debugGateway(5, 2, 0));
        const CommandRun run = runDebug(*w, 0);
        QCOMPARE(run.windows, (QStringList{"ports", "firmware", "debug monitor"}));
        QVERIFY(engine.state() == serial::OperatingState::Communication);
    }
};

// ---------------------------------------------------------------- against korvex-gatewaysim

// Built without the simulator: these tests are skipped.
#ifndef KORVEX_GATEWAYSIM
#define KORVEX_GATEWAYSIM ""
#endif

namespace {

// korvex-gatewaysim on a pseudo-terminal of its own.
class Simulator {
public:
    explicit Simulator(const QStringList& args) {
        if (QStringLiteral(KORVEX_GATEWAYSIM).isEmpty()) return;
        process_.setProgram(QStringLiteral(KORVEX_GATEWAYSIM));
        process_.setArguments(args);
        process_.start();
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000))
            path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~Simulator() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(3000);
    }
    const QString& path() const { return path_; }

private:
    QProcess process_;
    QString path_;
};

bool anyRowData(const QTableWidget* list, int column, const QString& prefix) {
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->item(r, column) && list->item(r, column)->text().startsWith(prefix)) return true;
    return false;
}

}  // namespace

// The real port code and the simulator's report streams over a pseudo-terminal:
// rows arrive, and a write reaches the gateway's output memory (a later report
// of the command that writes from 4000 carries the written bytes).
class GatewaysimMonitorTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<RecentFiles> recent_;
    NoSystemPorts noPorts_;

private slots:
    void init() {
        ui_ = std::make_unique<ScriptedUi>();
        recent_ = std::make_unique<RecentFiles>(false);
    }

    void serialMonitorShowsTheStreamAndItsWriteComesBack() {
        if (QStringLiteral(KORVEX_GATEWAYSIM).isEmpty()) QSKIP("built without korvex-gatewaysim");
        Simulator sim({"--device-type", "4", "--monitor", "--baud", "115200", "--report-rate", "50"});
        QVERIFY(!sim.path().isEmpty());
        serial::SerialPorts ports;
        ports.lists.ports = {sim.path().toStdString()};
        io::SerialPortOpener opener;
        MonitorDialog dialog(nullptr, *ui_, opener, DatagramSocketFactory{});
        QVERIFY(dialog.openSerial(ports));
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.list()->rowCount() >= 3, 10000);
        dialog.dataEdit()->setText(QStringLiteral("aa bb"));
        dialog.sendButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(anyRowData(dialog.list(), 3, QStringLiteral("aa bb 00")), 10000);
        dialog.exitButton()->click();
        QVERIFY(ui_->boxes.isEmpty());
    }

    void debugCommandSwitchesTheGatewayAndShowsItsReports() {
        if (QStringLiteral(KORVEX_GATEWAYSIM).isEmpty()) QSKIP("built without korvex-gatewaysim");
        Simulator sim({"--device-type", "4", "--firmware", "6.0", "--baud", "19200", "--debug-layout", "master"});
        QVERIFY(!sim.path().isEmpty());
        MainWindow w(*ui_, *recent_);
        w.setPortSource(&noPorts_);
        w.addSerialPorts({sim.path()});
        w.newProject();
        w.show();
        int rows = 0;
        QTimer driver;
        driver.setInterval(20);
        connect(&driver, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* ports = qobject_cast<PortDialog*>(modal)) {
                ports->okButton()->click();
            } else if (auto* versions = qobject_cast<FirmwareVersionDialog*>(modal)) {
                versions->okButton()->click();
            } else if (auto* debug = qobject_cast<DebugMonitorDialog*>(modal)) {
                if (debug->list()->rowCount() < 3) return;
                rows = debug->list()->rowCount();
                ui_->buttons.enqueue(qtext(texts::AppButtonYes));
                debug->stopDebugButton()->click();
            }
        });
        driver.start();
        w.action(Cmd::Debug)->trigger();
        QVERIFY(rows >= 3);
        QCOMPARE(ui_->boxTexts(),
                 QStringList{"Tessaly in debug state, whether changes to the configuration state?"});
    }
};

namespace {

// Runs one test object with the command line's options and those of the named
// test functions that belong to it; an object none of the named functions
// belongs to is skipped (so `test_gui_monitor someTest` runs just that test).
int runTests(QObject& tests, const QStringList& args) {
    QStringList mine{args.front()};
    bool named = false;
    bool anyMine = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a.startsWith(QLatin1Char('-'))) {
            mine.append(a);
            continue;
        }
        named = true;
        const QString function = a.section(QLatin1Char(':'), 0, 0);
        if (tests.metaObject()->indexOfMethod((function + QStringLiteral("()")).toLatin1().constData()) >= 0) {
            mine.append(a);
            anyMine = true;
        }
    }
    if (named && !anyMine) return 0;
    return QTest::qExec(&tests, mine);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    int status = 0;
    {
        MonitorWindowsTest windows;
        status |= runTests(windows, args);
    }
    {
        DebugCommandTest command;
        status |= runTests(command, args);
    }
    {
        GatewaysimMonitorTest simulator;
        status |= runTests(simulator, args);
    }
    return status;
}

#include "monitor_windows_test.moc"
