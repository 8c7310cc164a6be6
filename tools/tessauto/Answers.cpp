#include "tools/tessauto/Answers.h"

#include <algorithm>
#include <array>

#include "tools/tessauto/Text.h"

namespace tessauto {

namespace {

using winauto::ControlInfo;
using winauto::WindowInfo;

constexpr std::array<const char*, 7> kKeys = {"caption", "class", "text", "press", "type", "tick", "untick"};

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string expectedKeys()
{
    std::string out;
    for (const char* key : kKeys) out += std::string(out.empty() ? "" : ", ") + key;
    return out;
}

bool isKey(const std::string& key)
{
    for (const char* known : kKeys)
        if (key == known) return true;
    return false;
}

std::optional<std::string>* singleField(Rule& rule, const std::string& key)
{
    if (key == "class") return &rule.windowClass;
    if (key == "text") return &rule.text;
    if (key == "press") return &rule.press;
    if (key == "type") return &rule.type;
    return nullptr;
}

bool usable(const ControlInfo& control) { return control.visible && control.enabled; }
bool isPushButton(const ControlInfo& control)
{
    return control.buttonKind == "push" || control.buttonKind == "default";
}
bool isBox(const ControlInfo& control) { return control.buttonKind == "check" || control.buttonKind == "radio"; }

std::optional<int> idSelector(std::string_view name)
{
    if (name.size() < 2 || name.size() > 10 || name[0] != '#') return std::nullopt;
    int id = 0;
    for (char c : name.substr(1)) {
        if (c < '0' || c > '9') return std::nullopt;
        id = id * 10 + (c - '0');
    }
    return id;
}

// A usable control of that kind named by its caption, or by its id as "#115".
const ControlInfo* find(const WindowInfo& window, bool (*kind)(const ControlInfo&), std::string_view name)
{
    const std::optional<int> id = idSelector(name);
    for (const ControlInfo& control : window.controls) {
        if (!kind(control) || !usable(control)) continue;
        if (id ? control.id == *id : NamesButton(name, control.text)) return &control;
    }
    return nullptr;
}

const ControlInfo* defaultButton(const WindowInfo& window)
{
    const ControlInfo* first = nullptr;
    for (const ControlInfo& control : window.controls) {
        if (!isPushButton(control) || !usable(control)) continue;
        if (control.buttonKind == "default") return &control;
        if (!first) first = &control;
    }
    return first;
}

const ControlInfo* firstEdit(const WindowInfo& window)
{
    for (const ControlInfo& control : window.controls)
        if (Lowered(control.className) == "edit" && usable(control) && !control.readonly) return &control;
    return nullptr;
}

// The rule's answer, or none and why the rule does not fit ("" when its patterns don't).
std::optional<Answer> answerBy(const Rule& rule, const WindowInfo& window, std::string& why)
{
    if (!MatchPattern(rule.caption, window.caption)) return std::nullopt;
    if (rule.windowClass && !MatchPattern(*rule.windowClass, window.className)) return std::nullopt;
    if (rule.text && !MatchPattern(*rule.text, WindowText(window))) return std::nullopt;
    Answer answer;
    answer.rule = &rule;
    if (rule.type) {
        const ControlInfo* edit = firstEdit(window);
        if (!edit) {
            why = "the window has no edit box to type into";
            return std::nullopt;
        }
        answer.actions.push_back({Action::Verb::SetText, edit->id, *rule.type});
    }
    for (const auto& [names, state] : {std::pair{&rule.tick, "1"}, std::pair{&rule.untick, "0"}}) {
        for (const std::string& name : *names) {
            const ControlInfo* box = find(window, isBox, name);
            if (!box) {
                why = "no usable box '" + name + "'";
                return std::nullopt;
            }
            answer.actions.push_back({Action::Verb::Check, box->id, state});
        }
    }
    const ControlInfo* button = rule.press ? find(window, isPushButton, *rule.press) : defaultButton(window);
    if (!button) {
        why = rule.press ? "no usable button '" + *rule.press + "'" : "no button to press";
        return std::nullopt;
    }
    answer.actions.push_back({Action::Verb::Press, button->id, {}});
    answer.button = ShownCaption(button->text);
    return answer;
}

} // namespace

std::vector<Rule> ParseAnswers(std::string_view text, std::string_view origin)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::string where(origin);
    std::vector<Rule> rules;
    int number = 0;
    for (std::string_view raw : splitLines(text)) {
        ++number;
        const std::string at = where + ":" + std::to_string(number);
        if (!IsValidUtf8(raw)) throw AnswersError(at + ": the line is not UTF-8");
        const std::string line = Trimmed(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (Lowered(line) == "[answer]") {
            rules.push_back(Rule{at, {}, {}, {}, {}, {}, {}, {}});
            continue;
        }
        const size_t equals = line.find('=');
        const std::string key = Lowered(Trimmed(line.substr(0, equals == std::string::npos ? line.size() : equals)));
        if (equals == std::string::npos || !isKey(key))
            throw AnswersError(at + ": expected one of " + expectedKeys() + " = ..., found '" + line + "'");
        if (rules.empty()) throw AnswersError(at + ": " + key + " outside an [answer] block");
        Rule& rule = rules.back();
        const std::string value = Trimmed(line.substr(equals + 1));
        if (key == "tick" || key == "untick") {
            (key == "tick" ? rule.tick : rule.untick).push_back(value);
        } else if (key == "caption") {
            if (!rule.caption.empty()) throw AnswersError(at + ": caption given twice in the block of " + rule.origin);
            rule.caption = value;
        } else {
            std::optional<std::string>* field = singleField(rule, key);
            if (*field && !(*field)->empty())
                throw AnswersError(at + ": " + key + " given twice in the block of " + rule.origin);
            *field = value;
        }
    }
    for (const Rule& rule : rules)
        if (rule.caption.empty()) throw AnswersError(rule.origin + ": the block names no caption");
    return rules;
}

std::string WindowText(const WindowInfo& window)
{
    std::string joined;
    bool first = true;
    for (const ControlInfo& control : window.controls) {
        if (Lowered(control.className) != "static" || !control.visible || control.text.empty()) continue;
        if (!first) joined += '\n';
        joined += control.text;
        first = false;
    }
    std::string out;
    for (size_t i = 0; i < joined.size(); ++i) {
        if (joined[i] == '\r') {
            out += '\n';
            if (i + 1 < joined.size() && joined[i + 1] == '\n') ++i;
        } else {
            out += joined[i];
        }
    }
    return out;
}

bool WaitsForAnswer(const WindowInfo& window)
{
    return window.visible && window.enabled && !window.busy &&
           std::all_of(window.controls.begin(), window.controls.end(),
                       [](const ControlInfo& control) { return control.answered; });
}

Choice ChooseAnswer(const WindowInfo& window, const std::vector<Rule>& rules, const std::vector<Rule>& fallback)
{
    Choice choice;
    for (const std::vector<Rule>* list : {&rules, &fallback}) {
        for (const Rule& rule : *list) {
            std::string why;
            if (std::optional<Answer> answer = answerBy(rule, window, why)) {
                choice.answer = std::move(answer);
                return choice;
            }
            if (!why.empty() && choice.nearMiss.empty() && list == &rules)
                choice.nearMiss = "rule " + rule.origin + " fits the caption but " + why;
        }
    }
    return choice;
}

} // namespace tessauto
