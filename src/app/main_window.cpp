#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/about_dialog.h"
#include "app/compare_command.h"
#include "app/config_tree.h"
#include "app/ethernet_commands.h"
#include "app/export_command.h"
#include "app/lock_indicators.h"
#include "app/monitor/monitor_commands.h"
#include "app/prompt_pane.h"
#include "app/property_grid.h"
#include "app/qt_text.h"
#include "app/select_command_dialog.h"
#include "app/window_layout.h"
#include "compare/gateway_image.h"
#include "app/transfer/transfer_commands.h"
#include "io/port_list.h"
#include "io/port_opener.h"
#include "model/kvx_file.h"
#include "model/texts.h"

namespace korvex::app {

namespace {

constexpr QSize kInitialSize(1440, 768);
constexpr QSize kMinimumSize(1050, 700);
constexpr QSize kToolButtonSize(90, 60);
constexpr int kPromptHeight = 240;
// The tree pane never takes more than this share of the window's width.
constexpr double kTreeShareMax = 0.45;

// Menu text without the mnemonic marks and the shortcut part, for tips.
QString plainText(const Text& t) {
    QString s = qtext(t);
    s = s.section(QLatin1Char('\t'), 0, 0);
    s.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    s.remove(QLatin1Char('&'));
    return s.trimmed();
}

}  // namespace

MainWindow::MainWindow(UiServices& ui, RecentFiles& recent, QWidget* parent)
    : QMainWindow(parent), ui_(ui), recent_(recent), operator_(ui, this) {
    setObjectName(QStringLiteral("mainWindow"));
    session_ = std::make_unique<EditorSession>(project_, operator_);
    systemPorts_ = std::make_unique<io::SystemPortSource>();
    portSource_ = systemPorts_.get();
    systemOpener_ = std::make_unique<io::SerialPortOpener>();
    portOpener_ = systemOpener_.get();
    setWindowTitle(qtext(texts::AppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/korvex.svg")));
    // The usual sizes, made smaller where the screen's available area is smaller
    // (a high scale factor shrinks it in logical pixels), so the whole window,
    // title bar included, is on the screen and can be made to fit.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), kInitialSize + kFrameAllowance);
    setMinimumSize(fittedSize(kMinimumSize, area.size()));
    setGeometry(centredGeometry(kInitialSize, area));

    grid_ = new PropertyGrid(this);
    setCentralWidget(grid_);
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createPanes();

    connect(grid_, &PropertyGrid::cellClickedAt, this, &MainWindow::onCellClicked);
    connect(grid_, &PropertyGrid::editFinished, this, &MainWindow::onEditFinished);
    connect(grid_, &PropertyGrid::choiceMade, this, &MainWindow::onChoiceMade);
    connect(grid_, &PropertyGrid::listClosed, this, [this] { apply(session_->closeList()); });
    // Escape: the editor closes and the stored value stays.
    connect(grid_, &PropertyGrid::editCancelled, this, [this] { apply(session_->hideEditors()); });
    connect(grid_, &PropertyGrid::viewResized, this, [this] {
        if (session_->editor().kind != EditorKind::None) apply(session_->hideEditors());
    });
    connect(tree_, &ConfigTree::itemSelected, this, &MainWindow::onItemSelected);
    connect(tree_, &ConfigTree::itemRenamed, this, &MainWindow::onItemRenamed);
    connect(tree_, &ConfigTree::contextMenuAt, this, &MainWindow::onTreeContextMenu);

    // A click anywhere else first ends a pending edit, so its value is
    // committed before the click takes effect.
    qApp->installEventFilter(this);
    updateCommandStates();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The panes report their hiding while the base class tears the window down,
    // after this class's members are gone.
    treeDock_->disconnect(this);
    promptDock_->disconnect(this);
    grid_->disconnect(this);
    tree_->disconnect(this);
}

// ---------------------------------------------------------------- creation

QAction* MainWindow::addCommand(Cmd id, const Text& text, const char* icon, void (MainWindow::*slot)()) {
    auto* a = new QAction(qtext(text), this);
    a->setObjectName(QStringLiteral("cmd%1").arg(static_cast<int>(id)));
    a->setData(static_cast<int>(id));
    if (icon) a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    a->setStatusTip(plainText(text));
    if (slot) connect(a, &QAction::triggered, this, slot);
    actions_[id] = a;
    return a;
}

QAction* MainWindow::action(Cmd id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::createActions() {
    addCommand(Cmd::New, texts::CmdNew, "new", &MainWindow::onNew);
    addCommand(Cmd::Open, texts::CmdOpen, "open", &MainWindow::onOpen);
    addCommand(Cmd::Save, texts::CmdSave, "save", &MainWindow::onSave);
    addCommand(Cmd::SaveAs, texts::CmdSaveAs, nullptr, &MainWindow::onSaveAs);
    addCommand(Cmd::Exit, texts::CmdExit, nullptr, nullptr);
    connect(action(Cmd::Exit), &QAction::triggered, this, &QWidget::close);
    addCommand(Cmd::AddNode, texts::CmdAddNode, "add-node", &MainWindow::onAddNode);
    addCommand(Cmd::DeleteNode, texts::CmdDeleteNode, "delete-node", &MainWindow::onDeleteNode);
    addCommand(Cmd::AddCommand, texts::CmdAddCommand, "add-command", &MainWindow::onAddCommand);
    addCommand(Cmd::DeleteCommand, texts::CmdDeleteCommand, "delete-command", &MainWindow::onDeleteCommand);
    addCommand(Cmd::SerialConnection, texts::CmdSerialConnection, nullptr, &MainWindow::onSerialConnection);
    addCommand(Cmd::EthernetConnection, texts::CmdEthernetConnection, nullptr, &MainWindow::onEthernetConnection);
    addCommand(Cmd::Upload, texts::CmdUpload, "upload", &MainWindow::onUpload);
    addCommand(Cmd::Download, texts::CmdDownload, "download", &MainWindow::onDownload);
    addCommand(Cmd::ConflictDetection, texts::CmdConflictDetection, "conflict", &MainWindow::onConflictDetection);
    addCommand(Cmd::ExportExcel, texts::CmdExportExcel, "export", &MainWindow::onExportExcel);
    addCommand(Cmd::Debug, texts::CmdDebug, "debug", &MainWindow::onDebug);
    addCommand(Cmd::CalculateMapping, texts::CmdCalculateMapping, "automap", &MainWindow::onCalculateMapping);
    addCommand(Cmd::EditBaseAddress, texts::CmdEditBaseAddress, "edit-addr", &MainWindow::onEditBaseAddress);
    addCommand(Cmd::CancelBaseAddress, texts::CmdCancelBaseAddress, "cancel-edit", &MainWindow::onCancelBaseAddress);
    addCommand(Cmd::CompareWithFile, texts::MenuCompareWithFile, nullptr, &MainWindow::onCompareWithFile);
    addCommand(Cmd::CompareWithGateway, texts::MenuCompareWithGateway, nullptr, &MainWindow::onCompareWithGateway);
    addCommand(Cmd::ViewTree, texts::CmdViewTree, nullptr, &MainWindow::onToggleTree)->setCheckable(true);
    addCommand(Cmd::ViewPrompt, texts::CmdViewPrompt, nullptr, &MainWindow::onTogglePrompt)->setCheckable(true);
    addCommand(Cmd::Content, texts::CmdContent, nullptr, &MainWindow::onContent);
    addCommand(Cmd::About, texts::CmdAbout, nullptr, &MainWindow::onAbout);

    // The accelerator table. The menu texts carry their own shortcut part where
    // the menu shows one, so the keys are bound here rather than on the actions.
    const std::pair<QKeySequence, Cmd> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), Cmd::New},
        {QKeySequence(Qt::CTRL | Qt::Key_O), Cmd::Open},
        {QKeySequence(Qt::CTRL | Qt::Key_S), Cmd::Save},
        {QKeySequence(Qt::CTRL | Qt::Key_P), Cmd::SerialConnection},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), Cmd::EthernetConnection},
        {QKeySequence(Qt::CTRL | Qt::Key_U), Cmd::Upload},
        {QKeySequence(Qt::CTRL | Qt::Key_D), Cmd::Download},
        {QKeySequence(Qt::CTRL | Qt::Key_T), Cmd::ConflictDetection},
        {QKeySequence(Qt::CTRL | Qt::Key_E), Cmd::ExportExcel},
        {QKeySequence(Qt::CTRL | Qt::Key_K), Cmd::Debug},
        {QKeySequence(Qt::CTRL | Qt::Key_M), Cmd::CalculateMapping},
    };
    for (const auto& [key, id] : keys) {
        auto* shortcut = new QShortcut(key, this);
        QAction* a = action(id);
        connect(shortcut, &QShortcut::activated, a, [a] {
            if (a->isEnabled()) a->trigger();
        });
    }
}

