// "Serial Port Configuration": the widgets show and store what the port rules
// (serial/port_choice.h, tested in the core) compute.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/main_window.h"
#include "app/transfer/port_dialog.h"
#include "app/qt_text.h"
#include "app/recent_files.h"
#include "app/startup.h"
#include "model/operator.h"
#include "model/texts.h"
#include "scripted_ui.h"

using namespace korvex;
using namespace korvex::app;

namespace {

class FixedPorts : public serial::PortSource {
public:
    std::vector<serial::PortEntry> entries;
    std::vector<serial::PortEntry> systemPorts() override { return entries; }
};

}  // namespace

class PortDialogTest : public QObject {
    Q_OBJECT

private:
    FixedPorts source_;
    serial::SerialPorts ports_;
    ScriptedOperator operator_;

    std::unique_ptr<PortDialog> openDialog(int kind = 3) {
        auto dialog = std::make_unique<PortDialog>(nullptr, ports_, source_, kind, operator_);
        dialog->show();
        return dialog;
    }

private slots:
    void init() {
        source_.entries = {{"/dev/ttyS0", false}, {"/dev/ttyUSB0", true}};
        ports_ = serial::SerialPorts{};
        operator_.clear();
    }

    void showsThePortsAndFourDisabledLineSettingBoxes() {
        auto dialog = openDialog(2);
        QCOMPARE(dialog->windowTitle(), qtext(texts::PortDialogTitle));
        QCOMPARE(dialog->portBox()->count(), 2);
        QCOMPARE(dialog->portBox()->itemText(1), QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(dialog->portBox()->isEnabled());
        QVERIFY(dialog->portBox()->isEditable());
        for (QComboBox* box : {dialog->baudBox(), dialog->parityBox(), dialog->dataBitsBox(), dialog->stopBitsBox()})
            QVERIFY(!box->isEnabled());
        // The four-subnet gateway's default rate.
        QCOMPARE(dialog->baudBox()->currentText(), QStringLiteral("115200"));
        QCOMPARE(dialog->parityBox()->count(), 5);
        QCOMPARE(dialog->okButton()->text(), qtext(texts::PortDialogOk));
        QCOMPARE(dialog->cancelButton()->text(), qtext(texts::PortDialogCancel));
    }

    void okStoresTheSelectionAndCancelNothing() {
        auto dialog = openDialog();
        dialog->portBox()->setCurrentIndex(1);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QCOMPARE(ports_.settings.portIndex, 0);
        QVERIFY(!ports_.settings.settingsChosen);

        dialog = openDialog();
        dialog->portBox()->setCurrentIndex(1);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(ports_.settings.portIndex, 1);
        QVERIFY(ports_.settings.settingsChosen);
    }

    void takesATypedDevicePath() {
        auto dialog = openDialog();
        const QString byId = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        dialog->portBox()->setEditText(byId);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(serial::chosenPortName(ports_).value_or("")), byId);
        // The next opening lists it (first, as a port added by hand).
        dialog = openDialog();
        QCOMPARE(dialog->portBox()->currentText(), byId);
    }

    void refusesTextThatIsNoDevicePath() {
        auto dialog = openDialog();
        dialog->portBox()->setEditText(QStringLiteral("dev/ttyS0"));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QCOMPARE(operator_.shownKeys(), std::vector<std::string>{"PortPathInvalid"});
        QVERIFY(!ports_.settings.settingsChosen);
    }

    void okWithNoPortListedKeepsThePreviousChoice() {
        ports_.settings.portIndex = 1;
        source_.entries.clear();
        auto dialog = openDialog();
        QCOMPARE(dialog->portBox()->count(), 0);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QCOMPARE(ports_.settings.portIndex, 1);
        QVERIFY(!serial::chosenPortName(ports_));
    }

    void portsComeFromTheCommandLineAndTheEnvironment() {
        qputenv("KORVEX_SERIAL_PORTS", "/dev/pts/5::/dev/pts/6");
        const StartupOptions options = parseStartupOptions(
            {QStringLiteral("korvex"), QStringLiteral("--serial-port"), QStringLiteral("/dev/pts/4"),
             QStringLiteral("--serial-port"), QStringLiteral("/dev/ttyACM1")});
        qunsetenv("KORVEX_SERIAL_PORTS");
        QCOMPARE(options.serialPorts, (QStringList{QStringLiteral("/dev/pts/4"), QStringLiteral("/dev/ttyACM1"),
                                                   QStringLiteral("/dev/pts/5"), QStringLiteral("/dev/pts/6")}));
        QVERIFY(options.file.isEmpty());
    }

    void serialConnectionOpensTheDialogAndDebugIsEnabled() {
        ScriptedUi ui;
        RecentFiles recent(false);
        MainWindow window(ui, recent);
        window.setPortSource(&source_);
        window.addSerialPorts({QStringLiteral("/dev/pts/9")});
        window.newProject();
        window.show();
        QVERIFY(window.action(Cmd::SerialConnection)->isEnabled());
        QVERIFY(window.action(Cmd::Debug)->isEnabled());

        QString title;
        int listed = 0;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<PortDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            title = dialog->windowTitle();
            listed = dialog->portBox()->count();
            dialog->portBox()->setCurrentIndex(2);
            dialog->okButton()->click();
        });
        window.action(Cmd::SerialConnection)->trigger();
        QCOMPARE(title, qtext(texts::PortDialogTitle));
        QCOMPARE(listed, 3);  // the added pseudo-terminal first, then the system's two
        QCOMPARE(serial::chosenPortName(window.serialPorts()).value_or(""), std::string("/dev/ttyUSB0"));
        QVERIFY(ui.boxes.isEmpty());
    }
};

QTEST_MAIN(PortDialogTest)
#include "port_dialog_test.moc"
