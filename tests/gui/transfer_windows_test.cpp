// The serial transfer windows end to end: the real main window, the real port
// code and korvex-gatewaysim on a pseudo-terminal added to the port list as
// --serial-port adds it. The transfer rules are the core's tests; these check
// that the windows run them on their thread, ask in the window, tick their
// lines and hand the outcome back to the main window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/compare_window.h"
#include "app/config_tree.h"
#include "app/difference_list.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/read_back_panel.h"
#include "app/recent_files.h"
#include "app/transfer/download_window.h"
#include "app/transfer/port_dialog.h"
#include "app/transfer/transfer_window.h"
#include "model/kvx_file.h"
#include "model/texts.h"
#include "scripted_ui.h"
#include "serial/transfer_progress.h"

using namespace korvex;
using namespace korvex::app;

namespace {

// No system ports: only the simulator's pseudo-terminal is listed.
class NoSystemPorts : public serial::PortSource {
public:
    std::vector<serial::PortEntry> systemPorts() override { return {}; }
};

// For windows that are only looked at: opens nothing.
class NoOpener : public serial::PortOpener {
public:
    std::unique_ptr<serial::ByteLink> open(const serial::PortOpenRequest&, serial::PortOpenError&) override {
        return nullptr;
    }
};

// korvex-gatewaysim on a pseudo-terminal of its own.
class Simulator {
public:
    explicit Simulator(const QStringList& args) {
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

// Message boxes answered from the script, each also noting the transfer window it
// was asked in and what that window showed at that moment.
class WatchingUi : public ScriptedUi {
public:
    struct Asked {
        QString text;
        bool inTransferWindow = false;
        bool running = false;
        QList<bool> ticks;
        QString status;
    };
    QList<Asked> asked;

    int messageBox(QWidget* parent, const BoxRequest& request) override {
        Asked a;
        a.text = request.text;
        if (auto* window = qobject_cast<TransferWindow*>(parent)) {
            a.inTransferWindow = true;
            a.running = window->running();
            for (int line = 0; line < 3; ++line) a.ticks.append(window->tickShown(line));
            a.status = window->statusText();
        }
        asked.append(a);
        return ScriptedUi::messageBox(parent, request);
    }
};

// What a transfer window showed when its run had ended.
struct WindowEnd {
    bool seen = false;
    QString title;
    QString status;
    QList<bool> ticks;
    QStringList lines;
    bool startEnabled = false;
    bool portOpen = true;
    // The download window's read-back: whether a result shows, its line and rows
    // (Item|Project|Gateway).
    bool readBackShown = false;
    QString readBackSummary;
    QStringList readBackRows;
};

}  // namespace

class TransferWindowsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<WatchingUi> ui_;
    std::unique_ptr<RecentFiles> recent_;
    NoSystemPorts noPorts_;
    NoOpener noOpener_;
    std::unique_ptr<QTemporaryDir> settingsHome_;

    std::unique_ptr<MainWindow> openWindow(const QString& port) {
        auto w = std::make_unique<MainWindow>(*ui_, *recent_);
        w->setPortSource(&noPorts_);
        w->addSerialPorts({port});
        w->newProject();
        w->show();
        return w;
    }

