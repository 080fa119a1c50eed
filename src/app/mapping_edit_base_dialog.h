#pragma once
// "Edit the PLC memory address (PROFIBUS)" and "Show all the base address": the
// dialogs over EditBaseSession (mapping/edit_base.h), which holds every rule.
#include <QDialog>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "mapping/edit_base.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace korvex {
class Operator;
struct Project;
}

namespace korvex::app {

// "Show all the base address": one row per used block.
class DisplayAddrDialog : public QDialog {
    Q_OBJECT
public:
    DisplayAddrDialog(QWidget* parent, bool inputs, const std::vector<std::array<std::string, 3>>& rows);
    QTableWidget* table() const { return table_; }

private:
    QTableWidget* table_ = nullptr;
};

class EditBaseDialog : public QDialog {
    Q_OBJECT
public:
    EditBaseDialog(QWidget* parent, PlcState& state, Project& project, Operator& op);

    using Side = EditBaseSession::Side;
    struct SideWidgets {
        QCheckBox* countBox = nullptr;
        QLineEdit* count = nullptr;
        QComboBox* blocks = nullptr;
        QLineEdit* base = nullptr;
        QLineEdit* bytes = nullptr;
        QPushButton* display = nullptr;
    };
    const SideWidgets& widgets(Side side) const { return sides_[side == Side::Input ? 0 : 1]; }
    const EditBaseSession& session() const { return session_; }

protected:
    // Enter moves the focus to the dialog (so the edit just left is checked) and
    // does not close it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildSide(Side side);
    SideWidgets& w(Side side) { return sides_[side == Side::Input ? 0 : 1]; }
    void refresh(Side side);
    void onOk();

    PlcState& state_;
    Project& project_;
    Operator& op_;
    EditBaseSession session_;
    std::array<SideWidgets, 2> sides_;
    bool checking_ = false;  // a message box of a field check is open
};

// Shows the dialog modally; true when it closed with OK (PLC mode is then on and
// every command's address is in PLC form). The caller rebuilds the tree.
bool runEditBaseAddress(QWidget* parent, PlcState& state, Project& project, Operator& op);

}  // namespace korvex::app
