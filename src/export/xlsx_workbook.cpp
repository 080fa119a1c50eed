#include "export/xlsx_workbook.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <pugixml.hpp>
#include <utility>

#include "model/file_io.h"
#include "model/texts.h"

namespace korvex {
namespace {

constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

// Relationship types are matched by their last segment, so the transitional and
// the strict namespaces both work.
constexpr std::string_view kRelOfficeDocument = "/officeDocument";
constexpr std::string_view kRelWorksheet = "/worksheet";
constexpr std::string_view kRelStyles = "/styles";
constexpr std::string_view kRelCalcChain = "/calcChain";
constexpr const char* kTemplateContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
constexpr const char* kWorkbookContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string_view localName(const char* name) {
    std::string_view n(name);
    const auto colon = n.rfind(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

std::string prefixOf(const char* name) {
    std::string_view n(name);
    const auto colon = n.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(n.substr(0, colon + 1));
}

pugi::xml_node childNamed(pugi::xml_node node, std::string_view local) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && localName(c.name()) == local) return c;
    return {};
}

void setAttribute(pugi::xml_node node, const char* name, const char* value) {
    pugi::xml_attribute a = node.attribute(name);
    if (!a) a = node.append_attribute(name);
    a.set_value(value);
}

// A decimal without sign or blanks, at most `max`.
std::optional<std::int64_t> parseBounded(std::string_view s, std::int64_t max) {
    if (s.empty() || s.size() > 10) return std::nullopt;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > max) return std::nullopt;
    return v;
}

// "B12" -> row 12, column 2.
bool parseCellReference(std::string_view ref, std::int32_t& row, std::int32_t& column) {
    size_t i = 0;
    std::int32_t col = 0;
    while (i < ref.size() && i < 4) {
        char c = ref[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') break;
        col = col * 26 + (c - 'A' + 1);
        ++i;
    }
    if (i == 0 || col > kMaxSheetColumns) return false;
    const auto r = parseBounded(ref.substr(i), kMaxSheetRows);
    if (!r || *r < 1) return false;
    row = static_cast<std::int32_t>(*r);
    column = col;
    return true;
}

std::string percentDecoded(std::string_view s) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const int h = hex(s[i + 1]), l = hex(s[i + 2]);
            if (h >= 0 && l >= 0) {
                out.push_back(static_cast<char>(h * 16 + l));
                i += 2;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

// The part a relationship target names, from the part that holds the
// relationship ("" for the package). Targets are absolute ("/xl/x.xml") or
// relative to the source part's folder; nullopt when the target leaves the package.
std::optional<std::string> resolveTarget(std::string_view sourcePart, std::string_view target) {
    std::string t = percentDecoded(target.substr(0, target.find('#')));
    std::string path;
    if (!t.empty() && t[0] == '/') {
        path = t.substr(1);
    } else {
        const auto slash = sourcePart.rfind('/');
        path = (slash == std::string_view::npos ? std::string() : std::string(sourcePart.substr(0, slash + 1))) + t;
    }
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string seg = path.substr(start, end - start);
        if (seg == "..") {
            if (segments.empty()) return std::nullopt;
            segments.pop_back();
        } else if (!seg.empty() && seg != ".") {
            segments.push_back(seg);
        }
        start = end + 1;
    }
    if (segments.empty()) return std::nullopt;
    std::string out;
    for (const auto& s : segments) {
        if (!out.empty()) out += '/';
        out += s;
    }
    return out;
}

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string relationshipsPartOf(std::string_view part) {
    const auto slash = part.rfind('/');
    if (slash == std::string_view::npos) return "_rels/" + std::string(part) + ".rels";
    return std::string(part.substr(0, slash + 1)) + "_rels/" + std::string(part.substr(slash + 1)) + ".rels";
}

// Text as a cell string: characters XML cannot carry (control characters, and
// a carriage return, which XML would turn into a line feed) are written as the
// workbook escape _xHHHH_, and a literal "_xHHHH_" gets its underscore escaped.
std::string cellStringText(std::string_view text) {
    auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
            out += "_x00";
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
            out.push_back('_');
            continue;
        }
        if (c == '_' && i + 6 < text.size() && text[i + 1] == 'x' && isHex(text[i + 2]) && isHex(text[i + 3]) &&
            isHex(text[i + 4]) && isHex(text[i + 5]) && text[i + 6] == '_') {
            out += "_x005F_";
            continue;
        }
        out.push_back(static_cast<char>(c));
    }
    return out;
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

std::string serialize(const pugi::xml_document& doc) {
    StringWriter w;
    doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(w.text);
}

struct ColumnStyle {
    std::int32_t min;
    std::int32_t max;
    pugi::xml_node node;
};

struct Sheet {
    std::string name;
    std::string part;  // empty when the sheet is not a worksheet
    bool loaded = false;
    bool dirty = false;
    std::unique_ptr<pugi::xml_document> doc;
    pugi::xml_node root;
    pugi::xml_node sheetData;
    std::string prefix;
    struct Row {
        pugi::xml_node node;
        std::map<std::int32_t, pugi::xml_node> cells;
    };
    std::map<std::int32_t, Row> rows;
    std::vector<ColumnStyle> columns;
    bool top = false;
    int topStyle = 0;
    // Bounding box of the cells, for <dimension>.
    std::int32_t minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;

