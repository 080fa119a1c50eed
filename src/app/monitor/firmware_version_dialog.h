#pragma once
// "Select Firmware version": the Debug command asks which firmware generation
// the gateway runs. One drop-down list, "5.0 and above" (preselected) and
// "4.X or 3.X", with OK and Cancel; the caller reads the choice after OK.
#include <QDialog>

#include "monitor/debug_command.h"

class QComboBox;
class QPushButton;

namespace korvex::app {

class FirmwareVersionDialog : public QDialog {
    Q_OBJECT
public:
    explicit FirmwareVersionDialog(QWidget* parent);

    // The generation selected when OK closed the dialog ("5.0 and above" until then).
    monitor::FirmwareGeneration choice() const { return choice_; }

    QComboBox* versionBox() const { return versions_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

public slots:
    void accept() override;

private:
    QComboBox* versions_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    monitor::FirmwareGeneration choice_ = monitor::FirmwareGeneration::FiveAndAbove;
};

}  // namespace korvex::app