void MainWindow::createMenus() {
    fileMenu_ = menuBar()->addMenu(qtext(texts::MenuFile));
    fileMenu_->addAction(action(Cmd::New));
    fileMenu_->addAction(action(Cmd::Open));
    fileMenu_->addAction(action(Cmd::Save));
    fileMenu_->addAction(action(Cmd::SaveAs));
    recentSeparator_ = fileMenu_->addSeparator();
    exitSeparator_ = fileMenu_->addSeparator();
    fileMenu_->addAction(action(Cmd::Exit));
    rebuildRecentMenu();

    QMenu* edit = menuBar()->addMenu(qtext(texts::MenuEdit));
    for (Cmd id : {Cmd::AddNode, Cmd::DeleteNode, Cmd::AddCommand, Cmd::DeleteCommand}) edit->addAction(action(id));

    QMenu* tools = menuBar()->addMenu(qtext(texts::MenuTools));
    for (Cmd id : {Cmd::SerialConnection, Cmd::EthernetConnection, Cmd::Upload, Cmd::Download,
                   Cmd::ConflictDetection, Cmd::ExportExcel, Cmd::Debug, Cmd::CalculateMapping,
                   Cmd::EditBaseAddress, Cmd::CancelBaseAddress})
        tools->addAction(action(id));
    tools->addSeparator();
    tools->addAction(action(Cmd::CompareWithFile));
    tools->addAction(action(Cmd::CompareWithGateway));

    QMenu* view = menuBar()->addMenu(qtext(texts::MenuView));
    view->addAction(action(Cmd::ViewTree));
    view->addAction(action(Cmd::ViewPrompt));

    QMenu* help = menuBar()->addMenu(qtext(texts::MenuHelp));
    help->addAction(action(Cmd::Content));
    help->addAction(action(Cmd::About));
}