    void include(std::int32_t r, std::int32_t c) {
        if (minRow == 0) {
            minRow = maxRow = r;
            minCol = maxCol = c;
            return;
        }
        minRow = std::min(minRow, r);
        maxRow = std::max(maxRow, r);
        minCol = std::min(minCol, c);
        maxCol = std::max(maxCol, c);
    }
};

}  // namespace

std::string cellReference(std::int32_t row, std::int32_t column) {
    std::string letters;
    for (std::int32_t c = column; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

struct XlsxWorkbook::Impl {
    std::string name;
    std::vector<std::uint8_t> bytes;
    zip_t* zip = nullptr;  // read-only view of bytes

    std::string workbookPart;
    std::string workbookRelsPart;
    std::unique_ptr<pugi::xml_document> workbookRels;
    std::unique_ptr<pugi::xml_document> contentTypes;
    bool calcChainDropped = false;
    bool contentTypesDirty = false;
    std::string calcChainPart;

    std::vector<Sheet> sheets;

    std::string stylesPart;
    bool stylesLoaded = false;
    bool stylesDirty = false;
    std::unique_ptr<pugi::xml_document> styles;
    pugi::xml_node cellXfs;
    std::vector<pugi::xml_node> xfs;
    std::map<int, int> topOf;

    ~Impl() {
        if (zip) zip_discard(zip);
    }

    Message damaged(const Text& problem, const std::string& arg = {}) const {
        return {texts::ExportTemplateDamaged, {name, formatText(problem.text, {arg})}};
    }

    std::optional<Message> readPart(const std::string& part, std::string& out) const {
        const zip_int64_t index = zip_name_locate(zip, part.c_str(), ZIP_FL_NOCASE);
        if (index < 0) return damaged(texts::ExportProblemPartMissing, part);
        zip_file_t* f = zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0);
        if (!f) return damaged(texts::ExportProblemPartUnreadable, part);
        std::string data;
        char buf[65536];
        for (;;) {
            const zip_int64_t n = zip_fread(f, buf, sizeof buf);
            if (n < 0) {
                zip_fclose(f);
                return damaged(texts::ExportProblemPartUnreadable, part);
            }
            if (n == 0) break;
            if (data.size() + static_cast<size_t>(n) > kMaxTemplatePartBytes) {
                zip_fclose(f);
                return damaged(texts::ExportProblemPartTooLarge, part);
            }
            data.append(buf, static_cast<size_t>(n));
        }
        zip_fclose(f);
        out = std::move(data);
        return std::nullopt;
    }

    std::optional<Message> readXml(const std::string& part, std::unique_ptr<pugi::xml_document>& doc,
                                   std::string_view rootName) const {
        std::string text;
        if (auto err = readPart(part, text)) return err;
        auto d = std::make_unique<pugi::xml_document>();
        if (!d->load_buffer(text.data(), text.size(), kParseFlags)) return damaged(texts::ExportProblemBadXml, part);
        if (!d->document_element() || localName(d->document_element().name()) != rootName)
            return damaged(texts::ExportProblemBadContent, part);
        // Saved as UTF-8 whatever the template used.
        for (pugi::xml_node n = d->first_child(); n; n = n.next_sibling())
            if (n.type() == pugi::node_declaration && n.attribute("encoding")) n.attribute("encoding").set_value("UTF-8");
        doc = std::move(d);
        return std::nullopt;
    }

    std::optional<Message> load() {
        if (bytes.size() > kMaxTemplateBytes) return damaged(texts::ExportProblemTooLarge);
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (!src) {
            zip_error_fini(&error);
            return damaged(texts::ExportProblemNotZip);
        }
        zip = zip_open_from_source(src, ZIP_RDONLY, &error);
        zip_error_fini(&error);
        if (!zip) {
            zip_source_free(src);
            return damaged(texts::ExportProblemNotZip);
        }
        const zip_int64_t entries = zip_get_num_entries(zip, 0);
        if (entries <= 0) return damaged(texts::ExportProblemNotZip);
        if (entries > kMaxTemplateParts) return damaged(texts::ExportProblemTooManyParts);

        // The workbook part, through the package relationships.
        workbookPart = "xl/workbook.xml";
        if (zip_name_locate(zip, "_rels/.rels", ZIP_FL_NOCASE) >= 0) {
            std::unique_ptr<pugi::xml_document> rels;
            if (auto err = readXml("_rels/.rels", rels, "Relationships")) return err;
            for (pugi::xml_node r = rels->document_element().first_child(); r; r = r.next_sibling()) {
                if (localName(r.name()) != "Relationship") continue;
                if (endsWith(r.attribute("Type").value(), kRelOfficeDocument)) {
                    const auto part = resolveTarget("", r.attribute("Target").value());
                    if (!part) return damaged(texts::ExportProblemBadContent, "_rels/.rels");
                    workbookPart = *part;
                    break;
                }
            }
        }
        std::unique_ptr<pugi::xml_document> workbook;
        if (auto err = readXml(workbookPart, workbook, "workbook")) return err;

        workbookRelsPart = relationshipsPartOf(workbookPart);
        if (auto err = readXml(workbookRelsPart, workbookRels, "Relationships")) return err;
        std::map<std::string, std::pair<std::string, std::string>> relById;  // id -> type, part
        pugi::xml_node calcChainRel;
        for (pugi::xml_node r = workbookRels->document_element().first_child(); r; r = r.next_sibling()) {
            if (localName(r.name()) != "Relationship") continue;
            if (std::string_view(r.attribute("TargetMode").value()) == "External") continue;
            const std::string type = r.attribute("Type").value();
            const auto part = resolveTarget(workbookPart, r.attribute("Target").value());
            if (!part) continue;
            relById[r.attribute("Id").value()] = {type, *part};
            if (endsWith(type, kRelStyles) && stylesPart.empty()) stylesPart = *part;
            if (endsWith(type, kRelCalcChain) && !calcChainRel) {
                calcChainRel = r;
                calcChainPart = *part;
            }
        }

        const pugi::xml_node sheetsNode = childNamed(workbook->document_element(), "sheets");
        for (pugi::xml_node s = sheetsNode.first_child(); s; s = s.next_sibling()) {
            if (s.type() != pugi::node_element || localName(s.name()) != "sheet") continue;
            Sheet sheet;
            sheet.name = s.attribute("name").value();
            for (pugi::xml_attribute a = s.first_attribute(); a; a = a.next_attribute()) {
                const std::string_view an(a.name());
                if (an.find(':') != std::string_view::npos && localName(a.name()) == "id") {
                    const auto rel = relById.find(a.value());
                    if (rel != relById.end() && endsWith(rel->second.first, kRelWorksheet)) sheet.part = rel->second.second;
                    break;
                }
            }
            sheets.push_back(std::move(sheet));
        }

        // Every package has its content types; without them no reader opens the
        // workbook made from it. A workbook made from a spreadsheet template
        // (.xltx) is a workbook: its main part gets the workbook content type, or
        // an .xlsx would not open.
        if (auto err = readXml("[Content_Types].xml", contentTypes, "Types")) return err;
        const std::string workbookPartName = "/" + workbookPart;
        for (pugi::xml_node o = contentTypes->document_element().first_child(); o; o = o.next_sibling()) {
            if (localName(o.name()) == "Override" &&
                equalsIgnoringCase(o.attribute("PartName").value(), workbookPartName) &&
                std::string_view(o.attribute("ContentType").value()) == kTemplateContentType) {
                o.attribute("ContentType").set_value(kWorkbookContentType);
                contentTypesDirty = true;
            }
        }

        // The calculation chain lists formula cells; a new workbook has it rebuilt
        // by the spreadsheet program, so it is dropped with its references.
        if (calcChainRel) {
            workbookRels->document_element().remove_child(calcChainRel);
            const std::string partName = "/" + calcChainPart;
            for (pugi::xml_node o = contentTypes->document_element().first_child(); o;) {
                pugi::xml_node next = o.next_sibling();
                if (localName(o.name()) == "Override" &&
                    equalsIgnoringCase(o.attribute("PartName").value(), partName)) {
                    contentTypes->document_element().remove_child(o);
                    contentTypesDirty = true;
                }
                o = next;
            }
            calcChainDropped = true;
        }
        return std::nullopt;
    }

    std::optional<Message> loadSheet(Sheet& sheet) {
        if (sheet.loaded) return std::nullopt;
        if (auto err = readXml(sheet.part, sheet.doc, "worksheet")) return err;
        sheet.root = sheet.doc->document_element();
        sheet.prefix = prefixOf(sheet.root.name());
        sheet.sheetData = childNamed(sheet.root, "sheetData");
        if (!sheet.sheetData) {
            pugi::xml_node after;
            for (const char* n : {"sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols"})
                if (pugi::xml_node c = childNamed(sheet.root, n)) after = c;
            const std::string name = sheet.prefix + "sheetData";
            sheet.sheetData = after ? sheet.root.insert_child_after(name.c_str(), after)
                                    : sheet.root.prepend_child(name.c_str());
        }
        const Message bad = damaged(texts::ExportProblemBadContent, sheet.part);
        std::int32_t prevRow = 0;
        for (pugi::xml_node r = sheet.sheetData.first_child(); r; r = r.next_sibling()) {
            if (r.type() != pugi::node_element || localName(r.name()) != "row") continue;
            std::int32_t rowIndex;
            if (pugi::xml_attribute ra = r.attribute("r")) {
                const auto v = parseBounded(ra.value(), kMaxSheetRows);
                if (!v || *v <= prevRow) return bad;
                rowIndex = static_cast<std::int32_t>(*v);
            } else {
                if (prevRow >= kMaxSheetRows) return bad;
                rowIndex = prevRow + 1;
                r.append_attribute("r").set_value(std::to_string(rowIndex).c_str());
            }
            prevRow = rowIndex;
            Sheet::Row& row = sheet.rows[rowIndex];
            row.node = r;
            std::int32_t prevCol = 0;
            for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element || localName(c.name()) != "c") continue;
                std::int32_t col;
                if (pugi::xml_attribute ca = c.attribute("r")) {
                    std::int32_t cr = 0;
                    if (!parseCellReference(ca.value(), cr, col) || cr != rowIndex || col <= prevCol) return bad;
                } else {
                    if (prevCol >= kMaxSheetColumns) return bad;
                    col = prevCol + 1;
                    c.append_attribute("r").set_value(cellReference(rowIndex, col).c_str());
                }
                prevCol = col;
                row.cells[col] = c;
                sheet.include(rowIndex, col);
            }
        }
        if (pugi::xml_node cols = childNamed(sheet.root, "cols")) {
            for (pugi::xml_node c = cols.first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element || localName(c.name()) != "col") continue;
                const auto mn = parseBounded(c.attribute("min").value(), kMaxSheetColumns);
                const auto mx = parseBounded(c.attribute("max").value(), kMaxSheetColumns);
                if (!mn || !mx || *mn < 1 || *mx < *mn) return bad;
                sheet.columns.push_back({static_cast<std::int32_t>(*mn), static_cast<std::int32_t>(*mx), c});
            }
        }
        sheet.loaded = true;
        return std::nullopt;
    }

    // Loads the cell formats once. False (no error) when the template has none.
    std::optional<Message> loadStyles(bool& available) {
        available = false;
        if (!stylesLoaded) {
            if (stylesPart.empty()) return std::nullopt;
            if (auto err = readXml(stylesPart, styles, "styleSheet")) return err;
            cellXfs = childNamed(styles->document_element(), "cellXfs");
            if (cellXfs) {
                for (pugi::xml_node x = cellXfs.first_child(); x; x = x.next_sibling()) {
                    if (x.type() != pugi::node_element || localName(x.name()) != "xf") continue;
                    if (xfs.size() >= kMaxTemplateStyles) return damaged(texts::ExportProblemBadContent, stylesPart);
                    xfs.push_back(x);
                }
            }
            stylesLoaded = true;
        }
        available = cellXfs && !xfs.empty();
        return std::nullopt;
    }

    // The cell format that is format `index` aligned to the top, added when needed.
    std::optional<Message> topStyle(int index, int& result) {
        if (index < 0 || static_cast<size_t>(index) >= xfs.size()) return damaged(texts::ExportProblemBadContent, stylesPart);
        if (auto it = topOf.find(index); it != topOf.end()) {
            result = it->second;
            return std::nullopt;
        }
        const pugi::xml_node xf = xfs[static_cast<size_t>(index)];
        const pugi::xml_node alignment = childNamed(xf, "alignment");
        if (alignment && std::string_view(alignment.attribute("vertical").value()) == "top") {
            topOf[index] = index;
            result = index;
            return std::nullopt;
        }
        if (xfs.size() >= kMaxTemplateStyles) return damaged(texts::ExportProblemBadContent, stylesPart);
        pugi::xml_node copy = cellXfs.append_copy(xf);
        pugi::xml_node a = childNamed(copy, "alignment");
        if (!a) a = copy.prepend_child((prefixOf(xf.name()) + "alignment").c_str());
        setAttribute(a, "vertical", "top");
        setAttribute(copy, "applyAlignment", "1");
        xfs.push_back(copy);
        setAttribute(cellXfs, "count", std::to_string(xfs.size()).c_str());
        stylesDirty = true;
        result = static_cast<int>(xfs.size() - 1);
        topOf[index] = result;
        return std::nullopt;
    }

    std::optional<Message> styleIndex(pugi::xml_attribute a, const Sheet& sheet, int& out) const {
        const auto v = parseBounded(a.value(), static_cast<std::int64_t>(kMaxTemplateStyles));
        if (!v) return damaged(texts::ExportProblemBadContent, sheet.part);
        out = static_cast<int>(*v);
        return std::nullopt;
    }

    std::optional<Message> remapToTop(pugi::xml_node node, const char* attr, const Sheet& sheet, bool addWhenAbsent) {
        pugi::xml_attribute a = node.attribute(attr);
        if (!a && !addWhenAbsent) return std::nullopt;
        int index = 0;
        if (a)
            if (auto err = styleIndex(a, sheet, index)) return err;
        int top = 0;
        if (auto err = topStyle(index, top)) return err;
        if (a || top != 0) setAttribute(node, attr, std::to_string(top).c_str());
        return std::nullopt;
    }

    // The format a new cell takes: its row's, else its column's, else the sheet's.
    std::optional<Message> newCellStyle(const Sheet& sheet, const Sheet::Row& row, std::int32_t column,
                                        std::optional<std::string>& style) const {
        const std::string_view custom = row.node.attribute("customFormat").value();
        if ((custom == "1" || custom == "true") && row.node.attribute("s")) {
            style = row.node.attribute("s").value();
            return std::nullopt;
        }
        for (const auto& c : sheet.columns) {
            if (column >= c.min && column <= c.max) {
                if (pugi::xml_attribute s = c.node.attribute("style")) {
                    style = s.value();
                    return std::nullopt;
                }
                break;
            }
        }
        if (sheet.top && sheet.topStyle != 0) style = std::to_string(sheet.topStyle);
        return std::nullopt;
    }

    void updateDimension(Sheet& sheet) {
        pugi::xml_node dim = childNamed(sheet.root, "dimension");
        if (!dim) {
            const std::string name = sheet.prefix + "dimension";
            if (pugi::xml_node pr = childNamed(sheet.root, "sheetPr"))
                dim = sheet.root.insert_child_after(name.c_str(), pr);
            else
                dim = sheet.root.prepend_child(name.c_str());
        }
        std::string ref = cellReference(sheet.minRow, sheet.minCol);
        if (sheet.minRow != sheet.maxRow || sheet.minCol != sheet.maxCol)
            ref += ":" + cellReference(sheet.maxRow, sheet.maxCol);
        setAttribute(dim, "ref", ref.c_str());
    }
};

