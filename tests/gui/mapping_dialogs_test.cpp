// The mapping dialogs over the real widgets: the conflict view shows what the
// counter computes and re-colours on a toggle; the base-address dialog forwards
// its edits and OK. The rules themselves are covered by the mapping core tests.
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

#include "app/mapping_conflict_view.h"
#include "app/mapping_edit_base_dialog.h"
#include "model/operator.h"
#include "model/project.h"

using namespace korvex;
using namespace korvex::app;

namespace {

std::unique_ptr<Project> projectWithTwoReads(const char* second) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p);
    addDefaultNode(*p);  // FC 3, 8 registers at "0"; FC 16 at "4000"
    SubnetConfig& c = p->subnet(0);
    c.commands[2] = c.commands[0];
    c.commands[2].mappingAddress = second;
    c.commands[2].dataCount = "2";
    c.commandCount = 3;
    return p;
}

QColor background(ConflictGridModel* model, int cell) {
    const int cols = model->columnCount() - 1;
    return model->data(model->index(cell / cols, cell % cols + 1), Qt::BackgroundRole).value<QColor>();
}

}  // namespace

class MappingDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void overlapIsRedUntilACommandIsUnchecked() {
        auto p = projectWithTwoReads("4");
        ConflictViewDialog view(nullptr, *p, nullptr);
        QCOMPARE(view.windowTitle(), QStringLiteral("Conflict Detection"));
        QCOMPARE(view.commandList()->count(), 3);
        ConflictGridModel* input = view.model(Grid::Input);
        QCOMPARE(input->columnCount(), 17);
        QCOMPARE(input->rowCount(), 1024);
        QCOMPARE(input->data(input->index(1, 0)).toString(), QStringLiteral("0010"));
        QCOMPARE(background(input, 3), QColor(0, 255, 0));
        QCOMPARE(background(input, 4), QColor(255, 0, 0));
        QCOMPARE(background(view.model(Grid::Output), 0), QColor(0, 0, 255));

        view.commandList()->item(2)->setCheckState(Qt::Unchecked);
        QCOMPARE(background(input, 4), QColor(0, 255, 0));
        QCOMPARE(background(input, 7), QColor(0, 255, 0));
        view.commandList()->item(2)->setCheckState(Qt::Checked);
        QCOMPARE(background(input, 4), QColor(255, 0, 0));
    }

    void pressOnAByteShowsItsBits() {
        auto p = projectWithTwoReads("4");
        ConflictViewDialog view(nullptr, *p, nullptr);
        view.show();
        QTableView* grid = view.grid(Grid::Input);
        const QRect cell = grid->visualRect(grid->model()->index(0, 5));  // byte 4
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(view.popup());
        QCOMPARE(view.popup()->bitColour(0), CellColour::Red);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(!view.popup());
    }

    void plcLayoutHasTenColumnsAndGreyPadding() {
        auto p = projectWithTwoReads("4");
        PlcState state;
        state.plcAddressMode = true;
        state.blocks.inputBlocks.setCount(2);
        state.blocks.inputBlocks.at(0) = {100, 15};
        state.blocks.inputBlocks.at(1) = {200, 5};
        SubnetConfig& c = p->subnet(0);
        c.commands[0].mappingAddress = "100";
        c.commands[1].mappingAddress = "0";
        c.commands[2].mappingAddress = "104";
        ConflictViewDialog view(nullptr, *p, state.active());
        QCOMPARE(view.windowTitle(), QStringLiteral("Conflict detection"));
        ConflictGridModel* input = view.model(Grid::Input);
        QCOMPARE(input->columnCount(), 11);
        QCOMPARE(input->data(input->index(2, 0)).toString(), QStringLiteral("0195"));
        QCOMPARE(background(input, 4), QColor(255, 0, 0));
        QCOMPARE(background(input, 15), QColor(200, 200, 200));
    }

    void editBaseDialogOkConvertsTheAddresses() {
        auto p = projectWithTwoReads("1a");
        PlcState state;
        ScriptedOperator op;
        EditBaseDialog dialog(nullptr, state, *p, op);
        const auto& in = dialog.widgets(EditBaseSession::Side::Input);
        QVERIFY(in.base->isEnabled());
        QVERIFY(!in.count->isEnabled());
        in.base->setText(QStringLiteral("1025"));
        emit in.base->editingFinished();
        QCOMPARE(op.shownKeys(), std::vector<std::string>{"EditIqBaseRange"});
        QCOMPARE(in.base->text(), QStringLiteral("0"));
        in.base->setText(QStringLiteral("100"));
        emit in.base->editingFinished();
        dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(state.plcAddressMode);
        QCOMPARE(p->subnet(0).commands[2].mappingAddress, std::string("126"));
        QCOMPARE(p->subnet(0).commands[1].mappingAddress, std::string("0"));
    }
};

QTEST_MAIN(MappingDialogsTest)
#include "mapping_dialogs_test.moc"