void MainWindow::rebuildRecentMenu() {
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    const QStringList& entries = recent_.entries();
    if (entries.isEmpty()) {
        auto* placeholder = new QAction(qtext(texts::CmdRecentFileNone), this);
        placeholder->setEnabled(false);
        recentActions_.append(placeholder);
    }
    for (int i = 0; i < entries.size(); ++i) {
        auto* a = new QAction(recentEntryText(i, entries.at(i)), this);
        a->setData(i);  // the entry's position in the list
        a->setStatusTip(entries.at(i));
        connect(a, &QAction::triggered, this, [this, i] { onOpenRecent(i); });
        recentActions_.append(a);
    }
    fileMenu_->insertActions(exitSeparator_, recentActions_);
}

void MainWindow::createToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Standard"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(32, 32));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const std::pair<Cmd, Text> buttons[] = {
        {Cmd::New, texts::TbNew},
        {Cmd::Save, texts::TbSave},
        {Cmd::Open, texts::TbOpen},
        {Cmd::AddNode, texts::TbAddNode},
        {Cmd::DeleteNode, texts::TbDeleteNode},
        {Cmd::AddCommand, texts::TbAddCommand},
        {Cmd::DeleteCommand, texts::TbDeleteCommand},
        {Cmd::Upload, texts::TbUpload},
        {Cmd::Download, texts::TbDownload},
        {Cmd::CalculateMapping, texts::TbAutoMap},
        {Cmd::ConflictDetection, texts::TbConflict},
        {Cmd::ExportExcel, texts::TbExport},
        {Cmd::Debug, texts::TbDebug},
        {Cmd::EditBaseAddress, texts::TbEditAddr},
        {Cmd::CancelBaseAddress, texts::TbCancelEdit},
    };
    for (const auto& [id, caption] : buttons) {
        QAction* a = action(id);
        a->setIconText(qtext(caption));
        a->setToolTip(qtext(caption));
        toolBar_->addAction(a);
        if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(a))) {
            button->setFixedSize(kToolButtonSize);
            button->setObjectName(QStringLiteral("tb%1").arg(static_cast<int>(id)));
        }
    }
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    // The lock indicators read greyed while their lock is off (or its state is
    // unknown on this windowing system).
    for (const Text& t : {texts::IndicatorCaps, texts::IndicatorNum, texts::IndicatorScroll}) {
        auto* label = new QLabel(qtext(t), bar);
        label->setObjectName(fromUtf8(t.key));
        label->setEnabled(false);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(70);
        label->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(label);
        lockIndicators_.append(label);
    }
    updateLockIndicators();
    // The message pane shows "Ready" whenever no prompt is shown.
    const QString ready = qtext(texts::StatusReady);
    connect(bar, &QStatusBar::messageChanged, bar, [bar, ready](const QString& message) {
        if (message.isEmpty()) bar->showMessage(ready);
    });
    bar->showMessage(ready);
}

