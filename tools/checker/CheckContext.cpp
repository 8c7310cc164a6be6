#include "tools/checker/CheckContext.h"

#include <algorithm>

#include "tools/checker/CheckerText.h"

CheckContext::CheckContext(const CheckInput& input)
    : input_(input), script_(IniDocument::Parse(input.text)), index_(LineIndex::Build(input.text))
{
}

void CheckContext::Add(Severity severity, int line, const std::string& section, const std::string& key,
                       const char* rule, const std::string& message)
{
    findings_.push_back({severity, line, section, key, rule, message});
}

void CheckContext::AddAt(Severity severity, const std::string& section, const std::string& key, const char* rule,
                         const std::string& message)
{
    int line = key.empty() ? 0 : index_.KeyLine(section, key);
    if (line == 0) line = index_.SectionLine(section);
    Add(severity, line, section, key, rule, message);
}

std::vector<Finding> CheckContext::TakeFindings()
{
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return std::move(findings_);
}

int CheckContext::ListEnd(const std::string& section, const std::string& prefix) const
{
    int n = 1;
    while (!Get(section, Numbered(prefix, n)).empty()) ++n;
    return n;
}
