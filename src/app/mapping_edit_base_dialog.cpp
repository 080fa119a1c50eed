#include "app/mapping_edit_base_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "model/operator.h"
#include "model/texts.h"

namespace korvex::app {

DisplayAddrDialog::DisplayAddrDialog(QWidget* parent, bool inputs,
                                     const std::vector<std::array<std::string, 3>>& rows)
    : QDialog(parent) {
    setObjectName(QStringLiteral("displayaddr"));
    setWindowTitle(qtext(texts::DisplayAddrTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(static_cast<int>(rows.size()), 3, this);
    table_->setObjectName(QStringLiteral("list"));
    table_->setHorizontalHeaderLabels({qtext(inputs ? texts::DisplayAddrInputBlock : texts::DisplayAddrOutputBlock),
                                       qtext(inputs ? texts::DisplayAddrInputAddress : texts::DisplayAddrOutputAddress),
                                       qtext(texts::DisplayAddrByte)});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int c = 0; c < 3; ++c) table_->setColumnWidth(c, 100);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(fromUtf8(rows[static_cast<size_t>(r)][static_cast<size_t>(c)]));
            item->setTextAlignment(Qt::AlignCenter);
            table_->setItem(r, c, item);
        }
    }
    layout->addWidget(table_);
    resize(340, 300);
}

EditBaseDialog::EditBaseDialog(QWidget* parent, PlcState& state, Project& project, Operator& op)
    : QDialog(parent), state_(state), project_(project), op_(op), session_(state) {
    setObjectName(QStringLiteral("editiq"));
    setWindowTitle(qtext(texts::EditIqTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFocusPolicy(Qt::StrongFocus);

    auto* outer = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    outer->addLayout(groups);
    groups->addWidget(buildSide(Side::Input));
    groups->addWidget(buildSide(Side::Output));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(qtext(texts::EditIqOk), this);
    ok->setObjectName(QStringLiteral("ok"));
    auto* cancel = new QPushButton(qtext(texts::EditIqCancel), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    for (auto* b : {ok, cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
    outer->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &EditBaseDialog::onOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    refresh(Side::Input);
    refresh(Side::Output);
}

QWidget* EditBaseDialog::buildSide(Side side) {
    const bool input = side == Side::Input;
    auto* group = new QGroupBox(qtext(input ? texts::EditIqInputGroup : texts::EditIqOutputGroup), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* inner = new QGroupBox(qtext(input ? texts::EditIqInputInner : texts::EditIqOutputInner), group);
    groupLayout->addWidget(inner);
    auto* grid = new QGridLayout(inner);

    SideWidgets& s = w(side);
    const QString prefix = input ? QStringLiteral("input") : QStringLiteral("output");
    s.countBox = new QCheckBox(qtext(input ? texts::EditIqChangeInputCount : texts::EditIqChangeOutputCount), inner);
    s.countBox->setObjectName(prefix + QStringLiteral("CountBox"));
    s.count = new QLineEdit(inner);
    s.count->setObjectName(prefix + QStringLiteral("Count"));
    s.blocks = new QComboBox(inner);
    s.blocks->setObjectName(prefix + QStringLiteral("Blocks"));
    s.base = new QLineEdit(inner);
    s.base->setObjectName(prefix + QStringLiteral("Base"));
    s.bytes = new QLineEdit(inner);
    s.bytes->setObjectName(prefix + QStringLiteral("Bytes"));
    s.display = new QPushButton(qtext(input ? texts::EditIqDisplayInputs : texts::EditIqDisplayOutputs), inner);
    s.display->setObjectName(prefix + QStringLiteral("Display"));
    s.display->setAutoDefault(false);

    grid->addWidget(s.countBox, 0, 0);
    grid->addWidget(s.count, 0, 1);
    grid->addWidget(new QLabel(qtext(texts::EditIqDataBlockLabel), inner), 1, 0);
    grid->addWidget(s.blocks, 1, 1);
    grid->addWidget(new QLabel(qtext(texts::EditIqBaseLabel), inner), 2, 0);
    grid->addWidget(s.base, 2, 1);
    grid->addWidget(new QLabel(qtext(texts::EditIqBytesLabel), inner), 3, 0);
    grid->addWidget(s.bytes, 3, 1);
    grid->addWidget(s.display, 4, 0, 1, 2);

    connect(s.countBox, &QCheckBox::clicked, this, [this, side] {
        session_.clickCountBox(side);
        refresh(side);
    });
    connect(s.blocks, qOverload<int>(&QComboBox::activated), this, [this, side](int index) {
        session_.select(side, index);
        refresh(side);
    });
    // Each edit is checked when it is left; a refused value is put back.
    auto check = [this, side](QLineEdit* edit, bool (EditBaseSession::*commit)(Side, std::string_view, Operator&)) {
        connect(edit, &QLineEdit::editingFinished, this, [this, side, edit, commit] {
            if (checking_ || !edit->isEnabled()) return;
            const std::string text = edit->text().toStdString();
            checking_ = true;
            const bool ok = (session_.*commit)(side, text, op_);
            checking_ = false;
            if (!ok) refresh(side);
            else if (commit != &EditBaseSession::commitCount) refresh(side);
        });
    };
    check(s.count, &EditBaseSession::commitCount);
    check(s.base, &EditBaseSession::commitBase);
    check(s.bytes, &EditBaseSession::commitByteCount);
    connect(s.display, &QPushButton::clicked, this, [this, side] {
        const auto rows = session_.displayRows(side);
        refresh(Side::Input);
        refresh(Side::Output);
        DisplayAddrDialog dialog(this, side == Side::Input, rows);
        dialog.exec();
    });
    return group;
}

void EditBaseDialog::refresh(Side side) {
    SideWidgets& s = w(side);
    const auto enabled = session_.controls(side);
    s.count->setEnabled(enabled.count);
    s.blocks->setEnabled(enabled.blocks);
    s.base->setEnabled(enabled.base);
    s.bytes->setEnabled(enabled.bytes);
    s.display->setEnabled(enabled.display);

    s.count->setText(QString::fromStdString(session_.countText(side)));
    s.blocks->clear();
    for (const auto& choice : session_.blockChoices(side)) s.blocks->addItem(fromUtf8(choice));
    s.blocks->setCurrentIndex(session_.selected(side));
    s.base->setText(QString::fromStdString(session_.baseText(side)));
    s.bytes->setText(QString::fromStdString(session_.bytesText(side)));
}

void EditBaseDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setFocus();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void EditBaseDialog::onOk() {
    if (session_.ok(state_, project_, op_)) accept();
}

bool runEditBaseAddress(QWidget* parent, PlcState& state, Project& project, Operator& op) {
    EditBaseDialog dialog(parent, state, project, op);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace korvex::app
