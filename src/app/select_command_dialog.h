#pragma once
// "Select Command": the eight Modbus command types; a double click on one, or
// Enter or "Add" on the highlighted one, adds a command of that type to the
// selected node. The dialog stays open so several commands can be added in a
// row, and is closed with "Close", Escape or its close box.
#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace korvex::app {

class SelectCommandDialog : public QDialog {
    Q_OBJECT
public:
    // onChosen receives the list position (0..7) of the chosen entry.
    SelectCommandDialog(QWidget* parent, std::function<void(int)> onChosen);

    QListWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* closeButton() const { return close_; }
    QLabel* hint() const { return hint_; }
    // Adds a command of the type at `position` (tests call it directly).
    void choose(int position);

private:
    QListWidget* list_ = nullptr;
    QLabel* hint_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* close_ = nullptr;
    std::function<void(int)> onChosen_;
};

}  // namespace korvex::app