XlsxWorkbook::XlsxWorkbook() = default;
XlsxWorkbook::~XlsxWorkbook() = default;
XlsxWorkbook::XlsxWorkbook(XlsxWorkbook&&) noexcept = default;
XlsxWorkbook& XlsxWorkbook::operator=(XlsxWorkbook&&) noexcept = default;

std::optional<Message> XlsxWorkbook::open(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (auto err = readWholeFile(path, bytes, kMaxTemplateBytes)) {
        if (err->id == texts::UnexpectedFileFormat)
            return Message{texts::ExportTemplateDamaged, {path, texts::ExportProblemTooLarge.str()}};
        return err;
    }
    return openBytes(std::move(bytes), path);
}

std::optional<Message> XlsxWorkbook::openBytes(std::vector<std::uint8_t> bytes, const std::string& displayName) {
    auto impl = std::make_unique<Impl>();
    impl->name = displayName;
    impl->bytes = std::move(bytes);
    d_.reset();
    if (auto err = impl->load()) return err;
    d_ = std::move(impl);
    return std::nullopt;
}

std::vector<std::string> XlsxWorkbook::sheetNames() const {
    std::vector<std::string> names;
    if (d_)
        for (const auto& s : d_->sheets) names.push_back(s.name);
    return names;
}

std::optional<Message> XlsxWorkbook::findSheet(std::string_view name, int& sheet) {
    if (!d_) return Message{texts::ExportSheetMissing, {std::string(), std::string(name)}};
    int found = -1;
    for (size_t i = 0; i < d_->sheets.size() && found < 0; ++i)
        if (d_->sheets[i].name == name) found = static_cast<int>(i);
    for (size_t i = 0; i < d_->sheets.size() && found < 0; ++i)
        if (equalsIgnoringCase(d_->sheets[i].name, name)) found = static_cast<int>(i);
    if (found < 0) return Message{texts::ExportSheetMissing, {d_->name, std::string(name)}};
    Sheet& s = d_->sheets[static_cast<size_t>(found)];
    if (s.part.empty()) return d_->damaged(texts::ExportProblemNotWorksheet, s.name);
    if (auto err = d_->loadSheet(s)) return err;
    sheet = found;
    return std::nullopt;
}

