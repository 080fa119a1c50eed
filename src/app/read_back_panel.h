#pragma once
// The "Read back and compare" part of the download windows: the check box
// (remembered between runs of the program) and, once a read-back has compared,
// its result in the same window: "The gateway holds the project." or the list
// of differences (the compare window's DifferenceList).
#include <QWidget>

#include "compare/project_compare.h"

class QCheckBox;

namespace korvex::app {

class DifferenceList;

class ReadBackPanel : public QWidget {
    Q_OBJECT
public:
    explicit ReadBackPanel(QWidget* parent);

    // Whether the user asked for a read-back after the download.
    bool wanted() const;
    QCheckBox* checkBox() const { return check_; }
    DifferenceList* differences() const { return differences_; }

    // Before a run: the previous result is taken away.
    void clearResult();
    void showResult(const CompareResult& result);
    bool resultShown() const;

private:
    QCheckBox* check_ = nullptr;
    DifferenceList* differences_ = nullptr;
};

}  // namespace korvex::app
