#pragma once
// "Conflict Detection" (gateway offsets) and "Conflict detection" (PLC memory
// addresses): the command list with check boxes, the "Input" and "Output" grids
// coloured by ConflictCounter (mapping/conflicts.h), the legend and the bit popup.
// The grids are table models over the counter: nothing is stored per cell.
#include <QAbstractTableModel>
#include <QDialog>
#include <QFrame>
#include <QTableView>
#include <memory>
#include <vector>

#include "mapping/conflicts.h"

class QListWidget;
class QListWidgetItem;

namespace korvex {
class Operator;
struct Project;
}

namespace korvex::app {

class ConflictGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ConflictGridModel(const ConflictCounter& counter, Grid grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The row labels again as the vertical header, which the views show in place
    // of column 0 so the labels stay in sight while the bytes scroll sideways.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The byte cell of a grid position, or -1 for column 0.
    int cellOf(const QModelIndex& index) const;
    // Re-colours the given cells of this grid.
    void cellsChanged(const std::vector<CellRef>& cells);

private:
    const ConflictCounter& counter_;
    Grid grid_;
};

// The borderless popup with the 8 bits of one byte (bit 0 on the left).
class BitPopup : public QFrame {
    Q_OBJECT
public:
    BitPopup(QWidget* parent, const ConflictCounter& counter, Grid grid, int cell);
    CellColour bitColour(int bit) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ConflictCounter& counter_;
    Grid grid_;
    int cell_;
};

// A grid view whose preferred width shows the label column and every byte
// column without scrolling sideways.
class ConflictGridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    QSize sizeHint() const override;
};

class ConflictViewDialog : public QDialog {
    Q_OBJECT
public:
    // blocks nullptr: the plain layout. The PLC-address layout first gives empty
    // register addresses their default (a change that stays in the project).
    ConflictViewDialog(QWidget* parent, Project& project, const PlcBlocks* blocks);
    ~ConflictViewDialog() override;

    const ConflictCounter& counter() const { return *counter_; }
    QListWidget* commandList() const { return list_; }
    QTableView* grid(Grid grid) const { return grid == Grid::Input ? inputView_ : outputView_; }
    ConflictGridModel* model(Grid grid) const { return grid == Grid::Input ? inputModel_ : outputModel_; }
    BitPopup* popup() const { return popup_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onItemChanged(QListWidgetItem* item);
    QTableView* makeGrid(Grid grid, ConflictGridModel* model);
    void hidePopup();

    std::unique_ptr<ConflictCounter> counter_;
    QListWidget* list_ = nullptr;
    QTableView* inputView_ = nullptr;
    QTableView* outputView_ = nullptr;
    ConflictGridModel* inputModel_ = nullptr;
    ConflictGridModel* outputModel_ = nullptr;
    BitPopup* popup_ = nullptr;
    bool ignoreNextPress_ = false;
};

// Shows the view for the current mode; true when it closed with OK (Enter).
bool runConflictView(QWidget* parent, Project& project, const PlcState& state);

// The whole "Mapping Address Conflict Detection" command: the base-address
// question (until declined or the view was left without OK), the base-address
// dialog, then the view. baseQuestionDone is the program-wide flag.
void runConflictCommand(QWidget* parent, Project& project, PlcState& state, bool& baseQuestionDone, Operator& op);

}  // namespace korvex::app