std::optional<Message> XlsxWorkbook::setCellText(int sheetIndex, std::int32_t row, std::int32_t column,
                                                 std::string_view text) {
    if (!d_ || sheetIndex < 0 || static_cast<size_t>(sheetIndex) >= d_->sheets.size() ||
        !d_->sheets[static_cast<size_t>(sheetIndex)].loaded || row < 1 || row > kMaxSheetRows || column < 1 ||
        column > kMaxSheetColumns)
        return Message{texts::ExportWorkbookNotBuilt, {d_ ? d_->name : std::string(), cellReference(row, column)}};
    Sheet& sheet = d_->sheets[static_cast<size_t>(sheetIndex)];

    auto rowIt = sheet.rows.find(row);
    if (rowIt == sheet.rows.end()) {
        if (text.empty()) return std::nullopt;  // nothing to clear
        const std::string name = sheet.prefix + "row";
        const auto next = sheet.rows.upper_bound(row);
        pugi::xml_node node = next == sheet.rows.end() ? sheet.sheetData.append_child(name.c_str())
                                                       : sheet.sheetData.insert_child_before(name.c_str(), next->second.node);
        node.append_attribute("r").set_value(std::to_string(row).c_str());
        rowIt = sheet.rows.emplace(row, Sheet::Row{node, {}}).first;
    }
    Sheet::Row& r = rowIt->second;

    auto cellIt = r.cells.find(column);
    if (cellIt == r.cells.end()) {
        if (text.empty()) return std::nullopt;
        std::optional<std::string> style;
        if (auto err = d_->newCellStyle(sheet, r, column, style)) return err;
        const std::string name = sheet.prefix + "c";
        const auto next = r.cells.upper_bound(column);
        // After the row's last cell, but before its extension list if it has one.
        const pugi::xml_node rowExt = childNamed(r.node, "extLst");
        pugi::xml_node node = next != r.cells.end() ? r.node.insert_child_before(name.c_str(), next->second)
                              : rowExt              ? r.node.insert_child_before(name.c_str(), rowExt)
                                                    : r.node.append_child(name.c_str());
        node.append_attribute("r").set_value(cellReference(row, column).c_str());
        if (style) node.append_attribute("s").set_value(style->c_str());
        cellIt = r.cells.emplace(column, node).first;
        sheet.include(row, column);
        d_->updateDimension(sheet);
        if (pugi::xml_attribute spans = r.node.attribute("spans")) {
            const std::string value = std::to_string(r.cells.begin()->first) + ":" + std::to_string(r.cells.rbegin()->first);
            spans.set_value(value.c_str());
        }
    }
    pugi::xml_node cell = cellIt->second;

    // Replace whatever value the cell had; its style stays.
    for (const char* a : {"t", "cm", "vm"}) cell.remove_attribute(a);
    pugi::xml_node extLst;
    for (pugi::xml_node c = cell.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        const std::string_view ln = localName(c.name());
        if (ln == "f" || ln == "v" || ln == "is")
            cell.remove_child(c);
        else if (ln == "extLst")
            extLst = c;
        c = next;
    }
    if (!text.empty()) {
        cell.append_attribute("t").set_value("inlineStr");
        const std::string isName = sheet.prefix + "is";
        pugi::xml_node is = extLst ? cell.insert_child_before(isName.c_str(), extLst) : cell.append_child(isName.c_str());
        pugi::xml_node t = is.append_child((sheet.prefix + "t").c_str());
        t.append_attribute("xml:space").set_value("preserve");
        t.append_child(pugi::node_pcdata).set_value(cellStringText(text).c_str());
    }
    sheet.dirty = true;
    return std::nullopt;
}

