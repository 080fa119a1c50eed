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

    // Shows the session's tree and selection. With rebuild all items are
    // replaced (items expanded before, by text path, stay expanded; items the
    // session marks expanded open); the item at `selected` becomes current
    // without being reported back. Called from inside one of this tree's own
    // signals, the update waits until the signal has returned.
    void sync(const Tree& tree, const ItemPath& selected, bool rebuild);

    QTreeWidgetItem* itemAtPath(const ItemPath& path) const;
    // The pane width that shows every item's text whole, collapsed items
    // included, with room for the frame and the vertical scroll bar.
    int preferredWidth() const;
    static ItemPath pathOf(const QTreeWidgetItem* item);

signals:
    void itemSelected(const korvex::ItemPath& path);   // selection change or left click
    void itemRenamed(const korvex::ItemPath& path, const QString& text);
    void contextMenuAt(const korvex::ItemPath& path, const QPoint& globalPos);

private:
    void rebuild(const Tree& tree);
    void showSelected(const ItemPath& path);
    template <class F>
    void emitGuarded(F&& f);
    static QTreeWidgetItem* makeItem(const TreeItem& item, const Tree& tree, ItemPath& path,
                                     const QString& parentTextPath, const QSet<QString>& wasExpanded,
                                     QList<QTreeWidgetItem*>& toExpand);
    static QString textPath(const QTreeWidgetItem* item);

    bool syncing_ = false;
    bool emitting_ = false;
    bool pending_ = false;
    bool pendingRebuild_ = false;
    Tree pendingTree_;
    ItemPath pendingSelected_;
};

}  // namespace korvex::app
