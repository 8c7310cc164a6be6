#include "tools/checker/KnownSections.h"

#include <span>

namespace {

std::vector<KnownSection> FromSchema(std::span<const SchemaSection> schema)
{
    std::vector<KnownSection> known;
    for (const SchemaSection& section : schema) known.push_back({section.name, section.keys});
    return known;
}

} // namespace

const std::vector<KnownSection> kScriptSections = FromSchema(kScriptSchema);
const std::vector<KnownSection> kLogSections = FromSchema(kLogSchema);

const std::vector<KnownList> kScriptLists = {
    {section::kMakeFolder, key::kFolder, {}},
    {section::kCopyFile, key::kFile, {}},
    {section::kShortCut, key::kMake, {}},
    {section::kRegistry, key::kKey, {key::kName, key::kValue}},
    {section::kIniFile, key::kData, {}},
    {section::kDeleteRegistry, key::kKey, {}},
    {section::kAddDeleteFile, key::kFile, {}},
};

const std::vector<KnownList> kLogLists = {
    {section::kDeleteFolder, key::kFolder, {}}, {section::kDeleteFile, key::kFile, {}},
    {section::kDeleteShortCut, key::kFile, {}}, {section::kDeleteRegistry, key::kKey, {}},
    {section::kAddDeleteFile, key::kFile, {}},  {section::kRestoreRelate, key::kKey, {}},
    {section::kComponentDigest, key::kFile, {}},
};

const std::vector<KnownSection>& KnownSections(DocumentKind kind)
{
    return kind == DocumentKind::UninstallLog ? kLogSections : kScriptSections;
}

const std::vector<KnownList>& KnownLists(DocumentKind kind)
{
    return kind == DocumentKind::UninstallLog ? kLogLists : kScriptLists;
}
