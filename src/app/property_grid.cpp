#include "app/property_grid.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>
#include <QValidator>

#include "app/qt_text.h"

namespace korvex::app {

namespace {

// Refuses characters a project file cannot hold (it stores windows-1252).
class Windows1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return toProject(input) ? Acceptable : Invalid;
    }
};

const QColor kGrey(200, 200, 200);
const QColor kWhite(255, 255, 255);

}  // namespace

void ValueEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit finished();
}

void ValueEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit finished();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        emit cancelled();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

ValueCombo::ValueCombo(QWidget* parent) : QComboBox(parent) {
    // The pop-up's key presses go to its list view, not to the combo box.
    view()->installEventFilter(this);
}

void ValueCombo::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit focusLost();
}

void ValueCombo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit escaped();
        return;
    }
    QComboBox::keyPressEvent(event);
}

bool ValueCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit escaped();
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

PropertyGrid::PropertyGrid(QWidget* parent) : QTableWidget(kGridRowCount, kGridColumnCount, parent) {
    setObjectName(QStringLiteral("propertyGrid"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(24);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWordWrap(false);
    for (int r = 0; r < kGridRowCount; ++r)
        for (int c = 0; c < kGridColumnCount; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            item->setBackground(kWhite);
            setItem(r, c, item);
        }

    edit_ = new ValueEdit(viewport());
    edit_->setObjectName(QStringLiteral("valueEdit"));
    edit_->setValidator(new Windows1252Validator(edit_));
    edit_->hide();
    combo_ = new ValueCombo(viewport());
    combo_->setObjectName(QStringLiteral("valueCombo"));
    combo_->hide();

    connect(this, &QTableWidget::cellClicked, this, &PropertyGrid::cellClickedAt);
    connect(edit_, &ValueEdit::finished, this, &PropertyGrid::finishEdit);
    connect(edit_, &ValueEdit::cancelled, this, &PropertyGrid::cancelEdit);
    connect(combo_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (!listOpen_) return;
        closeList();
        emit choiceMade(index);
    });
    const auto closedWithoutChoice = [this] {
        if (!listOpen_) return;
        closeList();
        emit listClosed();
    };
    connect(combo_, &ValueCombo::focusLost, this, closedWithoutChoice);
    connect(combo_, &ValueCombo::escaped, this, closedWithoutChoice);
}

void PropertyGrid::showRows(const GridRows& rows) {
    for (int r = 0; r < kGridRowCount; ++r) {
        const GridRow& row = rows[static_cast<size_t>(r)];
        item(r, 0)->setText(fromUtf8(row.label));
        item(r, 1)->setText(fromProject(row.value));
        item(r, 1)->setBackground(row.grey ? kGrey : kWhite);
    }
}

QRect PropertyGrid::cellRect(int row, int column) const {
    return visualRect(model()->index(row, column));
}

void PropertyGrid::closeList() {
    listOpen_ = false;
    combo_->hidePopup();
    combo_->hide();
}

void PropertyGrid::showEditor(const CellEditor& editor) {
    if (editor.kind != EditorKind::Edit && editOpen_) {
        editOpen_ = false;
        edit_->hide();
    }
    if (editor.kind != EditorKind::List && listOpen_) closeList();
    if (editor.kind == EditorKind::None || editor.row < 0 || editor.row >= kGridRowCount) return;

    scrollToItem(item(editor.row, 1));
    const QRect rect = cellRect(editor.row, editor.column >= 0 ? editor.column : 1);
    if (editor.kind == EditorKind::Edit) {
        edit_->setGeometry(rect);
        edit_->setText(fromProject(editor.text));
        edit_->selectAll();
        editOpen_ = true;
        edit_->show();
        edit_->setFocus(Qt::MouseFocusReason);
        return;
    }
    combo_->clear();
    for (const std::string& entry : editor.entries) combo_->addItem(fromProject(entry));
    combo_->setCurrentIndex(0);
    combo_->setGeometry(rect);
    listOpen_ = true;
    combo_->show();
    combo_->setFocus(Qt::MouseFocusReason);
    // The pop-up opens once the click that opened the list has been handled.
    if (popups_)
        QTimer::singleShot(0, combo_, [this] {
            if (listOpen_ && combo_->isVisible()) combo_->showPopup();
        });
}

void PropertyGrid::finishEdit() {
    if (!editOpen_ || finishing_) return;
    finishing_ = true;
    editOpen_ = false;
    const QString text = edit_->text();
    edit_->hide();
    emit editFinished(text);
    finishing_ = false;
}

void PropertyGrid::cancelEdit() {
    if (!editOpen_ || finishing_) return;
    // Closed first, so the focus loss of hiding it reports nothing.
    editOpen_ = false;
    edit_->hide();
    setFocus(Qt::OtherFocusReason);
    emit editCancelled();
}

void PropertyGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    const int width = viewport()->width();
    setColumnWidth(0, width / 2);
    setColumnWidth(1, width - width / 2);
    emit viewResized();
}

}  // namespace korvex::app
