#include "dataset/FleetManifest.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "base/Latin1.h"
#include "channels/CsvText.h"

namespace velora::fleet {

EntryResult enterField(forms::FieldAccess& access, const std::string& key, const std::string& typed) {
    const Latin1Text t = utf8ToLatin1(typed);
    if (t.status == Latin1Text::Status::NoByte)
        return {"'" + t.character +
                    "' cannot be stored, the radio's text has one byte per character (Latin-1)",
                std::nullopt};
    if (t.status != Latin1Text::Status::Ok) return {"the text is not UTF-8", std::nullopt};
    if (auto refused = access.set(key, t.text)) return {latin1ToUtf8(refused->reason), std::nullopt};
    if (auto shown = access.shownOtherwise(key, t.text)) return {std::nullopt, latin1ToUtf8(*shown)};
    return {};
}

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string atColumn(const TextSource& texts, int line, const std::string& column, const std::string& what) {
    return formatText(texts.text(kTextLineColumn), {std::to_string(line), column, what});
}

std::string atLine(const TextSource& texts, int line, const std::string& what) {
    return formatText(texts.text(kTextLine), {std::to_string(line), what});
}

} // namespace

std::optional<Manifest> readManifest(std::istream& in, const TextSource& texts, std::string& error) {
    int line = 0;
    auto header = readCsvRecord(in, line, error);
    if (!header || !error.empty()) {
        error = atLine(texts, std::max(line, 1), error.empty() ? std::string(texts.text(kTextEmpty)) : error);
        return std::nullopt;
    }
    int radio = -1, port = -1, device = -1;
    Manifest m;
    std::vector<int> fieldColumns;
    for (std::size_t i = 0; i < header->size(); ++i) {
        const std::string name = trimmed((*header)[i]);
        const std::string low = lower(name);
        int* special = low == "radio" ? &radio : low == "port" ? &port : low == "device" ? &device : nullptr;
        if (special) {
            if (*special >= 0) {
                error = atLine(texts, 1, formatText(texts.text(kTextColumnTwice), {name}));
                return std::nullopt;
            }
            *special = int(i);
            continue;
        }
        if (name.empty()) {
            error = atLine(texts, 1, formatText(texts.text(kTextNoKey), {std::to_string(i + 1)}));
            return std::nullopt;
        }
        if (std::find(m.keys.begin(), m.keys.end(), name) != m.keys.end()) {
            error = atLine(texts, 1, formatText(texts.text(kTextColumnTwice), {name}));
            return std::nullopt;
        }
        m.keys.push_back(name);
        fieldColumns.push_back(int(i));
    }
    if (radio < 0) {
        error = atLine(texts, 1, std::string(texts.text(kTextNoRadioColumn)));
        return std::nullopt;
    }
    std::map<std::string, int> labels;
    while (true) {
        const int start = line + 1;
        auto record = readCsvRecord(in, line, error);
        if (!error.empty()) {
            error = atLine(texts, start, error);
            return std::nullopt;
        }
        if (!record) break;
        if (record->size() == 1 && trimmed((*record)[0]).empty()) continue; // a blank line
        if (record->size() > header->size()) {
            error = atLine(texts, start, std::string(texts.text(kTextExtraCells)));
            return std::nullopt;
        }
        record->resize(header->size());
        ManifestRow r;
        r.line = start;
        r.label = trimmed((*record)[std::size_t(radio)]);
        if (port >= 0) r.port = trimmed((*record)[std::size_t(port)]);
        if (device >= 0) r.device = trimmed((*record)[std::size_t(device)]);
        if (r.label.empty()) {
            error = atColumn(texts, start, "radio", std::string(texts.text(kTextNoLabel)));
            return std::nullopt;
        }
        if (auto [it, fresh] = labels.emplace(r.label, start); !fresh) {
            error = atColumn(texts, start, "radio",
                             formatText(texts.text(kTextLabelTwice), {r.label, std::to_string(it->second)}));
            return std::nullopt;
        }
        for (int c : fieldColumns)
            r.cells.push_back((*record)[std::size_t(c)]);
        m.rows.push_back(std::move(r));
    }
    return m;
}