void MainWindow::updateLockIndicators() {
    const std::optional<LockStates> states = readLockStates();
    if (!states || lockIndicators_.size() != 3) return;
    lockIndicators_[0]->setEnabled(states->caps);
    lockIndicators_[1]->setEnabled(states->num);
    lockIndicators_[2]->setEnabled(states->scroll);
}

void MainWindow::createPanes() {
    setDockNestingEnabled(false);
    setCorner(Qt::BottomLeftCorner, Qt::BottomDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::BottomDockWidgetArea);

    tree_ = new ConfigTree(this);
    treeDock_ = new QDockWidget(qtext(texts::PaneTree), this);
    treeDock_->setObjectName(QStringLiteral("treeDock"));
    treeDock_->setWidget(tree_);
    addDockWidget(Qt::LeftDockWidgetArea, treeDock_);

    prompt_ = new PromptPane(this);
    promptDock_ = new QDockWidget(qtext(texts::PanePrompt), this);
    promptDock_->setObjectName(QStringLiteral("promptDock"));
    promptDock_->setWidget(prompt_);
    addDockWidget(Qt::BottomDockWidgetArea, promptDock_);

    resizeDocks({treeDock_}, {280}, Qt::Horizontal);
    // A quarter of a small window at most, so the grid keeps most of it.
    resizeDocks({promptDock_}, {std::min(kPromptHeight, height() / 4)}, Qt::Vertical);

    connect(treeDock_, &QDockWidget::visibilityChanged, this,
            [this] { action(Cmd::ViewTree)->setChecked(!treeDock_->isHidden()); });
    connect(promptDock_, &QDockWidget::visibilityChanged, this,
            [this] { action(Cmd::ViewPrompt)->setChecked(!promptDock_->isHidden()); });
    action(Cmd::ViewTree)->setChecked(true);
    action(Cmd::ViewPrompt)->setChecked(true);
}

// ---------------------------------------------------------------- showing

void MainWindow::apply(const Changes& c) {
    if (c.tree || c.selection) tree_->sync(session_->tree(), session_->selectedItem(), c.tree);
    if (c.grid) {
        grid_->showRows(session_->rows());
        // Another item's rows start at the top: the grid may have been scrolled
        // down for the item before, past the few rows this one has.
        if (!shownItemValid_ || shownItem_ != session_->selectedItem()) grid_->scrollToTop();
        shownItem_ = session_->selectedItem();
        shownItemValid_ = true;
    }
    if (c.prompt) prompt_->setHelpText(fromProject(session_->promptText()));
    if (c.editor || c.grid || c.selection) grid_->showEditor(session_->editor());
    // Why a value was put back when no message box said it; the next stored
    // change clears it.
    if (c.refusal) statusBar()->showMessage(fromProject(c.refusal->text()));
    else if (c.project) statusBar()->clearMessage();
    updateCommandStates();
}

void MainWindow::refreshAll() {
    shownItemValid_ = false;
    Changes all;
    all.tree = all.grid = all.selection = all.editor = all.prompt = all.project = all.state = true;
    apply(all);
}

void MainWindow::rebuildFromProject() {
    // The rebuild selects the first root; the item selected before is selected
    // again when it still exists (found by its text path).
    const std::string selected = session_->pathText(session_->selectedItem());
    session_->rebuildTree();
    if (!selected.empty()) {
        if (const auto path = session_->findItem(selected)) session_->selectItem(*path);
    }
    refreshAll();
}

void MainWindow::fitTreePane() {
    if (treePaneFitted_) return;
    treePaneFitted_ = true;
    const int widest = static_cast<int>(width() * kTreeShareMax);
    // The dock's own frame around the tree.
    const int frame = treeDock_->isVisible() ? treeDock_->width() - tree_->width() : 4;
    resizeDocks({treeDock_}, {std::min(widest, tree_->preferredWidth() + std::max(frame, 0))}, Qt::Horizontal);
}

