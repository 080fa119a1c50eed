#pragma once
// The configuration tree pane: a QTreeWidget that mirrors the editor session's
// tree item for item. It holds no rule: selections, clicks, label edits and
// right clicks are reported as item paths, and the window answers by calling
// the session and syncing the tree again.
#include <QTreeWidget>

#include "editor/tree_model.h"

namespace korvex::app {

class ConfigTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit ConfigTree(QWidget* parent = nullptr);

    // Replaces all items by the session's tree. Items that were expanded before
    // (same text path) stay expanded; items the session marks expanded open.
    void rebuild(const Tree& tree);
    // Makes the item at path current without reporting it back.
    void showSelected(const ItemPath& path);

    QTreeWidgetItem* itemAtPath(const ItemPath& path) const;
    static ItemPath pathOf(const QTreeWidgetItem* item);

signals:
    void itemSelected(const korvex::ItemPath& path);   // selection change or left click
    void itemRenamed(const korvex::ItemPath& path, const QString& text);
    void contextMenuAt(const korvex::ItemPath& path, const QPoint& globalPos);

private:
    void addItems(QTreeWidgetItem* parent, const TreeItem& item, const Tree& tree, ItemPath& path,
                  const QSet<QString>& wasExpanded);
    static QString textPath(const QTreeWidgetItem* item);

    bool syncing_ = false;
};

}  // namespace korvex::app
