// korvex-cli tree, grid, prompt, edit and op: the configuration editor of
// The configuration editor through EditorSession, one command per front-end action.
#include <algorithm>
#include <deque>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli_common.h"
#include "editor/editor_session.h"
#include "model/encoding.h"
#include "model/operator.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex::cli {
namespace {

// Every message or question shown, one per line.
void printShown(const ScriptedOperator& op) {
    for (const auto& s : op.shown()) printMessageLine(s.message);
}

// What every editor command sets up: the options, the project, the session after
// Open (initialUpdate), and the item named by --item.
struct EditorRun {
    Options options;
    std::unique_ptr<PlcAddressing> plc;
    std::unique_ptr<Project> project = std::make_unique<Project>();
    std::unique_ptr<ScriptedOperator> op;
    std::unique_ptr<EditorSession> session;
    std::string file;
    std::string itemText;
    ItemPath item;

    explicit EditorRun(const Args& args) : options(args) {}
};

// Parses the common parts; returns an exit code when the command must stop.
std::optional<int> prepare(EditorRun& run, const std::string& command, bool needsItem) {
    std::string plcError;
    if (!takePlcBlocksOption(run.options, run.plc, plcError)) return usage(plcError);
    if (needsItem) {
        const auto item = run.options.value("--item");
        if (!item) return usage(command + " needs --item PATH");
        run.itemText = *item;
    }
    return std::nullopt;
}

std::optional<int> openSession(EditorRun& run, std::deque<Answer> answers) {
    if (!loadProject(run.file, *run.project, run.plc.get())) return kExitFailure;
    run.op = std::make_unique<ScriptedOperator>(std::move(answers));
    run.session = std::make_unique<EditorSession>(*run.project, *run.op);
    run.session->setPlcAddressing(run.plc.get());
    run.session->initialUpdate();
    if (!run.itemText.empty()) {
        const auto path = run.session->findItem(run.itemText);
        if (!path) return fail({texts::CliNoSuchItem, {run.itemText}});
        run.item = *path;
    }
    return std::nullopt;
}

std::optional<int> takeRow(Options& o, int& row) {
    const auto text = o.value("--row");
    if (!text) return usage("--row N is needed");
    const auto v = parseDecimal(*text);
    if (!v || *v >= kGridRowCount) return usage("--row takes a row number 0 to 39");
    row = static_cast<int>(*v);
    return std::nullopt;
}

void printTree(const std::vector<TreeItem>& items, int depth) {
    for (const auto& item : items) {
        std::cout << std::string(static_cast<size_t>(depth) * 2, ' ') << item.text << '\t' << item.data << '\n';
        printTree(item.children, depth + 1);
    }
}

int cmdTree(const Args& args) {
    EditorRun run(args);
    if (auto rc = prepare(run, "tree", false)) return *rc;
    const auto pos = run.options.positional();
    if (!run.options.error().empty()) return usage(run.options.error());
    if (pos.size() != 1) return usage("tree needs one project file");
    run.file = pos[0];
    if (auto rc = openSession(run, {})) return *rc;
    printTree(run.session->tree(), 0);
    return kExitOk;
}

std::string editorColumn(const EditorSession& s, int row) {
    if (!s.cellEditable(row)) return "none";
    const auto list = s.choiceList(row);
    if (list.empty()) return "edit";
    std::string out = "list:";
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) out += '|';
        out += printable(list[i]);
    }
    return out;
}

int cmdGrid(const Args& args) {
    EditorRun run(args);
    if (auto rc = prepare(run, "grid", true)) return *rc;
    const auto pos = run.options.positional();
    if (!run.options.error().empty()) return usage(run.options.error());
    if (pos.size() != 1) return usage("grid needs one project file");
    run.file = pos[0];
    if (auto rc = openSession(run, {})) return *rc;
    EditorSession& s = *run.session;
    s.selectItem(run.item);
    for (int r = 0; r < kGridRowCount; ++r) {
        const GridRow& row = s.row(r);
        if (row.empty()) continue;
        std::cout << r << '\t' << printable(row.label) << '\t' << printable(row.value) << '\t'
                  << (row.grey ? "grey" : "white") << '\t' << editorColumn(s, r) << '\n';
    }
    return kExitOk;
}