const std::vector<UniqueSet>& uniqueSets() {
    static const std::vector<UniqueSet> sets{{kTextDravixPair, {"dravix.fleet", "dravix.id"}},
                                             {kTextEmergencyId, {"emergency.dtmf_id"}}};
    return sets;
}

RowBuild buildRow(const Document& base, const Manifest& m, std::size_t row, Document& out,
                  MessageBoxes& boxes) {
    out = base;
    RowBuild b;
    const ManifestRow& r = m.rows[row];
    forms::FieldAccess access(out, boxes);
    for (std::size_t i = 0; i < m.keys.size(); ++i) {
        if (r.cells[i].empty()) continue;
        const EntryResult e = enterField(access, m.keys[i], r.cells[i]);
        if (e.refusal) {
            b.refusal = atColumn(boxes.texts(), r.line, m.keys[i], *e.refusal);
            return b;
        }
        if (e.shown)
            b.changed.push_back(
                atColumn(boxes.texts(), r.line, m.keys[i], "\"" + r.cells[i] + "\" -> \"" + *e.shown + "\""));
    }
    for (const UniqueSet& set : uniqueSets()) {
        std::string text;
        for (const std::string& key : set.keys) {
            const auto entry = access.find(key);
            text += (text.empty() ? "" : "/") + (entry ? latin1ToUtf8(entry->text) : std::string());
        }
        b.uniqueText.push_back(std::move(text));
    }
    return b;
}

std::vector<std::string> duplicateLines(const Manifest& m, const std::vector<RowBuild>& built,
                                        const TextSource& texts) {
    std::vector<std::string> lines;
    const auto& sets = uniqueSets();
    for (std::size_t s = 0; s < sets.size(); ++s) {
        const bool named = std::any_of(sets[s].keys.begin(), sets[s].keys.end(), [&](const std::string& k) {
            return std::find(m.keys.begin(), m.keys.end(), k) != m.keys.end();
        });
        if (!named) continue;
        std::map<std::string, std::size_t> first;
        for (std::size_t r = 0; r < built.size() && r < m.rows.size(); ++r) {
            if (built[r].refusal || s >= built[r].uniqueText.size()) continue;
            const std::string& v = built[r].uniqueText[s];
            // A radio without the value (a field its set-up leaves empty) shares it with nobody.
            if (v.find_first_not_of('/') == std::string::npos) continue;
            if (auto [it, fresh] = first.emplace(v, r); !fresh)
                lines.push_back(
                    formatText(texts.text(kTextDuplicate),
                               {std::to_string(m.rows[r].line), std::to_string(m.rows[it->second].line),
                                texts.text(sets[s].name), v}));
        }
    }
    return lines;
}

std::string rowValues(const Manifest& m, std::size_t row) {
    std::string out;
    for (std::size_t i = 0; i < m.keys.size(); ++i)
        if (!m.rows[row].cells[i].empty())
            out += (out.empty() ? "" : "; ") + m.keys[i] + "=" + m.rows[row].cells[i];
    return out;
}

std::string logLine(const LogLine& l) {
    return csvField(l.radio) + ',' + csvField(l.time) + ',' + csvField(l.port) + ',' + csvField(l.model) +
           ',' + csvField(l.values) + ',' + csvField(l.result) + ',' + std::to_string(l.retries);
}

std::vector<LogLine> readLog(std::istream& in) {
    std::vector<LogLine> lines;
    int line = 0;
    std::string error;
    while (auto r = readCsvRecord(in, line, error)) {
        if (!error.empty()) break;
        if (r->size() < 7 || (*r)[0] == "radio") continue;
        LogLine l{(*r)[0], (*r)[1], (*r)[2], (*r)[3], (*r)[4], (*r)[5], 0};
        try {
            l.retries = std::stoi((*r)[6]);
        } catch (...) {
        }
        lines.push_back(std::move(l));
    }
    return lines;
}

bool isWritten(const std::string& result) {
    return result == "written" || result == "verified";
}

} // namespace velora::fleet
