#pragma once
// The list of differences between the open project and a file or a gateway:
// one row per difference (Item, Parameter, Project, File or Gateway), a line
// that says how many there are or that there are none, Copy (the list as text,
// as korvex-cli prints it) and Close. A double click on a row asks the main
// window to show that item and row. The comparison itself is the core's
// (compare/project_compare.h); this window only shows its result.
#include <QDialog>
#include <vector>

#include "compare/project_compare.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvex::app {

class CompareWindow : public QDialog {
    Q_OBJECT
public:
    enum class Against { File, Gateway };

    CompareWindow(QWidget* parent, Against against);

    // Shows a finished comparison (replacing what was shown).
    void showResult(const CompareResult& result);
    // Shows a line of text instead of a list (a comparison still running, or
    // one that could not be made).
    void showStatus(const QString& text);

    QTreeWidget* list() const { return list_; }
    QLabel* summary() const { return summary_; }
    QPushButton* copyButton() const { return copy_; }
    // The text Copy puts on the clipboard: the column headings, then one line
    // per difference as korvex-cli prints it.
    QString copyText() const;

signals:
    // A difference was double-clicked: the item in the open project (empty
    // when the project does not have it) and its grid row (-1: none).
    void differenceActivated(const korvex::ItemPath& item, int row);

private:
    void copyToClipboard();
    void activate(QTreeWidgetItem* item);

    Against against_;
    CompareResult result_;
    QLabel* summary_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* copy_ = nullptr;
};

}  // namespace korvex::app
