#pragma once
// The differences between the open project and a file or a gateway, in a
// window of their own: the difference list (app/difference_list.h), Copy (the
// list as text, as korvex-cli prints it) and Close. A double click on a row
// asks the main window to show that item and row. The comparison itself is the
// core's (compare/project_compare.h); this window only shows its result.
#include <QDialog>

#include "app/difference_list.h"
#include "compare/project_compare.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace korvex::app {

class CompareWindow : public QDialog {
    Q_OBJECT
public:
    using Against = DifferenceList::Against;

    CompareWindow(QWidget* parent, Against against);

    // Shows a finished comparison (replacing what was shown).
    void showResult(const CompareResult& result);
    // Shows a line of text instead of a list.
    void showStatus(const QString& text);

    QTreeWidget* list() const { return differences_->list(); }
    QLabel* summary() const { return differences_->summary(); }
    QPushButton* copyButton() const { return copy_; }
    // The text Copy puts on the clipboard: the column headings, then one line
    // per difference as korvex-cli prints it.
    QString copyText() const { return differences_->copyText(); }

signals:
    // A difference was double-clicked: the item in the open project (empty
    // when the project does not have it) and its grid row (-1: none).
    void differenceActivated(const korvex::ItemPath& item, int row);

private:
    DifferenceList* differences_ = nullptr;
    QPushButton* copy_ = nullptr;
};

}  // namespace korvex::app