    // Triggers `command` and drives the modal windows it opens: OK in the port
    // dialog, the start button once in the transfer window, and "Exit" when its
    // run has ended (after taking down what it shows). With KORVEX_SCREENSHOT_DIR
    // set, the ended window is also saved there as `picture` (the pictures of the
    // README, made by scripts/screenshots.sh).
    // `readBack`: the download window's "Read back and compare" is set so first.
    WindowEnd runTransfer(MainWindow& w, Cmd command, const QString& picture = QString(),
                          std::optional<bool> readBack = std::nullopt) {
        WindowEnd end;
        bool started = false;
        bool finished = false;
        QTimer driver;
        driver.setInterval(20);
        connect(&driver, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* ports = qobject_cast<PortDialog*>(modal)) {
                ports->okButton()->click();
            } else if (auto* window = qobject_cast<TransferWindow*>(modal)) {
                if (!started) {
                    started = true;
                    connect(window, &TransferWindow::runFinished, this, [&finished] { finished = true; });
                    if (auto* download = qobject_cast<DownloadWindow*>(window); download && readBack)
                        download->readBackPanel()->checkBox()->setChecked(*readBack);
                    window->startButton()->click();
                } else if (finished && !end.seen) {
                    end.seen = true;
                    end.title = window->titleText();
                    end.status = window->statusText();
                    for (int line = 0; line < 7; ++line) {
                        end.ticks.append(window->tickShown(line));
                        end.lines.append(window->lineShown(line) ? window->lineText(line) : QString());
                    }
                    end.startEnabled = window->startButton()->isEnabled();
                    end.portOpen = window->portOpen();
                    if (auto* download = qobject_cast<DownloadWindow*>(window)) {
                        const ReadBackPanel* panel = download->readBackPanel();
                        end.readBackShown = panel->resultShown();
                        end.readBackSummary = panel->differences()->summary()->text();
                        const QTreeWidget* list = panel->differences()->list();
                        for (int i = 0; i < list->topLevelItemCount(); ++i) {
                            const QTreeWidgetItem* item = list->topLevelItem(i);
                            end.readBackRows.append(item->text(0) + QLatin1Char('|') + item->text(2) +
                                                    QLatin1Char('|') + item->text(3));
                        }
                    }
                    const QString shots = qEnvironmentVariable("KORVEX_SCREENSHOT_DIR");
                    if (!shots.isEmpty() && !picture.isEmpty())
                        window->grab().save(QDir(shots).filePath(picture), "PNG");
                    window->exitButton()->click();
                }
            }
        });
        driver.start();
        w.action(command)->trigger();
        return end;
    }

    // korvex-cli frames of a kind-3 project with nodes 5 and 7: what a gateway
    // holds after that project was downloaded.
    QString framesOfTwoNodeProject() {
        Project p;
        resetToDefaults(p, 3);
        addDefaultNode(p);
        SubnetConfig& s = p.subnet(0);
        s.nodes[0] = {"5", "Node-5"};
        s.nodes[1] = {"7", "Node-7"};
        s.nodeCount = 2;
        s.commands[0].slaveAddress = "5";
        s.commands[1].slaveAddress = "5";
        s.commands[2] = s.commands[1];
        s.commands[2].slaveAddress = "7";
        s.commands[2].mappingAddress = "40";
        s.commands[2].dataCount = "3";  // function 16: 6 bytes
        s.commands[2].nodeIndex = 2;
        s.commandCount = 3;
        const QString kvx = dir_->filePath(QStringLiteral("two-nodes.kvx"));
        if (writeProject(toPathBytes(kvx), p)) return {};
        QProcess cli;
        cli.start(QStringLiteral(KORVEX_CLI), {QStringLiteral("frames"), kvx});
        if (!cli.waitForFinished(10000) || cli.exitCode() != 0) return {};
        const QString frames = dir_->filePath(QStringLiteral("two-nodes.frames"));
        QFile out(frames);
        if (!out.open(QIODevice::WriteOnly)) return {};
        out.write(cli.readAllStandardOutput());
        return frames;
    }

