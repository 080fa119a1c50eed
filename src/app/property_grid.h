#pragma once
// The property grid: 40 rows of label and value, white or grey value cells, and
// the two in-place editors (a drop-down list and an edit box) placed over the
// clicked cell. It shows what the editor session computed and reports clicks and
// typed or chosen values; it decides nothing itself.
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

#include "editor/grid_rows.h"

namespace korvex::app {

// The edit box: Enter and focus loss end the edit, Escape abandons it.
class ValueEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
signals:
    void finished();
    void cancelled();
protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The drop-down list: losing the focus (not to its own pop-up) closes it, and
// so does Escape, in the list or in its pop-up.
class ValueCombo : public QComboBox {
    Q_OBJECT
public:
    explicit ValueCombo(QWidget* parent = nullptr);
signals:
    void focusLost();
    void escaped();
protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class PropertyGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit PropertyGrid(QWidget* parent = nullptr);

    void showRows(const GridRows& rows);
    // Opens, moves or hides the in-place editors to match the session's editor.
    void showEditor(const CellEditor& editor);

    bool editOpen() const { return editOpen_; }
    bool listOpen() const { return listOpen_; }
    ValueEdit* valueEdit() const { return edit_; }
    ValueCombo* valueCombo() const { return combo_; }
    // Ends an open edit box now (as its focus loss would): reports its text.
    void finishEdit();
    // Closes an open edit box without reporting its text.
    void cancelEdit();
    // Whether the drop-down opens its pop-up list when shown (off in tests).
    void setPopupsEnabled(bool on) { popups_ = on; }

signals:
    void cellClickedAt(int row, int column);
    void editFinished(const QString& text);
    void choiceMade(int index);
    // The list closed without a choice (focus loss or Escape).
    void listClosed();
    // Escape in the edit box: the typed text is dropped.
    void editCancelled();
    void viewResized();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect cellRect(int row, int column) const;
    void closeList();

    ValueEdit* edit_ = nullptr;
    ValueCombo* combo_ = nullptr;
    bool editOpen_ = false;
    bool listOpen_ = false;
    bool finishing_ = false;
    bool popups_ = true;
};

}  // namespace korvex::app