bool MainWindow::restoreLayout(QSettings& settings) {
    const std::optional<RememberedLayout> layout = readRememberedLayout(settings);
    if (!layout) return false;
    bool used = false;
    if (fitsAScreen(layout->geometry, availableScreenAreas())) {
        setGeometry(layout->geometry);
        used = true;
    }
    if (!layout->panes.isEmpty() && restoreState(layout->panes)) {
        treePaneFitted_ = true;
        used = true;
    }
    action(Cmd::ViewTree)->setChecked(!treeDock_->isHidden());
    action(Cmd::ViewPrompt)->setChecked(!promptDock_->isHidden());
    if (layout->maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
        used = true;
    }
    return used;
}

void MainWindow::saveLayout(QSettings& settings) const {
    RememberedLayout layout;
    layout.geometry = normalGeometry();
    layout.maximized = isMaximized();
    layout.panes = saveState();
    writeRememberedLayout(settings, layout);
}

void MainWindow::updateCommandStates() {
    const ViewState& s = session_->state();
    frameFlags_.canAddNode = s.canAddNode;
    frameFlags_.canDeleteNode = s.canDeleteNode;
    frameFlags_.canAddCommand = s.canAddCommand;
    frameFlags_.canDeleteCommand = s.canDeleteCommand;
    frameFlags_.baseAddressEditActive = mapping_.plc.cancelBaseEnabled;
    const CommandEnabling e = commandEnabling(project_, frameFlags_);
    const std::pair<Cmd, bool> states[] = {
        {Cmd::AddNode, e.addNode},
        {Cmd::DeleteNode, e.deleteNode},
        {Cmd::AddCommand, e.addCommand},
        {Cmd::DeleteCommand, e.deleteCommand},
        {Cmd::SerialConnection, e.serialConnection},
        {Cmd::EthernetConnection, e.ethernetConnection},
        {Cmd::Upload, e.upload},
        {Cmd::Download, e.download},
        {Cmd::ConflictDetection, e.conflictDetection},
        {Cmd::ExportExcel, e.exportExcel},
        {Cmd::Debug, e.debug},
        {Cmd::CalculateMapping, e.calculateMapping},
        {Cmd::EditBaseAddress, e.editBaseAddress},
        {Cmd::CancelBaseAddress, e.cancelBaseAddress},
    };
    for (const auto& [id, on] : states) action(id)->setEnabled(on);
}

