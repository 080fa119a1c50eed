#include "compare/difference_text.h"

#include "editor/tree_model.h"
#include "model/encoding.h"
#include "model/texts.h"

namespace korvex {

namespace {

std::string side(bool present) { return present ? texts::ComparePresent.str() : texts::CompareAbsent.str(); }

}  // namespace

DifferenceColumns differenceColumns(const Difference& d) {
    DifferenceColumns c;
    c.item = d.path;
    if (d.wholeItem) {
        c.parameter = texts::CompareNoRow.str();
        c.valueA = side(d.presentA);
        c.valueB = side(d.presentB);
        return c;
    }
    c.parameter = windows1252ToUtf8(d.label);
    while (!c.parameter.empty() && c.parameter.back() == ' ') c.parameter.pop_back();
    c.valueA = windows1252ToUtf8(d.valueA);
    c.valueB = windows1252ToUtf8(d.valueB);
    return c;
}

std::string differenceLine(const Difference& d) {
    const DifferenceColumns c = differenceColumns(d);
    // The path is already escaped as korvex-cli PATH takes it.
    return c.item + '\t' + escapedItemText(c.parameter) + '\t' + escapedItemText(c.valueA) + '\t' +
           escapedItemText(c.valueB);
}

std::string comparisonText(const CompareResult& result) {
    std::string out = result.same() ? texts::CompareSame.str() : texts::CompareDiffer.str();
    out += '\n';
    for (const Difference& d : result.differences) {
        out += differenceLine(d);
        out += '\n';
    }
    return out;
}

}  // namespace korvex
