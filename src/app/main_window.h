#pragma once
// The main window: menu, tool bar, status bar, the property grid in the middle,
// the "Configuration tree" pane on the left and the "Prompt information" pane at
// the bottom. It holds the one Project and the EditorSession over it, routes
// every command to one call, and shows what the session computed.
#include <cstdint>
#include <vector>

#include "app/mapping_commands.h"
#include "net/ethernet_target.h"
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>

#include "app/command_rules.h"
#include "app/compare_window.h"
#include "app/qt_operator.h"
#include "app/recent_files.h"
#include "app/select_command_dialog.h"
#include "app/ui_services.h"
#include "editor/editor_session.h"
#include "model/project.h"
#include "serial/port_choice.h"
#include "serial/port_open.h"

class QAction;
class QDockWidget;
class QSettings;
class QLabel;
class QMenu;
class QToolBar;

namespace korvex::app {

class ConfigTree;
class PromptPane;
struct SerialCommandContext;
class PropertyGrid;

// The commands of the menu, tool bar and accelerators.
enum class Cmd {
    New,
    Open,
    Save,
    SaveAs,
    Exit,
    AddNode,
    DeleteNode,
    AddCommand,
    DeleteCommand,
    SerialConnection,
    Upload,
    Download,
    ConflictDetection,
    ExportExcel,
    Content,
    Debug,
    EthernetConnection,
    CalculateMapping,
    ViewTree,
    ViewPrompt,
    EditBaseAddress,
    CancelBaseAddress,
    CompareWithFile,
    CompareWithGateway,
    About,
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(UiServices& ui, RecentFiles& recent, QWidget* parent = nullptr);
    ~MainWindow() override;

    // ---- Document lifecycle ----
    // A new project: defaults, the default node for the first New of the run.
    void newProject();
    // Reads path into the project; on failure the message is shown, the open
    // project stays as it was and false is returned.
    bool openFile(const QString& path);
    const QString& documentPath() const { return documentPath_; }

    // Selects the tree item named by its text path ("Subnet/Node-1/..."); false
    // when no item matches.
    bool selectPath(const QString& utf8Path);
    // Selects a tree item and marks a row of its grid (-1: none), as a double
    // click in the compare window does.
    void selectItemAndRow(const ItemPath& item, int row);

    // ---- Geometry and panes kept between runs ----
    // Takes the remembered geometry (when it fits a screen), maximised state and
    // pane layout; true when any of it was used.
    bool restoreLayout(QSettings& settings);
    void saveLayout(QSettings& settings) const;

    // ---- Parts, for tests and scripted checks ----
    Project& project() { return project_; }
    EditorSession& session() { return *session_; }
    ConfigTree* tree() const { return tree_; }
    PropertyGrid* grid() const { return grid_; }
    PromptPane* prompt() const { return prompt_; }
    QDockWidget* treeDock() const { return treeDock_; }
    QDockWidget* promptDock() const { return promptDock_; }
    QToolBar* toolBar() const { return toolBar_; }
    QMenu* recentMenuAnchor() const { return fileMenu_; }
    QAction* action(Cmd id) const;
    SelectCommandDialog* selectCommandDialog() const { return selectCommand_; }
    CompareWindow* compareWindow() const { return compareWindow_; }
    const QList<QAction*>& recentActions() const { return recentActions_; }
    bool mappingToolsEnabled() const { return frameFlags_.mappingToolsEnabled; }

    // ---- Serial ports ----
    // The run's port choice and line settings (not saved in the project).
    serial::SerialPorts& serialPorts() { return serialPorts_; }
    // Ports added by hand (--serial-port, KORVEX_SERIAL_PORTS); listed first.
    void addSerialPorts(const QStringList& paths);
    // Where the system's ports come from (tests pass a fixed list).
    void setPortSource(serial::PortSource* source);
    // Rebuilds the port lists (start-up and New).
    void enumerateSerialPorts();
    // How ports are opened (tests pass a stand-in; null: the real ports).
    void setPortOpener(serial::PortOpener* opener);