void MainWindow::commitPendingEdit() {
    if (grid_->editOpen()) grid_->finishEdit();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) updateLockIndicators();
    } else if (event->type() == QEvent::WindowActivate && watched == this) {
        updateLockIndicators();
    }
    if (event->type() == QEvent::MouseButtonPress && grid_ && grid_->editOpen()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // Presses inside this window or one of its panes, docked or floating.
        QWidget* top = widget ? widget->window() : nullptr;
        const bool ours = top == this || (qobject_cast<QDockWidget*>(top) && top->parentWidget() == this);
        if (ours && mouse->button() == Qt::LeftButton && widget != grid_->valueEdit() &&
            !grid_->valueEdit()->isAncestorOf(widget))
            grid_->finishEdit();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showError(const Message& message) { operator_.showMessage(message, Icon::Warning); }

void MainWindow::notAvailable() {
    BoxRequest request;
    request.title = qtext(texts::AppShortName);
    request.text = qtext(texts::CommandNotAvailable);
    request.icon = BoxIcon::Information;
    request.buttons = {qtext(texts::AppButtonOk)};
    ui_.messageBox(this, request);
}

// ---------------------------------------------------------------- lifecycle

void MainWindow::newProject() {
    project_.loadedFromFile = false;
    project_.modified = false;
    project_.fileVersion = kNewProjectFileVersion;
    resetToDefaults(project_);
    if (!defaultNodeAdded_) {
        addDefaultNode(project_);
        defaultNodeAdded_ = true;
    }
    documentPath_.clear();
    frameFlags_.mappingToolsEnabled = true;
    enumerateSerialPorts();
    session_->initialUpdate();
    refreshAll();
    fitTreePane();
}

bool MainWindow::openFile(const QString& path) {
    if (const auto error = openProject(toPathBytes(path), project_, session_->plcAddressing())) {
        showError(*error);
        return false;
    }
    documentPath_ = QFileInfo(path).absoluteFilePath();
    frameFlags_.mappingToolsEnabled = true;
    recent_.add(documentPath_);
    rebuildRecentMenu();
    session_->initialUpdate();
    refreshAll();
    fitTreePane();
    return true;
}

bool MainWindow::saveTo(const QString& path, bool adoptPath) {
    if (const auto error = writeProject(toPathBytes(path), project_, session_->plcAddressing())) {
        showError(*error);
        return false;
    }
    if (adoptPath) {
        documentPath_ = QFileInfo(path).absoluteFilePath();
        recent_.add(documentPath_);
        rebuildRecentMenu();
    }
    updateCommandStates();
    return true;
}

QString MainWindow::askSavePath() {
    const QString suggested =
        documentPath_.isEmpty() ? qtext(texts::AppShortName) + qtext(texts::ProjectExtension) : documentPath_;
    return withProjectExtension(ui_.saveFileName(this, qtext(texts::FileDialogFilter), suggested));
}

bool MainWindow::confirmDiscard() {
    if (!project_.modified) return true;
    BoxRequest request;
    request.title = qtext(texts::SaveConfigurationTitle);
    request.text = qtext(texts::ConfigurationChanged);
    request.icon = BoxIcon::Question;
    request.buttons = {qtext(texts::SaveConfigYes), qtext(texts::SaveConfigNo), qtext(texts::SaveConfigCancel)};
    request.defaultButton = 0;
    request.escapeButton = 2;
    switch (ui_.messageBox(this, request)) {
        case 0: {
            // Saved to the chosen file; cancelling the file dialog or a failed
            // write keeps everything as it was.
            const QString path = askSavePath();
            return !path.isEmpty() && saveTo(path, false);
        }
        case 1: return true;
        default: return false;
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    commitPendingEdit();
    if (confirmDiscard()) {
        if (selectCommand_) selectCommand_->close();
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::onNew() {
    commitPendingEdit();
    if (!confirmDiscard()) return;
    newProject();
}

void MainWindow::onOpen() {
    commitPendingEdit();
    if (!confirmDiscard()) return;
    const QString path = ui_.openFileName(this, qtext(texts::FileDialogFilter));
    if (!path.isEmpty()) openFile(path);
}

void MainWindow::onOpenRecent(int index) {
    commitPendingEdit();
    if (index < 0 || index >= recent_.entries().size()) return;
    const QString path = recent_.entries().at(index);
    if (!confirmDiscard()) return;
    if (!openFile(path)) {
        recent_.remove(path);
        rebuildRecentMenu();
    }
}

void MainWindow::onSave() {
    commitPendingEdit();
    if (documentPath_.isEmpty()) {
        onSaveAs();
        return;
    }
    saveTo(documentPath_, true);
}

void MainWindow::onSaveAs() {
    commitPendingEdit();
    const QString path = askSavePath();
    if (!path.isEmpty()) saveTo(path, true);
}

// ---------------------------------------------------------------- editing

void MainWindow::onItemSelected(const ItemPath& path) { apply(session_->selectItem(path)); }

void MainWindow::onCellClicked(int row, int column) {
    const CellClick click = session_->clickCell(row, column);
    if (click.accepted) prompt_->showInfo();
    apply(click.changes);
}

void MainWindow::onEditFinished(const QString& text) {
    const std::optional<std::string> bytes = toProject(text);
    // The edit box refuses characters without a windows-1252 byte, so this
    // only falls back to the cell's text for input that bypassed it.
    apply(session_->commitEdit(bytes ? *bytes : session_->editor().text));
}

void MainWindow::onChoiceMade(int index) {
    const std::string before = project_.subnet(0).protocolMode;
    const Changes changes = session_->commitChoiceIndex(index);
    // Conflict detection and automatic mapping follow subnet 1's protocol.
    const std::string& after = project_.subnet(0).protocolMode;
    if (after != before) frameFlags_.mappingToolsEnabled = after == texts::ModbusMaster.text;
    apply(changes);
}

void MainWindow::onItemRenamed(const ItemPath& path, const QString& text) {
    const std::optional<std::string> bytes = toProject(text);
    Changes changes = bytes ? session_->renameNode(path, *bytes) : Changes{};
    // The tree shows the session's texts, whatever the editor left in the item.
    changes.tree = true;
    apply(changes);
}

void MainWindow::onTreeContextMenu(const ItemPath& path, const QPoint& globalPos) {
    commitPendingEdit();
    const ContextMenu menu = session_->rightClick(path);
    apply(menu.changes);
    if (!menu.shown) return;
    auto* popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("treeMenu"));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    const std::tuple<Text, bool, void (MainWindow::*)()> entries[] = {
        {texts::CtxAddNode, menu.addNode, &MainWindow::onTreeAddNode},
        {texts::CtxDeleteNode, menu.deleteNode, &MainWindow::onTreeDeleteNode},
        {texts::CtxAddCommand, menu.addCommand, &MainWindow::onAddCommand},
        {texts::CtxDeleteCommand, menu.deleteCommand, &MainWindow::onTreeDeleteCommand},
        {texts::CtxCopyNode, menu.copyNode, &MainWindow::onCopyNode},
        {texts::CtxPasteNode, menu.pasteNode, &MainWindow::onPasteNode},
    };
    for (const auto& [text, enabled, slot] : entries) {
        QAction* a = popup->addAction(qtext(text));
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, slot);
    }
    popup->popup(globalPos);
}

void MainWindow::onAddNode() {
    commitPendingEdit();
    apply(session_->addNode(CommandSource::EditMenu));
}

void MainWindow::onDeleteNode() {
    commitPendingEdit();
    apply(session_->deleteNode(CommandSource::EditMenu));
    grid_->setFocus();
}

void MainWindow::onAddCommand() {
    commitPendingEdit();
    if (!session_->canAddCommand()) return;
    openSelectCommand();
}

void MainWindow::onDeleteCommand() {
    commitPendingEdit();
    apply(session_->deleteCommand());
}

void MainWindow::onTreeAddNode() { apply(session_->addNode(CommandSource::ContextMenu)); }
void MainWindow::onTreeDeleteNode() { apply(session_->deleteNode(CommandSource::ContextMenu)); }
void MainWindow::onTreeDeleteCommand() { apply(session_->deleteCommand()); }
void MainWindow::onCopyNode() { apply(session_->copyNode()); }
void MainWindow::onPasteNode() { apply(session_->pasteNode()); }

void MainWindow::openSelectCommand() {
    if (!selectCommand_) {
        selectCommand_ = new SelectCommandDialog(this, [this](int position) {
            apply(session_->addCommandAt(position));
        });
        selectCommand_->setAttribute(Qt::WA_DeleteOnClose);
    }
    // Window-modal and not blocking: the dialog stays open for several commands.
    selectCommand_->open();
    selectCommand_->raise();
}

// ---------------------------------------------------------------- tools

SerialCommandContext MainWindow::serialContext() {
    return SerialCommandContext{this,      ui_,          operator_,   project_,
                                mapping_,  serialPorts_, *portSource_, *portOpener_};
}

void MainWindow::onSerialConnection() {
    commitPendingEdit();
    runSerialConnection(serialContext());
}

void MainWindow::onEthernetConnection() { runEthernetConnection(this, ethernetTarget_); }

void MainWindow::onUpload() {
    commitPendingEdit();
    if (project_.deviceKind == 4) {
        if (runEthernetUpload(this, project_, ethernetTarget_, operator_)) rebuildFromProject();
        return;
    }
    const CommandEnd end = runUploadCommand(serialContext(), [this] {
        // The gateway's configuration replaces the project: unsaved until saved.
        project_.modified = true;
        rebuildFromProject();
    });
    if (end == CommandEnd::NotBuilt) notAvailable();
}

void MainWindow::onDownload() {
    commitPendingEdit();
    if (project_.deviceKind == 4) {
        const auto before = savedForm();
        runEthernetDownload(this, project_, mapping_, ethernetTarget_, operator_);
        afterMappingCommand(before);
        return;
    }
    bool changed = false;
    const CommandEnd end = runDownloadCommand(serialContext(), remoteConfigAllowed_, changed);
    if (changed) {
        // The automatic mapping repaired overlapping addresses.
        project_.modified = true;
        session_->setPlcAddressing(mapping_.plc.active());
        rebuildFromProject();
    }
    if (end == CommandEnd::NotBuilt) notAvailable();
}

void MainWindow::addSerialPorts(const QStringList& paths) {
    for (const QString& path : paths)
        if (const auto device = serial::typedDevicePath(toPathBytes(path)))
            serial::addPort(serialPorts_.addedPorts, *device);
}

void MainWindow::setPortSource(serial::PortSource* source) {
    portSource_ = source ? source : systemPorts_.get();
}

void MainWindow::enumerateSerialPorts() {
    serial::enumerateSerialPorts(serialPorts_, *portSource_, project_.deviceKind);
}

void MainWindow::setPortOpener(serial::PortOpener* opener) {
    portOpener_ = opener ? opener : systemOpener_.get();
}

void MainWindow::onDebug() {
    commitPendingEdit();
    runDebugCommand(DebugCommandContext{serialContext(), ethernetTarget_, udpSocketFactory()});
}

void MainWindow::onConflictDetection() {
    commitPendingEdit();
    const auto before = savedForm();
    runConflictDetection(this, project_, mapping_, operator_);
    afterMappingCommand(before);
}

void MainWindow::onExportExcel() {
    commitPendingEdit();
    runExportExcel(this, ui_, project_, mapping_.plc.plcAddressMode);
}

void MainWindow::onCalculateMapping() {
    commitPendingEdit();
    const auto before = savedForm();
    if (runCalculateMapping(project_, mapping_, operator_)) afterMappingCommand(before);
}

void MainWindow::onEditBaseAddress() {
    commitPendingEdit();
    const auto before = savedForm();
    if (runEditBaseAddressCommand(this, project_, mapping_, operator_)) afterMappingCommand(before);
}

void MainWindow::onCancelBaseAddress() {
    commitPendingEdit();
    const auto before = savedForm();
    runCancelBaseAddress(project_, mapping_);
    afterMappingCommand(before);
}

std::vector<std::uint8_t> MainWindow::savedForm() const {
    return projectFileBytes(project_, mapping_.plc.active());
}

void MainWindow::afterMappingCommand(const std::vector<std::uint8_t>& savedFormBefore) {
    session_->setPlcAddressing(mapping_.plc.active());
    // Recalculated or defaulted addresses are edits like any other: without the
    // flag, closing would drop them without asking.
    if (savedForm() != savedFormBefore) project_.modified = true;
    rebuildFromProject();
}

// ---------------------------------------------------------------- view and help

void MainWindow::onToggleTree() { treeDock_->setVisible(treeDock_->isHidden()); }
void MainWindow::onTogglePrompt() { promptDock_->setVisible(promptDock_->isHidden()); }

void MainWindow::onContent() {
    if (ui_.isOnline()) {
        if (!ui_.openUrl(QUrl(qtext(texts::ProductPage)))) {
            // Why, and the address to open by hand.
            const Text& why = ui_.hasLauncher() ? texts::HelpLauncherFailed : texts::HelpNoLauncher;
            operator_.showMessage(
                Message{texts::HelpOpenFailedWhy, {texts::HelpOpenFailed.str(), why.str(), texts::ProductPage.str()}});
        }
        return;
    }
    operator_.showMessage(Message{texts::NetworkDisconnected, {}}, Icon::Warning);
}

void MainWindow::onAbout() {
    auto* about = new AboutDialog(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

void MainWindow::onCompareWithFile() {
    commitPendingEdit();
    showComparison(runCompareWithFile(this, ui_, operator_, project_, session_->plcAddressing()));
}

void MainWindow::onCompareWithGateway() {
    commitPendingEdit();
    const auto show = [this](const CompareResult& result) {
        auto* window = new CompareWindow(this, CompareWindow::Against::Gateway);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showResult(result);
        window->show();
        showComparison(window);
    };
    if (usesEthernetTransfer(project_)) {
        runCompareWithEthernetGateway(this, project_, mapping_.plc.active(), ethernetTarget_, operator_, show);
        return;
    }
    if (runCompareWithGateway(serialContext(), show) == CommandEnd::NotBuilt) notAvailable();
}

void MainWindow::showComparison(CompareWindow* window) {
    if (!window) return;
    if (compareWindow_ && compareWindow_ != window) compareWindow_->close();
    compareWindow_ = window;
    connect(window, &CompareWindow::differenceActivated, this, &MainWindow::selectItemAndRow);
}

void MainWindow::selectItemAndRow(const ItemPath& item, int row) {
    commitPendingEdit();
    if (!session_->item(item)) return;
    apply(session_->selectItem(item));
    if (row >= 0 && row < grid_->rowCount()) {
        grid_->setCurrentCell(row, 0);
        grid_->scrollToItem(grid_->item(row, 0));
    }
    activateWindow();
}

bool MainWindow::selectPath(const QString& utf8Path) {
    const QByteArray bytes = utf8Path.toUtf8();
    const auto path = session_->findItem(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (!path) return false;
    apply(session_->selectItem(*path));
    return true;
}

}  // namespace korvex::app
