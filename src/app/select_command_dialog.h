#pragma once
// "Select Command": the eight Modbus command types; a double click on one adds a
// command of that type to the selected node. The dialog stays open so several
// commands can be added in a row, and is closed with its close box.
#include <QDialog>
#include <functional>

class QListWidget;

namespace korvex::app {

class SelectCommandDialog : public QDialog {
    Q_OBJECT
public:
    // onChosen receives the list position (0..7) of the double-clicked entry.
    SelectCommandDialog(QWidget* parent, std::function<void(int)> onChosen);

    QListWidget* list() const { return list_; }
    // A double click on entry `position` (tests call it directly).
    void choose(int position);

private:
    QListWidget* list_ = nullptr;
    std::function<void(int)> onChosen_;
};

}  // namespace korvex::app