private slots:
    void initTestCase() {
        // The remembered "Read back and compare" goes to settings of this run only.
        settingsHome_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", settingsHome_->path().toLocal8Bit());
    }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        ui_ = std::make_unique<WatchingUi>();
        recent_ = std::make_unique<RecentFiles>(false);
    }

    void downloadsANewProjectWithThreeTicks() {
        Simulator sim({QStringLiteral("--device-type"), QStringLiteral("4"), QStringLiteral("--firmware"),
                       QStringLiteral("6.0")});
        QVERIFY(!sim.path().isEmpty());
        auto w = openWindow(sim.path());

        const WindowEnd end = runTransfer(*w, Cmd::Download, QStringLiteral("download-window.png"));

        QVERIFY2(end.seen, qPrintable(ui_->boxTexts().join(QLatin1Char('|'))));
        QCOMPARE(end.status, qtext(texts::DownloadSuccessful));
        QCOMPARE(end.title, QString());
        QCOMPARE(end.ticks.mid(0, 3), (QList<bool>{true, true, true}));
        QCOMPARE(end.lines.at(0), qtext(texts::DownloadStepProfibus));
        QCOMPARE(end.lines.at(2), qtext(texts::DownloadStepSubnetCommand));
        // Firmware 6: into configuration state first, back to communication at the
        // end; both questions asked in the window and answered Yes.
        QCOMPARE(ui_->boxTexts(), (QStringList{qtext(texts::ConfigurationStateQuestion),
                                               qtext(texts::StartCommunicationQuestion)}));
        QVERIFY(!end.portOpen);  // closed at the end of the download
        QVERIFY(end.startEnabled);
        // The last question comes while the transfer is still running on its
        // thread: the window answered it, and had already ticked every step and
        // shown the success as they happened.
        const WatchingUi::Asked& last = ui_->asked.last();
        QVERIFY(last.inTransferWindow);
        QVERIFY(last.running);
        QCOMPARE(last.ticks, (QList<bool>{true, true, true}));
        QCOMPARE(last.status, qtext(texts::DownloadSuccessful));
    }

    void uploadRebuildsTheTreeWithTheGatewaysNodes() {
        const QString frames = framesOfTwoNodeProject();
        QVERIFY(!frames.isEmpty());
        Simulator sim({QStringLiteral("--device-type"), QStringLiteral("4"), QStringLiteral("--firmware"),
                       QStringLiteral("6.0"), QStringLiteral("--frames"), frames});
        QVERIFY(!sim.path().isEmpty());
        auto w = openWindow(sim.path());
        QVERIFY(w->selectPath(QStringLiteral("Subnet/Node-1")));

        const WindowEnd end = runTransfer(*w, Cmd::Upload, QStringLiteral("upload-window.png"));

        QVERIFY2(end.seen, qPrintable(ui_->boxTexts().join(QLatin1Char('|'))));
        QCOMPARE(end.status, qtext(texts::UploadSuccessful));
        QCOMPARE(end.ticks.mid(0, 3), (QList<bool>{true, true, true}));
        QVERIFY(ui_->boxes.isEmpty());
        const SubnetConfig& s = w->project().subnet(0);
        QCOMPARE(s.nodeCount, 2);
        QCOMPARE(s.commandCount, 3);
        // The byte counts are recomputed from the uploaded data counts.
        QCOMPARE(QString::fromStdString(s.commands[2].byteCount), QStringLiteral("6"));
        QVERIFY(w->project().modified);
        QVERIFY(w->selectPath(QStringLiteral("Subnet/Node-5")));
        QVERIFY(w->selectPath(QStringLiteral("Subnet/Node-7")));
        QVERIFY(!w->selectPath(QStringLiteral("Subnet/Node-1")));
    }

    // Compare with Gateway: the upload goes into memory, the differences window
    // lists what the gateway holds otherwise, the open project is untouched.
    void compareWithGatewayListsWithoutTouchingTheProject() {
        const QString frames = framesOfTwoNodeProject();
        QVERIFY(!frames.isEmpty());
        Simulator sim({QStringLiteral("--device-type"), QStringLiteral("4"), QStringLiteral("--firmware"),
                       QStringLiteral("6.0"), QStringLiteral("--frames"), frames});
        QVERIFY(!sim.path().isEmpty());
        auto w = openWindow(sim.path());
        const Project before = w->project();

        const WindowEnd end = runTransfer(*w, Cmd::CompareWithGateway);

        QVERIFY2(end.seen, qPrintable(ui_->boxTexts().join(QLatin1Char('|'))));
        QCOMPARE(end.ticks.mid(0, 3), (QList<bool>{true, true, true}));
        CompareWindow* list = w->compareWindow();
        QVERIFY(list);
        QCOMPARE(list->list()->headerItem()->text(3), qtext(texts::CompareColumnGateway));
        // The gateway's nodes 5 and 7 against the project's node 1.
        QStringList rows;
        for (int i = 0; i < list->list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->list()->topLevelItem(i);
            rows.append(item->text(0) + QLatin1Char('|') + item->text(2) + QLatin1Char('|') + item->text(3));
        }
        QVERIFY2(rows.contains(QStringLiteral("Subnet/Node-1|present|absent")), qPrintable(rows.join(QLatin1Char(';'))));
        QVERIFY2(rows.contains(QStringLiteral("Subnet/Node-7|absent|present")), qPrintable(rows.join(QLatin1Char(';'))));
        QCOMPARE(w->project().subnet(0).nodeCount, before.subnet(0).nodeCount);
        QCOMPARE(w->project().subnet(0).commands[0].slaveAddress, before.subnet(0).commands[0].slaveAddress);
        QVERIFY(!w->project().modified);
        list->close();
    }

    // "Read back and compare": after the download the same port reads the
    // gateway back into memory, and the window says it holds the project.
    void downloadReadsBackAndSaysTheGatewayHoldsTheProject() {
        Simulator sim({QStringLiteral("--device-type"), QStringLiteral("4"), QStringLiteral("--firmware"),
                       QStringLiteral("6.0")});
        QVERIFY(!sim.path().isEmpty());
        auto w = openWindow(sim.path());
        const std::vector<std::uint8_t> before = projectFileBytes(w->project());

        const WindowEnd end = runTransfer(*w, Cmd::Download, QStringLiteral("download-read-back.png"), true);

        QVERIFY2(end.seen, qPrintable(ui_->boxTexts().join(QLatin1Char('|'))));
        QCOMPARE(end.status, qtext(texts::DownloadSuccessful));
        QCOMPARE(end.ticks.mid(0, 3), (QList<bool>{true, true, true}));
        QVERIFY(end.readBackShown);
        QCOMPARE(end.readBackSummary, qtext(texts::CompareGatewaySame));
        QVERIFY(end.readBackRows.isEmpty());
        QVERIFY(!end.portOpen);  // closed after the read-back as after a download
        QVERIFY(projectFileBytes(w->project()) == before);

        // Remembered: the next window starts with the box checked.
        DownloadWindow again(w.get(), w->project(), MappingState{}, nullptr, *ui_, noOpener_);
        QVERIFY(again.readBackPanel()->checkBox()->isChecked());
        again.readBackPanel()->checkBox()->setChecked(false);
    }

    // A gateway that acknowledges the subnet parameters but keeps the ones it
    // had (zeros): the read-back lists what it does not hold.
    void readBackListsWhatTheGatewayDidNotKeep() {
        Simulator sim({QStringLiteral("--device-type"), QStringLiteral("4"), QStringLiteral("--firmware"),
                       QStringLiteral("6.0"), QStringLiteral("--fault"), QStringLiteral("03=forget")});
        QVERIFY(!sim.path().isEmpty());
        auto w = openWindow(sim.path());

        const WindowEnd end = runTransfer(*w, Cmd::Download, QString(), true);

        QVERIFY2(end.seen, qPrintable(ui_->boxTexts().join(QLatin1Char('|'))));
        QCOMPARE(end.status, qtext(texts::DownloadSuccessful));
        QVERIFY(end.readBackShown);
        QCOMPARE(end.readBackSummary, qtext(Message{texts::CompareDifferenceCount, {"2"}}));
        // Item|Project|Gateway: the response timeout and the scan rate.
        QCOMPARE(end.readBackRows, (QStringList{QStringLiteral("Subnet|300|0"), QStringLiteral("Subnet|10|0")}));

        // Unchecked, a download reads nothing back.
        const WindowEnd plain = runTransfer(*w, Cmd::Download, QString(), false);
        QVERIFY(plain.seen);
        QVERIFY(!plain.readBackShown);
    }

    void refusesAGatewayOfAnotherType() {
        Simulator sim({QStringLiteral("--device-type"), QStringLiteral("1"), QStringLiteral("--firmware"),
                       QStringLiteral("6.0")});
        QVERIFY(!sim.path().isEmpty());
        auto w = openWindow(sim.path());
        const std::vector<std::uint8_t> before = projectFileBytes(w->project());

        const WindowEnd end = runTransfer(*w, Cmd::Download);

        QVERIFY(end.seen);
        QCOMPARE(ui_->boxTexts(), QStringList{qtext(texts::DeviceTypeMismatch)});
        QCOMPARE(end.ticks, (QList<bool>{false, false, false, false, false, false, false}));
        QCOMPARE(end.title, qtext(texts::DownloadRunning));
        QVERIFY(!end.portOpen);
        QVERIFY(end.startEnabled);
        QVERIFY(projectFileBytes(w->project()) == before);
    }

    void aGatewayThatStopsAnsweringEndsTheStepAndTheWindowStaysUsable() {
        // The gateway takes the parameters but never acknowledges a command.
        Simulator sim({QStringLiteral("--device-type"), QStringLiteral("4"), QStringLiteral("--firmware"),
                       QStringLiteral("5.2"), QStringLiteral("--fault"), QStringLiteral("10=silent")});
        QVERIFY(!sim.path().isEmpty());
        auto w = openWindow(sim.path());

        const WindowEnd end = runTransfer(*w, Cmd::Download);

        QVERIFY(end.seen);
        QCOMPARE(ui_->boxTexts(), QStringList{qtext(Message{texts::CommandFailed, {"0"}})});
        QCOMPARE(end.ticks.mid(0, 3), (QList<bool>{true, true, false}));
        QVERIFY(end.startEnabled);
        QVERIFY(end.portOpen);  // kept for the next attempt
    }
};

QTEST_MAIN(TransferWindowsTest)
#include "transfer_windows_test.moc"