std::optional<Message> XlsxWorkbook::setVerticalAlignmentTop(int sheetIndex) {
    if (!d_ || sheetIndex < 0 || static_cast<size_t>(sheetIndex) >= d_->sheets.size() ||
        !d_->sheets[static_cast<size_t>(sheetIndex)].loaded)
        return Message{texts::ExportWorkbookNotBuilt, {d_ ? d_->name : std::string(), std::string()}};
    Sheet& sheet = d_->sheets[static_cast<size_t>(sheetIndex)];
    bool available = false;
    if (auto err = d_->loadStyles(available)) return err;
    if (!available) return std::nullopt;  // a template without cell formats keeps its layout
    for (auto& [rowIndex, row] : sheet.rows) {
        if (auto err = d_->remapToTop(row.node, "s", sheet, false)) return err;
        for (auto& [col, cell] : row.cells)
            if (auto err = d_->remapToTop(cell, "s", sheet, true)) return err;
    }
    for (auto& c : sheet.columns)
        if (auto err = d_->remapToTop(c.node, "style", sheet, false)) return err;
    if (auto err = d_->topStyle(0, sheet.topStyle)) return err;
    sheet.top = true;
    sheet.dirty = true;
    return std::nullopt;
}

std::optional<Message> XlsxWorkbook::saveToBytes(std::vector<std::uint8_t>& out) const {
    if (!d_) return Message{texts::ExportWorkbookNotBuilt, {std::string(), std::string()}};
    auto notBuilt = [&](zip_error_t* e) {
        return Message{texts::ExportWorkbookNotBuilt, {d_->name, e ? zip_error_strerror(e) : "out of memory"}};
    };
    zip_error_t error;
    zip_error_init(&error);
    // The archive is written over a copy of the template that libzip owns: when
    // it only appends, it keeps the start of that buffer in the new archive and
    // frees it itself, so it must never be memory this object owns.
    void* copy = std::malloc(std::max<size_t>(d_->bytes.size(), 1));
    if (!copy) return notBuilt(nullptr);
    if (!d_->bytes.empty()) std::memcpy(copy, d_->bytes.data(), d_->bytes.size());
    zip_source_t* src = zip_source_buffer_create(copy, d_->bytes.size(), 1, &error);
    if (!src) {
        std::free(copy);
        Message m = notBuilt(&error);
        zip_error_fini(&error);
        return m;
    }
    zip_t* za = zip_open_from_source(src, 0, &error);
    if (!za) {
        Message m = notBuilt(&error);
        zip_error_fini(&error);
        zip_source_free(src);
        return m;
    }
    zip_error_fini(&error);
    zip_source_keep(src);  // read the new archive back after zip_close

    // libzip reads these buffers only in zip_close, so they live until then.
    std::deque<std::string> buffers;
    auto fail = [&]() {
        Message m = notBuilt(zip_get_error(za));
        zip_discard(za);
        zip_source_free(src);
        return m;
    };
    auto replace = [&](const std::string& part, const pugi::xml_document& doc) -> bool {
        const zip_int64_t index = zip_name_locate(za, part.c_str(), ZIP_FL_NOCASE);
        if (index < 0) return false;
        const std::string& data = buffers.emplace_back(serialize(doc));
        zip_source_t* s = zip_source_buffer(za, data.data(), data.size(), 0);
        if (!s) return false;
        if (zip_file_replace(za, static_cast<zip_uint64_t>(index), s, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(s);
            return false;
        }
        return true;
    };
    for (const auto& sheet : d_->sheets)
        if (sheet.loaded && sheet.dirty && !replace(sheet.part, *sheet.doc)) return fail();
    if (d_->stylesDirty && !replace(d_->stylesPart, *d_->styles)) return fail();
    if (d_->contentTypesDirty && !replace("[Content_Types].xml", *d_->contentTypes)) return fail();
    if (d_->calcChainDropped) {
        if (!replace(d_->workbookRelsPart, *d_->workbookRels)) return fail();
        const zip_int64_t index = zip_name_locate(za, d_->calcChainPart.c_str(), ZIP_FL_NOCASE);
        if (index >= 0 && zip_delete(za, static_cast<zip_uint64_t>(index)) < 0) return fail();
    }
    if (zip_close(za) < 0) return fail();

    // The source now holds the new archive.
    std::vector<std::uint8_t> result;
    bool ok = zip_source_open(src) == 0;
    if (ok) {
        zip_stat_t st;
        zip_stat_init(&st);
        ok = zip_source_stat(src, &st) == 0 && (st.valid & ZIP_STAT_SIZE) && st.size <= 4 * kMaxTemplateBytes;
        if (ok) {
            result.resize(static_cast<size_t>(st.size));
            size_t done = 0;
            while (ok && done < result.size()) {
                const zip_int64_t n = zip_source_read(src, result.data() + done, result.size() - done);
                if (n <= 0) ok = false;
                else done += static_cast<size_t>(n);
            }
        }
        zip_source_close(src);
    }
    if (!ok) {
        Message m = notBuilt(zip_source_error(src));
        zip_source_free(src);
        return m;
    }
    zip_source_free(src);
    out = std::move(result);
    return std::nullopt;
}

std::optional<Message> XlsxWorkbook::saveAs(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    if (auto err = saveToBytes(bytes)) return err;
    return writeFileAtomically(path, bytes);
}

}  // namespace korvex
