#include "app/mapping_conflict_view.h"

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/mapping_edit_base_dialog.h"
#include "app/qt_text.h"
#include "app/window_layout.h"
#include "model/texts.h"

namespace korvex::app {

namespace {

constexpr int kRows = 1024;
constexpr int kLabelWidth = 40;  // 600 twips
constexpr int kCellWidth = 20;   // 300 twips
constexpr int kRowHeight = 18;

QColor qcolour(CellColour c) {
    const Rgb rgb = rgbOf(c);
    return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

// ---- ConflictGridModel ------------------------------------------------------------

ConflictGridModel::ConflictGridModel(const ConflictCounter& counter, Grid grid, QObject* parent)
    : QAbstractTableModel(parent), counter_(counter), grid_(grid) {}

int ConflictGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kRows; }
int ConflictGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : counter_.columns() + 1;
}

int ConflictGridModel::cellOf(const QModelIndex& index) const {
    if (!index.isValid() || index.column() == 0) return -1;
    return index.row() * counter_.columns() + index.column() - 1;
}

QVariant ConflictGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (index.column() == 0) {
        if (role == Qt::DisplayRole) return QString::fromStdString(counter_.rowLabel(grid_, index.row()));
        if (role == Qt::BackgroundRole && counter_.plcLayout()) return qcolour(CellColour::Grey);
        return {};
    }
    const int cell = cellOf(index);
    if (role == Qt::BackgroundRole) {
        const CellColour c = counter_.colour(grid_, cell);
        if (c == CellColour::Standard) return {};
        return qcolour(c);
    }
    if (role == Qt::ToolTipRole && !counter_.plcLayout()) {
        const int offset = cell + (grid_ == Grid::Output ? 0x4000 : 0);
        return QStringLiteral("%1").arg(offset, 4, 16, QLatin1Char('0')).toUpper();
    }
    return {};
}

QVariant ConflictGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Vertical || section < 0 || section >= kRows) return {};
    if (role == Qt::DisplayRole || role == Qt::BackgroundRole) return data(index(section, 0), role);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

void ConflictGridModel::cellsChanged(const std::vector<CellRef>& cells) {
    int first = -1, last = -1;
    for (const CellRef& c : cells) {
        if (c.grid != grid_) continue;
        first = first < 0 ? c.position : std::min(first, c.position);
        last = std::max(last, c.position);
    }
    if (first < 0) return;
    const int cols = counter_.columns();
    emit dataChanged(index(first / cols, 1), index(last / cols, cols), {Qt::BackgroundRole});
}

// ---- BitPopup ----------------------------------------------------------------------

BitPopup::BitPopup(QWidget* parent, const ConflictCounter& counter, Grid grid, int cell)
    : QFrame(parent, Qt::ToolTip | Qt::FramelessWindowHint), counter_(counter), grid_(grid), cell_(cell) {
    setObjectName(QStringLiteral("bitpopup"));
    setFixedSize(165, 23);
}

CellColour BitPopup::bitColour(int bit) const { return counter_.bitColour(grid_, cell_, bit); }

void BitPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width() / 8;
    for (int bit = 0; bit < 8; ++bit) {
        const QRect r(bit * w, 0, w, height() - 1);
        painter.fillRect(r, qcolour(bitColour(bit)));
        painter.drawRect(r);
        painter.drawText(r, Qt::AlignCenter, QString::number(bit));
    }
}

// ---- ConflictGridView ----------------------------------------------------------------

QSize ConflictGridView::sizeHint() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    if (!verticalHeader()->isHidden()) width += verticalHeader()->width();
    for (int c = 0; model() && c < model()->columnCount(); ++c)
        if (!isColumnHidden(c)) width += columnWidth(c);
    return {width, QTableView::sizeHint().height()};
}

// ---- ConflictViewDialog --------------------------------------------------------------

