#include "app/config_tree.h"

#include <QHeaderView>
#include <QSet>

#include "app/qt_text.h"

namespace korvex::app {

namespace {

QIcon iconFor(NodeKind kind) {
    switch (kind) {
        case NodeKind::Fieldbus: return QIcon(QStringLiteral(":/icons/tree-fieldbus.svg"));
        case NodeKind::Subnet: return QIcon(QStringLiteral(":/icons/tree-subnet.svg"));
        case NodeKind::Node: return QIcon(QStringLiteral(":/icons/tree-node.svg"));
        case NodeKind::Command: return QIcon(QStringLiteral(":/icons/tree-command.svg"));
        case NodeKind::None: break;
    }
    return {};
}

}  // namespace

ConfigTree::ConfigTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("configTree"));
    setColumnCount(1);
    header()->hide();
    // Long command names widen the column and bring a scroll bar instead of
    // being cut short.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
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
    clear();
    ItemPath path;
    for (size_t i = 0; i < tree.size(); ++i) {
        path.assign(1, static_cast<int>(i));
        addItems(nullptr, tree[i], tree, path, wasExpanded);
    }
    syncing_ = false;
}

void ConfigTree::addItems(QTreeWidgetItem* parent, const TreeItem& item, const Tree& tree, ItemPath& path,
                          const QSet<QString>& wasExpanded) {
    auto* w = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    w->setText(0, fromUtf8(item.text));
    w->setIcon(0, iconFor(classifyItem(tree, path)));
    w->setFlags(w->flags() | Qt::ItemIsEditable);
    for (size_t i = 0; i < item.children.size(); ++i) {
        path.push_back(static_cast<int>(i));
        addItems(w, item.children[i], tree, path, wasExpanded);
        path.pop_back();
    }
    if (item.expanded || wasExpanded.contains(textPath(w))) w->setExpanded(true);
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