int cmdPrompt(const Args& args) {
    EditorRun run(args);
    if (auto rc = prepare(run, "prompt", true)) return *rc;
    int row = 0;
    if (auto rc = takeRow(run.options, row)) return *rc;
    const auto pos = run.options.positional();
    if (!run.options.error().empty()) return usage(run.options.error());
    if (pos.size() != 1) return usage("prompt needs one project file");
    run.file = pos[0];
    if (auto rc = openSession(run, {})) return *rc;
    run.session->selectItem(run.item);
    const CellClick click = run.session->clickCell(row, 0);
    if (click.prompt == PromptUpdate::Unchanged) std::cout << texts::CliUnchanged.text << '\n';
    else std::cout << printable(run.session->promptText()) << '\n';
    return kExitOk;
}

std::optional<std::string> toProjectText(const std::string& utf8) {
    return utf8ToWindows1252(utf8);
}

int cmdEdit(const Args& args) {
    EditorRun run(args);
    if (auto rc = prepare(run, "edit", true)) return *rc;
    int row = 0;
    if (auto rc = takeRow(run.options, row)) return *rc;
    const auto text = run.options.value("--text");
    const auto choose = run.options.value("--choose");
    const auto answerNames = run.options.values("--answer");
    const auto out = run.options.value("-o");
    const auto pos = run.options.positional();
    if (!run.options.error().empty()) return usage(run.options.error());
    if (pos.size() != 1) return usage("edit needs one project file");
    if (!text && !choose) return usage("edit needs --text T or --choose T");
    std::deque<Answer> answers;
    for (const auto& name : answerNames) {
        Answer a;
        if (!answerFromName(name, a)) return usage("--answer takes ok, cancel, yes or no");
        answers.push_back(a);
    }
    run.file = pos[0];
    if (auto rc = openSession(run, std::move(answers))) return *rc;
    EditorSession& s = *run.session;
    s.selectItem(run.item);
    s.clickCell(row, 1);
    const std::string rowText = std::to_string(row);
    if (choose) {
        const auto entry = toProjectText(*choose);
        if (!entry) return fail({texts::CliNotWindows1252, {*choose}});
        if (s.editor().kind != EditorKind::List) return fail({texts::CliNoList, {rowText, run.itemText}});
        const auto& entries = s.editor().entries;
        if (std::find(entries.begin(), entries.end(), *entry) == entries.end())
            return fail({texts::CliNotInList, {*choose, rowText}});
        s.commitChoice(*entry);
    }
    if (text) {
        const auto typed = toProjectText(*text);
        if (!typed) {
            printShown(*run.op);
            return fail({texts::CliNotWindows1252, {*text}});
        }
        if (s.editor().kind != EditorKind::Edit) {
            printShown(*run.op);
            return fail({texts::CliNoEditBox, {rowText, run.itemText}});
        }
        s.commitEdit(*typed);
    }
    printShown(*run.op);
    if (out && !saveProject(*out, *run.project, run.plc.get())) return kExitFailure;
    return kExitOk;
}

