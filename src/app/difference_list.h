#pragma once
// The list of differences of one comparison: a line that says how many there
// are or that there are none, and one row per difference (Item, Parameter,
// Project, File or Gateway). The compare window and the download windows'
// read-back show a comparison through it. A double click (or Enter) on a row
// names that item and row of the open project.
#include <QWidget>

#include "compare/project_compare.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvex::app {

class DifferenceList : public QWidget {
    Q_OBJECT
public:
    enum class Against { File, Gateway };

    DifferenceList(QWidget* parent, Against against);

    // Shows a finished comparison (replacing what was shown).
    void showResult(const CompareResult& result);
    // Shows a line of text instead of a list (a comparison still running, or
    // one that could not be made).
    void showStatus(const QString& text);

    const CompareResult& result() const { return result_; }
    QTreeWidget* list() const { return list_; }
    QLabel* summary() const { return summary_; }
    // The column headings, then one line per difference as korvex-cli prints it.
    QString copyText() const;

signals:
    // A difference was activated: the item in the open project (empty when the
    // project does not have it) and its grid row (-1: none).
    void differenceActivated(const korvex::ItemPath& item, int row);

private:
    void activate(QTreeWidgetItem* item);

    Against against_;
    CompareResult result_;
    QLabel* summary_ = nullptr;
    QTreeWidget* list_ = nullptr;
};

}  // namespace korvex::app