ConflictViewDialog::ConflictViewDialog(QWidget* parent, Project& project, const PlcBlocks* blocks)
    : QDialog(parent) {
    setObjectName(blocks ? QStringLiteral("dtestiq") : QStringLiteral("dtest"));
    setWindowTitle(qtext(blocks ? texts::ConflictPlcTitle : texts::ConflictPlainTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    if (blocks) applyEmptyAddressDefaults(project, *blocks);
    counter_ = std::make_unique<ConflictCounter>(project, blocks);

    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(qtext(texts::ConflictCommandList), this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("commands"));
    for (const auto& line : counter_->lines()) {
        auto* item = new QListWidgetItem(fromUtf8(line.text), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }
    connect(list_, &QListWidget::itemChanged, this, &ConflictViewDialog::onItemChanged);
    left->addWidget(list_, 1);

    // Legend: green, blue, red and yellow squares.
    auto* legend = new QGridLayout;
    const std::pair<CellColour, Text> keys[] = {{CellColour::Green, texts::ConflictLegendInput},
                                                {CellColour::Blue, texts::ConflictLegendOutput},
                                                {CellColour::Red, texts::ConflictLegendConflict},
                                                {CellColour::Yellow, texts::ConflictLegendLocal}};
    int row = 0;
    for (const auto& [colour, text] : keys) {
        auto* square = new QLabel(this);
        square->setFixedSize(16, 16);
        square->setAutoFillBackground(true);
        QPalette pal = square->palette();
        pal.setColor(QPalette::Window, qcolour(colour));
        square->setPalette(pal);
        legend->addWidget(square, row, 0);
        legend->addWidget(new QLabel(qtext(text), this), row, 1);
        ++row;
    }
    left->addLayout(legend);
    outer->addLayout(left);

    inputModel_ = new ConflictGridModel(*counter_, Grid::Input, this);
    outputModel_ = new ConflictGridModel(*counter_, Grid::Output, this);
    for (Grid g : {Grid::Input, Grid::Output}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(qtext(g == Grid::Input ? texts::ConflictInputGrid : texts::ConflictOutputGrid), this));
        column->addWidget(makeGrid(g, g == Grid::Input ? inputModel_ : outputModel_), 1);
        outer->addLayout(column, 1);
    }
    // Both grids whole where the screen has room (1366 x 768 and up), never
    // larger than the screen's available area.
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize wanted = sizeHint().expandedTo(QSize(1000, 600));
    resize(screen ? fittedSize(wanted, screen->availableGeometry().size()) : wanted);
}

ConflictViewDialog::~ConflictViewDialog() = default;

QTableView* ConflictViewDialog::makeGrid(Grid grid, ConflictGridModel* model) {
    auto* view = new ConflictGridView(this);
    view->setObjectName(grid == Grid::Input ? QStringLiteral("input") : QStringLiteral("output"));
    view->setModel(model);
    view->horizontalHeader()->hide();
    // The row labels: the vertical header, frozen at the left edge, in place of
    // the model's column 0.
    QHeaderView* labels = view->verticalHeader();
    labels->setSectionResizeMode(QHeaderView::Fixed);
    labels->setDefaultSectionSize(kRowHeight);
    labels->setMinimumSectionSize(kRowHeight);
    labels->setFixedWidth(std::max(kLabelWidth, labels->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8));
    view->setColumnHidden(0, true);
    for (int c = 1; c < model->columnCount(); ++c) view->setColumnWidth(c, kCellWidth);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->viewport()->installEventFilter(this);
    if (grid == Grid::Input) inputView_ = view;
    else outputView_ = view;
    return view;
}

void ConflictViewDialog::onItemChanged(QListWidgetItem* item) {
    const int row = list_->row(item);
    if (row < 0) return;
    const bool checked = item->checkState() == Qt::Checked;
    if (checked == counter_->included(static_cast<size_t>(row))) return;
    const auto touched = counter_->toggle(static_cast<size_t>(row));
    inputModel_->cellsChanged(touched);
    outputModel_->cellsChanged(touched);
}

void ConflictViewDialog::hidePopup() {
    if (!popup_) return;
    popup_->hide();
    popup_->deleteLater();
    popup_ = nullptr;
}

bool ConflictViewDialog::eventFilter(QObject* watched, QEvent* event) {
    QTableView* view = watched == inputView_->viewport() ? inputView_
                       : watched == outputView_->viewport() ? outputView_ : nullptr;
    if (!view) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // A right-button press swallows the popup of the press it makes.
        if (mouse->button() == Qt::RightButton) ignoreNextPress_ = true;
        if (ignoreNextPress_) {
            ignoreNextPress_ = false;
            return true;
        }
        const Grid grid = view == inputView_ ? Grid::Input : Grid::Output;
        const ConflictGridModel* model = this->model(grid);
        const int cell = model->cellOf(view->indexAt(mouse->position().toPoint()));
        if (cell < 0 || (counter_->plcLayout() && !counter_->cellInBlock(grid, cell))) return true;
        hidePopup();
        popup_ = new BitPopup(this, *counter_, grid, cell);
        popup_->move(QCursor::pos());
        popup_->show();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        hidePopup();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ConflictViewDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool runConflictView(QWidget* parent, Project& project, const PlcState& state) {
    ConflictViewDialog dialog(parent, project, state.active());
    return dialog.exec() == QDialog::Accepted;
}

void runConflictCommand(QWidget* parent, Project& project, PlcState& state, bool& baseQuestionDone, Operator& op) {
    const ConflictViewKind kind =
        chooseConflictView(state, baseQuestionDone, op, [&] { return runEditBaseAddress(parent, state, project, op); });
    ConflictViewDialog dialog(parent, project, kind == ConflictViewKind::PlcAddress ? &state.blocks : nullptr);
    if (dialog.exec() != QDialog::Accepted) baseQuestionDone = true;
}

}  // namespace korvex::app
