#include "app/config_tree.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>
#include <QSet>

#include "app/qt_text.h"

namespace korvex::app {

namespace {

// One shared icon per kind of item.
const QIcon& iconFor(NodeKind kind) {
    static const QIcon fieldbus(QStringLiteral(":/icons/tree-fieldbus.svg"));
    static const QIcon subnet(QStringLiteral(":/icons/tree-subnet.svg"));
    static const QIcon node(QStringLiteral(":/icons/tree-node.svg"));
    static const QIcon command(QStringLiteral(":/icons/tree-command.svg"));
    static const QIcon none;
    switch (kind) {
        case NodeKind::Fieldbus: return fieldbus;
        case NodeKind::Subnet: return subnet;
        case NodeKind::Node: return node;
        case NodeKind::Command: return command;
        case NodeKind::None: break;
    }
    return none;
}

}  // namespace

ConfigTree::ConfigTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("configTree"));
    setColumnCount(1);
    header()->hide();
    // Long command names widen the column and bring a scroll bar instead of
    // being cut short.
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemExpanded, this, [this] { resizeColumnToContents(0); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this] { resizeColumnToContents(0); });
    setRootIsDecorated(true);
    setIconSize(QSize(18, 18));
    setFont(QFont(QStringLiteral("Times New Roman"), 12));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setUniformRowHeights(true);

    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (!syncing_ && current) emitGuarded([&] { emit itemSelected(pathOf(current)); });
    });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (!syncing_ && item) emitGuarded([&] { emit itemSelected(pathOf(item)); });
    });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (!syncing_ && item) emitGuarded([&] { emit itemRenamed(pathOf(item), item->text(0)); });
    });
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QTreeWidgetItem* item = itemAt(pos);
        if (item) emit contextMenuAt(pathOf(item), viewport()->mapToGlobal(pos));
    });
}

template <class F>
void ConfigTree::emitGuarded(F&& f) {
    const bool outer = !emitting_;
    emitting_ = true;
    f();
    if (outer) emitting_ = false;
}

void ConfigTree::sync(const Tree& tree, const ItemPath& selected, bool rebuildItems) {
    if (!emitting_) {
        if (rebuildItems) rebuild(tree);
        showSelected(selected);
        return;
    }
    // The items must outlive the signal that is being handled.
    pendingTree_ = tree;
    pendingSelected_ = selected;
    pendingRebuild_ = pendingRebuild_ || rebuildItems;
    if (pending_) return;
    pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pending_ = false;
            const bool again = pendingRebuild_;
            pendingRebuild_ = false;
            sync(pendingTree_, pendingSelected_, again);
        },
        Qt::QueuedConnection);
}

QString ConfigTree::textPath(const QTreeWidgetItem* item) {
    QStringList parts;
    for (const QTreeWidgetItem* i = item; i; i = i->parent()) parts.prepend(i->text(0));
    return parts.join(QChar(0x1F));
}

void ConfigTree::rebuild(const Tree& tree) {
    QSet<QString> wasExpanded;
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if ((*it)->isExpanded()) wasExpanded.insert(textPath(*it));
    syncing_ = true;
    setUpdatesEnabled(false);
    clear();
    // The items are built detached and inserted at once, then opened.
    QList<QTreeWidgetItem*> roots;
    QList<QTreeWidgetItem*> toExpand;
    ItemPath path;
    for (size_t i = 0; i < tree.size(); ++i) {
        path.assign(1, static_cast<int>(i));
        roots.append(makeItem(tree[i], tree, path, QString(), wasExpanded, toExpand));
    }
    addTopLevelItems(roots);
    for (QTreeWidgetItem* item : toExpand) item->setExpanded(true);
    resizeColumnToContents(0);
    setUpdatesEnabled(true);
    syncing_ = false;
}

QTreeWidgetItem* ConfigTree::makeItem(const TreeItem& item, const Tree& tree, ItemPath& path,
                                      const QString& parentTextPath, const QSet<QString>& wasExpanded,
                                      QList<QTreeWidgetItem*>& toExpand) {
    auto* w = new QTreeWidgetItem;
    const QString text = fromUtf8(item.text);
    w->setText(0, text);
    // Below the roots the depth tells the kind; roots are classified by the core.
    const NodeKind kind = path.size() == 1 ? classifyItem(tree, path)
                                           : (path.size() == 2 ? NodeKind::Node : NodeKind::Command);
    w->setIcon(0, iconFor(kind));
    w->setFlags(w->flags() | Qt::ItemIsEditable);
    const QString textPath = parentTextPath.isEmpty() ? text : parentTextPath + QChar(0x1F) + text;
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(item.children.size()));
    for (size_t i = 0; i < item.children.size(); ++i) {
        path.push_back(static_cast<int>(i));
        children.append(makeItem(item.children[i], tree, path, textPath, wasExpanded, toExpand));
        path.pop_back();
    }
    w->addChildren(children);
    if (item.expanded || wasExpanded.contains(textPath)) toExpand.append(w);
    return w;
}

int ConfigTree::preferredWidth() const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int widest = 0;
    for (QTreeWidgetItemIterator it(const_cast<ConfigTree*>(this)); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent()) ++depth;
        const QModelIndex index = indexFromItem(*it);
        const int text = itemDelegateForIndex(index)->sizeHint(option, index).width();
        widest = std::max(widest, indentation() * (depth + (rootIsDecorated() ? 1 : 0)) + text);
    }
    return widest + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

QTreeWidgetItem* ConfigTree::itemAtPath(const ItemPath& path) const {
    if (path.empty() || path[0] < 0 || path[0] >= topLevelItemCount()) return nullptr;
    QTreeWidgetItem* item = topLevelItem(path[0]);
    for (size_t i = 1; i < path.size() && item; ++i)
        item = path[i] >= 0 && path[i] < item->childCount() ? item->child(path[i]) : nullptr;
    return item;
}

ItemPath ConfigTree::pathOf(const QTreeWidgetItem* item) {
    ItemPath path;
    for (const QTreeWidgetItem* i = item; i; i = i->parent()) {
        const QTreeWidgetItem* p = i->parent();
        path.insert(path.begin(), p ? p->indexOfChild(const_cast<QTreeWidgetItem*>(i))
                                    : i->treeWidget()->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(i)));
    }
    return path;
}

void ConfigTree::showSelected(const ItemPath& path) {
    syncing_ = true;
    QTreeWidgetItem* item = itemAtPath(path);
    for (QTreeWidgetItem* p = item ? item->parent() : nullptr; p; p = p->parent()) p->setExpanded(true);
    setCurrentItem(item);
    if (item) scrollToItem(item);
    syncing_ = false;
}

}  // namespace korvex::app