int cmdOp(const Args& args) {
    EditorRun run(args);
    if (auto rc = prepare(run, "op", true)) return *rc;
    const auto pasteInto = run.options.value("--paste-into");
    const auto out = run.options.value("-o");
    const auto pos = run.options.positional();
    if (!run.options.error().empty()) return usage(run.options.error());
    if (pos.size() < 2) return usage("op needs a project file and an operation");
    const std::string& opName = pos[1];
    int functionCode = 0;
    if (opName == "add-command") {
        if (pos.size() != 3) return usage("add-command needs a function code (1-6, 15, 16)");
        const auto fc = parseDecimal(pos[2]);
        if (!fc || functionText(std::to_string(*fc)).empty())
            return usage("add-command needs a function code (1-6, 15, 16)");
        functionCode = static_cast<int>(*fc);
    } else if (pos.size() != 2) {
        return usage("op takes one operation");
    }
    static const char* kOps[] = {"add-node",    "delete-node",    "delete-node-menu", "add-command",
                                 "delete-command", "copy-node",   "paste-node"};
    if (std::find_if(std::begin(kOps), std::end(kOps), [&](const char* n) { return opName == n; }) == std::end(kOps))
        return usage("unknown operation " + opName);
    if (opName == "paste-node" && !pasteInto) return usage("paste-node needs --paste-into PATH");
    if (opName != "copy-node" && !out) return usage("op " + opName + " needs -o OUT.kvx");
    run.file = pos[0];
    if (auto rc = openSession(run, {})) return *rc;
    EditorSession& s = *run.session;
    auto refused = [&](const std::string& what, const std::string& where) {
        printShown(*run.op);
        return fail({texts::CliNotEnabled, {what, where}});
    };
    Changes done;
    if (opName == "add-node") {
        s.selectItem(run.item);
        if (!s.canAddNode()) return refused("Add Node", run.itemText);
        done = s.addNode(CommandSource::EditMenu);
    } else if (opName == "delete-node") {
        if (!s.rightClick(run.item).deleteNode) return refused("Delete Node", run.itemText);
        done = s.deleteNode(CommandSource::ContextMenu);
    } else if (opName == "delete-node-menu") {
        s.selectItem(run.item);
        if (!s.canDeleteNode()) return refused("Delete Node", run.itemText);
        done = s.deleteNode(CommandSource::EditMenu);
    } else if (opName == "add-command") {
        s.selectItem(run.item);
        if (!s.canAddCommand()) return refused("Add Command", run.itemText);
        done = s.addCommand(functionCode);
    } else if (opName == "delete-command") {
        s.selectItem(run.item);
        if (!s.canDeleteCommand()) return refused("Delete Command", run.itemText);
        done = s.deleteCommand();
    } else if (opName == "copy-node" || opName == "paste-node") {
        if (!s.rightClick(run.item).copyNode) return refused("Copy Node", run.itemText);
        s.copyNode();
        if (opName == "paste-node") {
            const auto target = s.findItem(*pasteInto);
            if (!target) return fail({texts::CliNoSuchItem, {*pasteInto}});
            if (!s.rightClick(*target).pasteNode) return refused("Paste Node", *pasteInto);
            done = s.pasteNode();
        }
    }
    (void)done;
    printShown(*run.op);
    if (out && !saveProject(*out, *run.project, run.plc.get())) return kExitFailure;
    return kExitOk;
}

KORVEX_CLI_COMMAND("tree", "tree FILE.kvx                  the configuration tree: text<TAB>itemData, two blanks per level",
                   cmdTree);
KORVEX_CLI_COMMAND("grid",
                   "grid FILE.kvx --item PATH      the grid rows of an item: row<TAB>label<TAB>value<TAB>white|grey<TAB>editor",
                   cmdGrid);
KORVEX_CLI_COMMAND("prompt", "prompt FILE.kvx --item PATH --row N   the help text a click on the row shows, or (unchanged)",
                   cmdPrompt);
KORVEX_CLI_COMMAND("edit",
                   "edit FILE.kvx --item PATH --row N (--text T | --choose T) [--answer ok|cancel|yes|no]... [-o OUT.kvx]",
                   cmdEdit);
KORVEX_CLI_COMMAND("op",
                   "op FILE.kvx --item PATH add-node|delete-node|delete-node-menu|add-command FC|delete-command|"
                   "copy-node|paste-node [--paste-into PATH] -o OUT.kvx",
                   cmdOp);

}  // namespace
}  // namespace korvex::cli