    // Re-reads the enabling of every command.
    void updateCommandStates();
    // After a tool changed the project outside the session (automatic mapping,
    // base addresses, an upload): the tree rebuilt from the project, first item
    // shown, every command re-evaluated.
    void rebuildFromProject();

public slots:
    // File
    void onNew();
    void onOpen();
    void onSave();
    void onSaveAs();
    void onOpenRecent(int index);
    // Edit (menu variants) and the tree menu
    void onAddNode();
    void onDeleteNode();
    void onAddCommand();
    void onDeleteCommand();
    void onTreeAddNode();
    void onTreeDeleteNode();
    void onTreeDeleteCommand();
    void onCopyNode();
    void onPasteNode();
    // Tools: each hands the command to the tool that carries it out.
    void onSerialConnection();
    void onEthernetConnection();
    void onUpload();
    void onDownload();
    void onConflictDetection();
    void onExportExcel();
    void onDebug();
    void onCalculateMapping();
    void onEditBaseAddress();
    void onCancelBaseAddress();
    void onCompareWithFile();
    void onCompareWithGateway();
    // Shows a comparison in the differences window (replacing one still open).
    void showComparison(CompareWindow* window);
    // View and Help
    void onToggleTree();
    void onTogglePrompt();
    void onContent();
    void onAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createPanes();
    // Once, for the first project shown: the tree pane as wide as its longest
    // item text (a remembered layout or the user's own width is kept).
    void fitTreePane();
    void updateLockIndicators();
    QAction* addCommand(Cmd id, const Text& text, const char* icon, void (MainWindow::*slot)());
    void rebuildRecentMenu();

    // Shows what a session call changed and re-evaluates the commands.
    void apply(const Changes& changes);
    void refreshAll();
    // Commits a pending in-place edit before a command or a click elsewhere.
    void commitPendingEdit();
    void notAvailable();
    SerialCommandContext serialContext();
    // After a data-mapping command: hand the PLC mode to the session, mark the
    // project modified when its saved form changed, rebuild tree and grid.
    void afterMappingCommand(const std::vector<std::uint8_t>& savedFormBefore);
    std::vector<std::uint8_t> savedForm() const;

    // Saving and the "Save Configuration" question.
    bool saveTo(const QString& path, bool adoptPath);
    QString askSavePath();
    // Asks about unsaved changes before they would be lost; false: stay.
    bool confirmDiscard();
    void showError(const Message& message);

    // Grid and tree events.
    void onCellClicked(int row, int column);
    void onEditFinished(const QString& text);
    void onChoiceMade(int index);
    void onItemSelected(const ItemPath& path);
    void onItemRenamed(const ItemPath& path, const QString& text);
    void onTreeContextMenu(const ItemPath& path, const QPoint& globalPos);
    void openSelectCommand();

    UiServices& ui_;
    RecentFiles& recent_;
    Project project_;
    QtOperator operator_;
    std::unique_ptr<EditorSession> session_;
    FrameFlags frameFlags_;
    MappingProgramState mapping_;  // PLC mode and mapping state, kept across New and Open
    bool defaultNodeAdded_ = false;
    net::EthernetTarget ethernetTarget_;  // the Ethernet link state, kept for the whole run
    bool treePaneFitted_ = false;
    // The item whose rows the grid shows, to start a new selection at the top.
    ItemPath shownItem_;
    bool shownItemValid_ = false;
    QString documentPath_;

    ConfigTree* tree_ = nullptr;
    PropertyGrid* grid_ = nullptr;
    PromptPane* prompt_ = nullptr;
    QDockWidget* treeDock_ = nullptr;
    QDockWidget* promptDock_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QAction* exitSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QList<QLabel*> lockIndicators_;  // caps, num, scroll
    std::map<Cmd, QAction*> actions_;
    QPointer<SelectCommandDialog> selectCommand_;
    QPointer<CompareWindow> compareWindow_;

    serial::SerialPorts serialPorts_;
    std::unique_ptr<serial::PortSource> systemPorts_;
    serial::PortSource* portSource_ = nullptr;
    std::unique_ptr<serial::PortOpener> systemOpener_;
    serial::PortOpener* portOpener_ = nullptr;
    // Whether the gateway lets Korvex configure it from afar; the device search
    // of the EtherNet/IP variant will set it. Until then it stays true.
    bool remoteConfigAllowed_ = true;
};

}  // namespace korvex::app
